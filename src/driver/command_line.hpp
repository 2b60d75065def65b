// The program's command line: options for scripts, the study folder, and
// the help and version texts.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "driver/driver.hpp"

namespace mv {

// Exit statuses of the program.
constexpr int kExitReport = 0;       // the report was written
constexpr int kExitEndedEarly = 1;   // the run ended early
constexpr int kExitCommandLine = 2;  // the command line was wrong

struct CommandLine {
  std::filesystem::path studyDir;  // the current folder when not given
  RunOptions options;
};

// Reads the arguments (without the program name) into `line`. Returns an
// exit status when the program must end at once: after --help or --version
// (0, text on `out`) or a wrong command line (2, one line on `err`). Touches
// no file.
std::optional<int> parseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::ostream& out,
                                    std::ostream& err);

// The program's version, as --version shows it.
const char* programVersion();

}  // namespace mv
