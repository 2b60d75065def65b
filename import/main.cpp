#include <iostream>
#include <string>
#include <vector>

#include "import/command_line.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return mv::camtrap::runImporter(args, std::cout, std::cerr);
}
