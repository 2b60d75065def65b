// The whole program on one study with one and with two threads reading the
// pictures, and with PERIOD given up front (the picture loop then takes the
// pictures from memory instead of reading the list back): every file the
// runs leave must be the same.
#include <filesystem>
#include <map>
#include <string>

#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

// The example study, its pictures five times over with a few bad lines
// between: several chunks of AllPictures.txt.
void writeStudy(const fs::path& dir) {
  const fs::path example = fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study";
  fs::copy_file(example / "Input.txt", dir / "Input.txt");
  fs::copy_file(example / "GroupMap.txt", dir / "GroupMap.txt");
  const std::string pictures = mvtest::readFile(example / "AllPictures.txt");
  std::string all;
  for (int k = 0; k < 5; ++k)
    all += pictures + "Nowhere                   Puma                      2013  6 25  5 50 24  2\r\n";
  mvtest::writeFile(dir / "AllPictures.txt", all);
}

// Every file the run leaves, by name; the date and elapsed-time lines
// masked.
std::map<std::string, std::string> runWith(const std::string& threads, const std::string& arguments) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  const fs::path console = dir / "console.txt";
  const mvtest::Ran ran = mvtest::runProgram({.exe = MORVELSTRAND_EXE,
                                              .cwd = dir.path(),
                                              .arguments = arguments,
                                              .input = mvtest::Stdin::piped("60\n\n"),
                                              .environment = "MORVELSTRAND_THREADS=" + threads,
                                              .out = console,
                                              .err = console});
  EXPECT_EQ(ran.status, 0);
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir.path())) {
    std::string kept;
    for (const std::string& line : mvtest::readLines(e.path()))
      if (line.rfind("Date: ", 0) != 0 && line.find("Elasped time") == std::string::npos) kept += line + "\n";
    files[e.path().filename().string()] = kept;
  }
  return files;
}

TEST(Threads, OneAndTwoThreadsLeaveTheSameFiles) {
  const auto one = runWith("1", "");
  EXPECT_EQ(one.count("Reject.txt"), 1u);
  EXPECT_EQ(one.count("FinalPicsList.txt"), 0u);
  EXPECT_EQ(runWith("2", ""), one);
}

TEST(Threads, PicturesTalliedFromMemoryGiveTheSameReport) {
  auto dialogue = runWith("2", "");
  auto given = runWith("2", "--period 60");
  // Only the console differs: the PERIOD prompt is not shown.
  dialogue.erase("console.txt");
  given.erase("console.txt");
  EXPECT_EQ(given, dialogue);
}

}  // namespace
