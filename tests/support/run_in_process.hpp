// Runs a study through the driver in the test's own process.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>

#include "driver/driver.hpp"

namespace mvtest {

// The options of a run that asks nothing: PERIOD 60 given, no progress
// lines, no wait for Enter.
inline mv::RunOptions quietOptions() {
  mv::RunOptions options;
  options.period = 60;
  options.console.noWait = true;
  options.console.quiet = true;
  return options;
}

// The exit status and what the run wrote to its console (with the errors
// and warnings, unless the options send them elsewhere).
struct InProcess {
  int status;
  std::string out;
};

// Runs the study in `folder` with `options`, the console input being `input`.
inline InProcess runInProcess(const std::filesystem::path& folder, const mv::RunOptions& options = quietOptions(),
                              const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  const int status = mv::run(folder, in, out, options);
  return {status, out.str()};
}

}  // namespace mvtest
