// Opening the study's input files.
#include <cerrno>
#include <cstring>
#include <string>

#include "input/input.hpp"
#include "io/sinks.hpp"

namespace mv {

bool openInputFile(FileLines& lines, const std::filesystem::path& file, Console& console) {
  if (lines.open(file)) return true;
  if (lines.openError() == ENOENT) return false;
  // A file that is there but cannot be read (no permission, a folder of
  // that name) is not taken for a missing or empty one.
  console.error().free("Cannot read " + file.filename().string() + ": " + std::strerror(lines.openError()));
  console.out().free("Hit enter to TERMINATE WITH ERROR");
  console.waitForEnter();
  throw RunEnded{1};
}

}  // namespace mv
