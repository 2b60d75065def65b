// The command line of the real program: help and version, wrong arguments,
// and a scripted run that must give the report of the console dialogue.
#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

const fs::path kExample = fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study";

// Runs the program in `cwd` with a shell argument string; its input is
// `answers` through a pipe, or closed when there are none.
mvtest::Ran runIn(const fs::path& cwd, const std::string& arguments, const std::string& answers = "") {
  return mvtest::runProgram({.exe = MORVELSTRAND_EXE,
                             .cwd = cwd,
                             .arguments = arguments,
                             .input = answers.empty() ? mvtest::Stdin::closed() : mvtest::Stdin::piped(answers)});
}

std::vector<std::string> entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  return names;
}

void copyExample(const fs::path& to) {
  for (const char* name : {"Input.txt", "GroupMap.txt", "AllPictures.txt"}) fs::copy_file(kExample / name, to / name);
}

// The report without its date and elapsed-time lines.
std::vector<std::string> maskedReport(const fs::path& file) {
  std::vector<std::string> lines = mvtest::readLines(file);
  if (lines.size() > 1) lines[1].clear();
  if (!lines.empty()) lines.pop_back();
  return lines;
}

}  // namespace

TEST(CommandLine, HelpVersionAndWrongArgumentsTouchNoFile) {
  mvtest::TempDir dir;
  copyExample(dir.path());
  const std::vector<std::string> before = entries(dir.path());

  const mvtest::Ran help = runIn(dir.path(), "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: morvelstrand [OPTIONS] [STUDY_DIR]"), std::string::npos);
  EXPECT_NE(help.out.find("2  wrong command line"), std::string::npos);

  const mvtest::Ran version = runIn(dir.path(), "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("morvelstrand ", 0), 0u);
  EXPECT_EQ(version.out.find('\n'), version.out.size() - 1);

  for (const char* wrong : {"--bogus", ". .", "--period", "--period ten", "--quiet", "no-such-folder",
                            "--period 60 --bootstrap 9", "--period 60 --seed 3", "--period 60 --overlap-species 4",
                            "--period 60 --tables t --bootstrap -1", "--period 60 --html p.html --overlap-species x"}) {
    SCOPED_TRACE(wrong);
    const mvtest::Ran r = runIn(dir.path(), wrong);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
  }
  // The activity options name what they need.
  EXPECT_EQ(runIn(dir.path(), "--period 60 --seed 3").err,
            "morvelstrand: --seed needs --tables or --html (see morvelstrand --help)\n");
  EXPECT_EQ(entries(dir.path()), before);
}

TEST(CommandLine, PeriodOptionGivesTheReportOfTheDialogue) {
  mvtest::TempDir dialogue;
  copyExample(dialogue.path());
  ASSERT_EQ(runIn(dialogue.path(), "", "60\n\n").status, 0);

  // From another folder, with stdin closed: no prompt, no wait.
  mvtest::TempDir scripted;
  copyExample(scripted.path());
  mvtest::TempDir elsewhere;
  const mvtest::Ran r = runIn(elsewhere.path(), "--period 60 --quiet " + mvtest::shellQuoted(scripted.path().string()));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(maskedReport(scripted / "OutputGroups.txt"), maskedReport(dialogue / "OutputGroups.txt"));
  EXPECT_EQ(mvtest::readFile(scripted / "Reject.txt"), mvtest::readFile(dialogue / "Reject.txt"));
  EXPECT_FALSE(fs::exists(scripted / "FinalPicsList.txt"));
  EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

TEST(CommandLine, BadPeriodEndsBeforeAnyFileIsTouched) {
  mvtest::TempDir dir;
  copyExample(dir.path());
  const std::vector<std::string> before = entries(dir.path());
  for (const char* period : {"0", "1441", "-5", "99999999999"}) {
    SCOPED_TRACE(period);
    const mvtest::Ran r = runIn(dir.path(), std::string("--quiet --period ") + period);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, " PERIOD must be greater than 1 minute and less than 60*24 minutes ... TERMINATING\r\n");
  }
  // The same answer at the prompt ends after the pictures were read, and
  // takes this run's picture list with it.
  const mvtest::Ran asked = runIn(dir.path(), "", "0\n");
  EXPECT_EQ(asked.status, 1);
  EXPECT_NE(asked.out.find(" PERIOD must be greater than 1 minute"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "FinalPicsList.txt"));
  EXPECT_FALSE(fs::exists(dir / "OutputGroups.txt"));
}

TEST(CommandLine, QuietRunSendsItsErrorToStandardError) {
  mvtest::TempDir dir;
  const mvtest::Ran r = runIn(dir.path(), "--quiet --period 60");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, " Input.txt was not present\r\n File Input.txt must be in the same folder as Morvelstrand\r\n");
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

// A page that would replace one of the study's files, however it is
// spelled, or land in the tables folder, is refused with status 2 before
// anything is read; so are empty names and a page without a folder.
TEST(CommandLine, PageThatWouldReplaceAnInputIsRefused) {
  mvtest::TempDir dir;
  copyExample(dir.path());
  fs::create_directory(dir / "sub");
  fs::create_directory(dir / "tables");
  fs::create_directory_symlink(dir.path(), dir / "sub" / "alias");
  fs::create_symlink(dir / "GroupMap.txt", dir / "map.html");
  fs::create_hard_link(dir / "Input.txt", dir / "sub" / "hard.html");
  mvtest::writeFile(dir / "Reject.txt", "earlier rejects\r\n");
  const std::string study = mvtest::readFile(dir / "AllPictures.txt");
  std::vector<std::string> before = entries(dir.path());
  std::sort(before.begin(), before.end());
  const std::string d = dir.path().string();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--html Input.txt", "would replace the study's Input.txt: " + d + "/Input.txt"},
      {"--html sub/../AllPictures.txt", "would replace the study's AllPictures.txt: " + d + "/sub/../AllPictures.txt"},
      {"--html sub/alias/GroupMap.txt", "would replace the study's GroupMap.txt: " + d + "/sub/alias/GroupMap.txt"},
      {"--html map.html", "would replace the study's GroupMap.txt: " + d + "/map.html"},
      {"--html sub/hard.html", "would replace the study's Input.txt: " + d + "/sub/hard.html"},
      {"--html Reject.txt", "would replace the study's Reject.txt: " + d + "/Reject.txt"},
      {"--html outputgroups.TXT", "would replace the study's OutputGroups.txt: " + d + "/outputgroups.TXT"},
      {"--tables tables --html sub/alias/tables/page.html",
       "lies in the --tables folder: " + d + "/sub/alias/tables/page.html"},
      {"--tables sub/new --html sub/alias/sub/new", "is the --tables folder: " + d + "/sub/alias/sub/new"},
      {"--html ''", "the file name is empty"},
      {"--html sub", "is a folder: " + d + "/sub"},
      {"--html missing/page.html", "folder does not exist: " + d + "/missing"},
  };
  for (const auto& [arguments, problem] : cases) {
    SCOPED_TRACE(arguments);
    const mvtest::Ran r = runIn(dir.path(), "--period 60 " + arguments);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "morvelstrand: --html: " + problem + " (see morvelstrand --help)\n");
  }
  const mvtest::Ran emptyTables = runIn(dir.path(), "--period 60 --tables ''");
  EXPECT_EQ(emptyTables.status, 2);
  EXPECT_EQ(emptyTables.err, "morvelstrand: --tables: the folder name is empty (see morvelstrand --help)\n");

  std::vector<std::string> after = entries(dir.path());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
  EXPECT_EQ(mvtest::readFile(dir / "AllPictures.txt"), study);
  EXPECT_EQ(mvtest::readFile(dir / "Reject.txt"), "earlier rejects\r\n");
  EXPECT_TRUE(fs::is_empty(dir / "tables"));

  // A page beside the study files under a name of its own is written.
  const mvtest::Ran fine = runIn(dir.path(), "--period 60 --quiet --html study.html");
  EXPECT_EQ(fine.status, 0) << fine.err;
  EXPECT_TRUE(fs::is_regular_file(dir / "study.html"));
}
