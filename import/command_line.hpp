// morvelstrand-import PACKAGE_DIR STUDY_DIR [options]: the command line, the
// summary it prints and its exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "import/study_data.hpp"

namespace mv::camtrap {

inline constexpr const char* kImporterVersion = "1.0.0";

// Exit statuses.
enum ExitStatus : int { kSuccess = 0, kFailure = 1, kUsage = 2 };

struct CommandLine {
  enum class Action { Import, Help, Version, UsageError };
  Action action = Action::UsageError;
  ImportOptions options;
  std::string error;  // for UsageError
};

// Parses the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

// The whole program: parse, import, write, summarise, check. Returns the
// exit status.
int runImporter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace mv::camtrap
