// Whole runs of the real program on small study folders. Each folder under
// tests/runs/cases/ holds the study files, `stdin.txt` (the operator's
// answers) and `expected/` with the reviewed results: `status` (exit status),
// `console.txt`, and OutputGroups.txt / Reject.txt when the run leaves them
// (a missing expected file means the run must not leave that file).
// The Date line of the report and the elapsed-time lines are masked.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

const fs::path kCases = fs::path(MORVELSTRAND_SOURCE_DIR) / "tests" / "runs" / "cases";

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  if (fs::is_directory(kCases))
    for (const auto& e : fs::directory_iterator(kCases))
      if (e.is_directory()) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> masked(std::vector<std::string> lines, bool report) {
  for (std::size_t k = 0; k < lines.size(); ++k) {
    std::string& l = lines[k];
    if (report && k == 1 && l.rfind("Date: ", 0) == 0) l = "Date: <masked>";
    if (l.rfind("Elasped time ", 0) == 0 || l.rfind(" Elasped time ", 0) == 0) l = "<elapsed time masked>";
  }
  return lines;
}

// The run in `dir` on its answers; what it writes goes to console.txt and
// stderr.txt there.
int runCase(const fs::path& dir) {
  return mvtest::runProgram({.exe = MORVELSTRAND_EXE,
                             .cwd = dir,
                             .input = mvtest::Stdin::from(dir / "stdin.txt"),
                             .out = dir / "console.txt",
                             .err = dir / "stderr.txt"})
      .status;
}

bool updating() {
  const char* u = std::getenv("MORVELSTRAND_UPDATE_EXPECTED");
  return u != nullptr && std::string(u) == "1";
}

class WholeRun : public ::testing::TestWithParam<std::string> {};

TEST_P(WholeRun, MatchesReviewedResults) {
  const fs::path source = kCases / GetParam();
  mvtest::TempDir dir;
  for (const auto& e : fs::directory_iterator(source))
    if (e.is_regular_file()) fs::copy_file(e.path(), dir.path() / e.path().filename());
  if (!fs::exists(dir / "stdin.txt")) mvtest::writeFile(dir / "stdin.txt", "60\n\n");
  const int status = runCase(dir.path());
  const fs::path expected = source / "expected";

  if (updating()) {
    fs::create_directories(expected);
    mvtest::writeFile(expected / "status", std::to_string(status) + "\n");
    fs::copy_file(dir / "console.txt", expected / "console.txt", fs::copy_options::overwrite_existing);
    for (const char* f : {"OutputGroups.txt", "Reject.txt"}) {
      fs::remove(expected / f);
      if (fs::exists(dir / f)) fs::copy_file(dir / f, expected / f);
    }
    GTEST_SKIP() << "expected files written for review";
  }

  ASSERT_TRUE(fs::exists(expected / "status")) << "no expected results for " << GetParam();
  EXPECT_EQ(std::to_string(status) + "\n", mvtest::readFile(expected / "status"));
  EXPECT_EQ(mvtest::readFile(dir / "stderr.txt"), "");
  EXPECT_EQ(masked(mvtest::readLines(dir / "console.txt"), false),
            masked(mvtest::readLines(expected / "console.txt"), false));
  for (const char* f : {"OutputGroups.txt", "Reject.txt"}) {
    SCOPED_TRACE(f);
    const bool want = fs::exists(expected / f);
    ASSERT_EQ(fs::exists(dir / f), want);
    if (!want) continue;
    const auto got = masked(mvtest::readLines(dir / f), true);
    const auto exp = masked(mvtest::readLines(expected / f), true);
    // Report the first differing line rather than the whole file.
    const std::size_t n = std::min(got.size(), exp.size());
    for (std::size_t k = 0; k < n; ++k) ASSERT_EQ(got[k], exp[k]) << "line " << k + 1;
    EXPECT_EQ(got.size(), exp.size());
    // Every line ends with CR LF.
    const std::string raw = mvtest::readFile(dir / f);
    EXPECT_TRUE(raw.empty() || (raw.size() >= 2 && raw.compare(raw.size() - 2, 2, "\r\n") == 0));
  }
  EXPECT_FALSE(fs::exists(dir / "FinalPicsList.txt") && status == 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeRun, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WholeRun);

}  // namespace
