// The limits of a study: counts in Input.txt and lines of GroupMap.txt
// beyond them end the run naming the file and the line, before any table
// is sized from them; counts at the limits are read.
#include <string>
#include <vector>

#include "input/input.hpp"
#include "input_test_support.hpp"

using inputtest::ConsoleRun;
using inputtest::endStatus;
using inputtest::pad;

namespace {

namespace fs = std::filesystem;

const std::string kLocation = pad("Ridge A") + " 512300 5121400  1240\n";

std::string periods(int n) {
  std::string text;
  for (int p = 0; p < n; ++p) text += "2020 3 1 2020 10 31\n";
  return text;
}

std::vector<std::string> readInput(const std::string& input, int& status) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Input.txt", input);
  mvtest::writeFile(dir / "GroupMap.txt", pad("Ridge A") + " North\n");
  ConsoleRun run("\n");
  status = endStatus([&] { mv::readStudy(dir.path(), run.console); });
  return run.lines();
}

const std::string kTerminate = " Hit enter to TERMINATE WITH ERROR";

}  // namespace

TEST(InputLimits, CountsBeyondTheLimitsEndTheRun) {
  const std::pair<std::string, std::string> cases[] = {
      {"Title\n10001\n", " Input.txt line 2: 10001 locations, at most 10000"},
      {"Title\n2\n" + kLocation + "1\n" + periods(1) + kLocation + "1001\n",
       " Input.txt line 7: 1001 operating periods of location 2, at most 1000"},
      {"Title\n1\n" + kLocation + "1\n" + periods(1) + "1000\n", " Input.txt line 6: 1000 species, at most 999"},
      {"Title\n2147483647\n", " Input.txt line 2: 2147483647 locations, at most 10000"},
  };
  for (const auto& [input, message] : cases) {
    SCOPED_TRACE(message);
    int status = 0;
    EXPECT_EQ(readInput(input, status), (std::vector<std::string>{message, kTerminate}));
    EXPECT_EQ(status, 1);
  }
}

TEST(InputLimits, CountsAtTheLimitsAreRead) {
  std::string species;
  for (int s = 1; s <= 999; ++s) species += "Species " + std::to_string(s) + "\n";
  int status = 0;
  readInput("Title\n1\n" + kLocation + "1000\n" + periods(1000) + "999\n" + species, status);
  EXPECT_EQ(status, -1);
}

TEST(InputLimits, GroupMapOfTooManyLines) {
  for (const int lines : {10000, 10001}) {
    SCOPED_TRACE(lines);
    mvtest::TempDir dir;
    mvtest::writeFile(dir / "Input.txt", "Title\n1\n" + kLocation + "1\n" + periods(1) + "1\nLynx\n");
    std::string map;
    for (int k = 0; k < lines; ++k) map += pad("Ridge A") + " North\n";
    mvtest::writeFile(dir / "GroupMap.txt", map);
    ConsoleRun run("\n");
    const int status = endStatus([&] { mv::readStudy(dir.path(), run.console); });
    if (lines == 10000) {
      EXPECT_EQ(status, -1);
      continue;
    }
    EXPECT_EQ(status, 1);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{" READ INPUT.TXT", " CALCULATE BEGIN & END YEARS",
                                                     " GroupMap.txt line 10001: more than 10000 lines", kTerminate}));
  }
}
