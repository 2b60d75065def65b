#include <iostream>
#include <string>
#include <vector>

#include "driver/command_line.hpp"
#include "driver/driver.hpp"
#include "process/removal_list.hpp"

int main(int argc, char** argv) {
  mv::CommandLine line;
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (const auto status = mv::parseCommandLine(args, line, std::cout, std::cerr)) return *status;
  line.options.err = &std::cerr;
  // An interrupt, a kill or a closed console takes this run's unfinished
  // and intermediate files with it.
  mv::removeListedFilesOnSignals();
  return mv::run(line.studyDir, std::cin, std::cout, line.options);
}
