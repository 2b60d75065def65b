// Whole runs whose files cannot be written: the run says so on the console,
// naming the file, and ends with a non-zero status. It never reports a normal
// end (the elapsed time and "HIT ENTER TO TERMINATE NORMALLY") after a failed
// write, and leaves no incomplete file behind. A full disk is a limit on the
// size of the files of a child process; a file that cannot be created is a
// folder of that name, which stops root as well.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "layout/layout.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

std::string pad(const std::string& text) { return mv::padded(text, 25); }

// Two locations in two groups, 2010; three accepted picture lines and one
// rejected one, so that Reject.txt, FinalPicsList.txt and OutputGroups.txt
// all receive lines.
void writeStudy(const mvtest::TempDir& dir) {
  mvtest::writeFile(dir / "Input.txt", mvtest::crlf("Output safety\n"
                                                    "2\n"
                                                    "Ridge A                   512340 4012200  1450\n"
                                                    "1\n"
                                                    "2010 3 15 2010 11 30\n"
                                                    "Creek B                   515700 4010400  1020\n"
                                                    "1\n"
                                                    "2010 5 1 2010 8 31\n"
                                                    "2\n"
                                                    "Black bear\n"
                                                    "Puma\n"));
  mvtest::writeFile(dir / "GroupMap.txt", mvtest::crlf(pad("Ridge A") + " North\n" + pad("Creek B") + " East\n"));
  mvtest::writeFile(
      dir / "AllPictures.txt",
      // clang-format off
                    mvtest::crlf(pad("Creek B") + " " + pad("Black bear") + " 2010  7  9  4 42  0  1\n" +
                                 pad("Ridge A") + " " + pad("Puma") + " 2010  7 12  3 15  0  2\n" +
                                 pad("Ridge A") + " " + pad("Wolf") + " 2010  7 12  3 15  0  1\n" +
                                 pad("Ridge A") + " " + pad("Puma") + " 2010  8  2 22  5 10  1\n"));
  // clang-format on
}

struct Outcome {
  int status;
  std::string console;
};

Outcome runInProcess(const fs::path& dir, const mv::RunOptions& options = {}) {
  std::istringstream in("60\n\n");
  std::ostringstream out;
  const int status = mv::run(dir, in, out, options);
  return {status, out.str()};
}

mv::RunOptions withPeriod() {
  mv::RunOptions options;
  options.period = 60;
  options.console.noWait = true;
  return options;
}

// A console line of the program (free-form: one leading blank, CR LF).
// clang-format off
std::string consoleLine(const std::string& text) { return " " + text + "\r\n"; }

void expectNoNormalEnd(const Outcome& r) {
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.console.find("HIT ENTER TO TERMINATE NORMALLY"), std::string::npos) << r.console;
  EXPECT_EQ(r.console.find("Elasped time"), std::string::npos) << r.console;
}

// The input stage ends with its error message and the wait for Enter; the
// report is never opened.
void expectEndedInInput(const Outcome& r, const mvtest::TempDir& dir, const std::string& message) {
  expectNoNormalEnd(r);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find(consoleLine(message) + consoleLine("Hit enter to TERMINATE WITH ERROR")),
            std::string::npos)
      << r.console;
  EXPECT_EQ(r.console.find("OPEN OUTPUT FILE"), std::string::npos) << r.console;
  EXPECT_FALSE(fs::exists(dir / "OutputGroups.txt"));
}

// The real program in a child process whose files may not grow beyond
// `maxBytes`: a write past the limit fails with EFBIG, as a full disk fails
// with ENOSPC, on whichever file reaches it first. (A full disk cannot be
// faked with a link to /dev/full any more: output files are written beside
// their names and renamed into place.)
Outcome runWithFileSizeLimit(const fs::path& dir, rlim_t maxBytes) {
  mvtest::writeFile(dir / "stdin.txt", "60\n\n");
  const pid_t child = fork();
  if (child == 0) {
    const rlimit limit{maxBytes, maxBytes};
    if (chdir(dir.c_str()) != 0 || setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    std::signal(SIGXFSZ, SIG_IGN);
    if (!std::freopen("stdin.txt", "rb", stdin) || !std::freopen("console.txt", "wb", stdout)) _exit(127);
    execl(MORVELSTRAND_EXE, MORVELSTRAND_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  int rc = 0;
  waitpid(child, &rc, 0);
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, mvtest::readFile(dir / "console.txt")};
}

// Only the three study files, the runner's own two and the names it expects.
void expectOnlyFiles(const fs::path& dir, std::vector<std::string> names) {
  for (const char* own : {"Input.txt", "GroupMap.txt", "AllPictures.txt", "stdin.txt", "console.txt"})
    names.emplace_back(own);
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_NE(std::find(names.begin(), names.end(), e.path().filename().string()), names.end()) << e.path();
}

class OutputSafety : public ::testing::TestWithParam<const char*> {};
// clang-format on

// Each file the run writes hits the limit in its turn: the message names
// it, the run ends with status 1 and leaves neither that file nor a
// temporary one behind; files completed before stay.
TEST_P(OutputSafety, FullDiskIsReportedWithTheFileName) {
  const std::string name = GetParam();
  mvtest::TempDir dir;
  writeStudy(dir);
  // The file under test is made the largest one of the run.
  std::string extra;
  // clang-format off
  const std::string line = name == "Reject.txt" ? pad("Ridge A") + " " + pad("Wolf") + " 2010  7 12  3 15  0  1\n"
                                                : pad("Ridge A") + " " + pad("Puma") + " 2010  7 13  3 15  0  1\n";
  // clang-format on
  if (name != "OutputGroups.txt")
    for (int k = 0; k < 120; ++k) extra += line;
  mvtest::writeFile(dir / "AllPictures.txt", mvtest::readFile(dir / "AllPictures.txt") + mvtest::crlf(extra));
  const Outcome r = runWithFileSizeLimit(dir.path(), 4096);
  const std::string message =
      "Error writing " + name + ": " + std::strerror(EFBIG) +
      (name == "OutputGroups.txt" ? " (the incomplete report was removed)" : " (the incomplete file was removed)");
  expectNoNormalEnd(r);
  EXPECT_EQ(r.status, 1);
  if (name == "OutputGroups.txt") {
    // Every section has run; the failure shows when the report is closed.
    const std::string tail = consoleLine("AREA OF EACH GROUP") + consoleLine(message);
    ASSERT_GE(r.console.size(), tail.size());
    EXPECT_EQ(r.console.substr(r.console.size() - tail.size()), tail) << r.console;
    // Reject.txt takes its name only together with the report.
    expectOnlyFiles(dir.path(), {});
  } else {
    EXPECT_NE(r.console.find(consoleLine(message) + consoleLine("Hit enter to TERMINATE WITH ERROR")),
              std::string::npos)
        << r.console;
    expectOnlyFiles(dir.path(), {});
  }
}

// The file cannot even be created.
TEST_P(OutputSafety, FileThatCannotBeCreatedIsReportedWithTheFileName) {
  const std::string name = GetParam();
  mvtest::TempDir dir;
  writeStudy(dir);
  fs::create_directory(dir / name);
  const Outcome r = runInProcess(dir.path());
  const std::string message = "Cannot create " + name + ": " + std::strerror(EISDIR);
  if (name == "OutputGroups.txt") {
    expectNoNormalEnd(r);
    EXPECT_EQ(r.status, 1);
    const std::string tail = consoleLine("OPEN OUTPUT FILE") + consoleLine(message);
    ASSERT_GE(r.console.size(), tail.size());
    EXPECT_EQ(r.console.substr(r.console.size() - tail.size()), tail) << r.console;
  } else {
    expectEndedInInput(r, dir, message);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, OutputSafety, ::testing::Values("Reject.txt", "FinalPicsList.txt", "OutputGroups.txt"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string n = info.param;
                           return n.substr(0, n.find('.'));
                         });

// Permission bits do not stop root: these two tests skip when the folder or
// the file stays usable in spite of them.
class Permissions {
 public:
  Permissions(const fs::path& path, fs::perms perms) : path_(path), old_(fs::status(path).permissions()) {
    fs::permissions(path, perms);
  }
  ~Permissions() {
    std::error_code ec;
    fs::permissions(path_, old_, ec);
  }
  Permissions(const Permissions&) = delete;
  Permissions& operator=(const Permissions&) = delete;

 private:
  fs::path path_;
  fs::perms old_;
};

TEST(OutputPermissions, ReadOnlyFolder) {
  mvtest::TempDir dir;
  writeStudy(dir);
  Permissions readOnly(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (std::FILE* probe = std::fopen((dir / "probe").c_str(), "wb")) {
    std::fclose(probe);
    std::remove((dir / "probe").c_str());
    GTEST_SKIP() << "the folder stays writable (running as root)";
  }
  const Outcome r = runInProcess(dir.path());
  expectEndedInInput(r, dir, std::string("Cannot create Reject.txt: ") + std::strerror(EACCES));
}

// A FinalPicsList.txt of an earlier run, even one that cannot be read, is
// replaced by this run's own list and never read.
TEST(OutputPermissions, OldPictureListIsReplaced) {
  mvtest::TempDir dir;
  writeStudy(dir);
  mvtest::writeFile(dir / "FinalPicsList.txt", "  1   1 2010  7  9  4 42  0  1     190    4564  273882\r\n");
  Permissions writeOnly(dir / "FinalPicsList.txt", fs::perms::owner_write);
  const Outcome r = runInProcess(dir.path());
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_NE(r.console.find(consoleLine("   Used in analysis             3")), std::string::npos) << r.console;
  EXPECT_FALSE(fs::exists(dir / "FinalPicsList.txt"));
}

}  // namespace

namespace {

// An input file that is there but cannot be read ends the run with the
// system's reason; it is never taken for a missing or an empty file.
TEST(UnreadableInputs, FolderInPlaceOfAFile) {
  for (const char* name : {"Input.txt", "GroupMap.txt", "AllPictures.txt"}) {
    SCOPED_TRACE(name);
    mvtest::TempDir dir;
    writeStudy(dir);
    fs::remove(dir / name);
    fs::create_directory(dir / name);
    const Outcome r = runInProcess(dir.path());
    expectEndedInInput(r, dir, std::string("Cannot read ") + name + ": " + std::strerror(EISDIR));
    EXPECT_TRUE(fs::is_directory(dir / name));
    EXPECT_FALSE(fs::exists(dir / "Reject.txt"));
  }
}

TEST(UnreadableInputs, GroupMapWithoutReadPermission) {
  mvtest::TempDir dir;
  writeStudy(dir);
  Permissions writeOnly(dir / "GroupMap.txt", fs::perms::owner_write);
  if (std::FILE* probe = std::fopen((dir / "GroupMap.txt").c_str(), "rb")) {
    std::fclose(probe);
    GTEST_SKIP() << "the file stays readable (running as root)";
  }
  const Outcome r = runInProcess(dir.path());
  expectEndedInInput(r, dir, std::string("Cannot read GroupMap.txt: ") + std::strerror(EACCES));
  EXPECT_FALSE(fs::exists(dir / "Reject.txt"));
}

}  // namespace

namespace {

// Output files that are symbolic links are replaced by the run's own files;
// the files they lead to are never written.
TEST(SymlinkOutputs, LinksAreReplacedNotWrittenThrough) {
  mvtest::TempDir dir;
  mvtest::TempDir elsewhere;
  writeStudy(dir);
  for (const char* name : {"OutputGroups.txt", "Reject.txt", "FinalPicsList.txt"}) {
    mvtest::writeFile(elsewhere / name, "a user's file\n");
    fs::create_symlink(elsewhere / name, dir / name);
  }
  const Outcome r = runInProcess(dir.path());
  EXPECT_EQ(r.status, 0) << r.console;
  for (const char* name : {"OutputGroups.txt", "Reject.txt", "FinalPicsList.txt"})
    EXPECT_EQ(mvtest::readFile(elsewhere / name), "a user's file\n") << name;
  EXPECT_EQ(fs::symlink_status(dir / "OutputGroups.txt").type(), fs::file_type::regular);
  EXPECT_EQ(fs::symlink_status(dir / "Reject.txt").type(), fs::file_type::regular);
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "FinalPicsList.txt")));
}

// A GroupMap.txt that is a link to nowhere counts as missing: an empty map
// is created in its place, not at the link's target.
TEST(SymlinkOutputs, DanglingGroupMapLinkIsReplaced) {
  mvtest::TempDir dir;
  mvtest::TempDir elsewhere;
  writeStudy(dir);
  fs::remove(dir / "GroupMap.txt");
  fs::create_symlink(elsewhere / "made.txt", dir / "GroupMap.txt");
  const Outcome r = runInProcess(dir.path());
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_FALSE(fs::exists(elsewhere / "made.txt"));
  EXPECT_EQ(fs::symlink_status(dir / "GroupMap.txt").type(), fs::file_type::regular);
  EXPECT_EQ(fs::file_size(dir / "GroupMap.txt"), 0u);
}

}  // namespace

namespace {

// Reject.txt and the report are both new after a run, or both as they were:
// a report that cannot be written keeps the older Reject.txt beside the
// older report, in the dialogue and with a PERIOD given.
TEST(OutputPairs, RejectFileStaysWithTheReportItBelongsTo) {
  for (const bool given : {false, true}) {
    SCOPED_TRACE(given ? "--period" : "dialogue");
    mvtest::TempDir dir;
    writeStudy(dir);
    mvtest::writeFile(dir / "Reject.txt", "older rejects\r\n");
    fs::create_directory(dir / "OutputGroups.txt");
    const Outcome failed = runInProcess(dir.path(), given ? withPeriod() : mv::RunOptions{});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.console.find(consoleLine("Cannot create OutputGroups.txt: " + std::string(std::strerror(EISDIR)))),
              std::string::npos)
        << failed.console;
    EXPECT_EQ(mvtest::readFile(dir / "Reject.txt"), "older rejects\r\n");
    for (const auto& e : fs::directory_iterator(dir.path()))
      EXPECT_NE(e.path().filename().string().front(), '.') << e.path();

    fs::remove(dir / "OutputGroups.txt");
    const Outcome good = runInProcess(dir.path(), given ? withPeriod() : mv::RunOptions{});
    EXPECT_EQ(good.status, 0) << good.console;
    EXPECT_EQ(mvtest::readLines(dir / "Reject.txt").front().rfind("Species not found", 0), 0u);
  }
}

// With a PERIOD given the picture list is never written: a folder in its
// place is no obstacle and is left as it is.
TEST(OutputPairs, PictureListIsNotWrittenWithAPeriodGiven) {
  mvtest::TempDir dir;
  writeStudy(dir);
  fs::create_directory(dir / "FinalPicsList.txt");
  const Outcome r = runInProcess(dir.path(), withPeriod());
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_TRUE(fs::is_directory(dir / "FinalPicsList.txt"));
  EXPECT_NE(r.console.find(consoleLine("   Used in analysis             3")), std::string::npos) << r.console;
}

// A page that cannot be written after all (its folder gone since the
// command line was checked) ends the run with status 1 after the report.
TEST(OutputPairs, PageThatCannotBeWrittenEndsTheRun) {
  mvtest::TempDir dir;
  writeStudy(dir);
  mv::RunOptions options = withPeriod();
  options.html = dir / "gone" / "page.html";
  const Outcome r = runInProcess(dir.path(), options);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find(
                consoleLine("Error writing the HTML page " + options.html->string() + ": " + std::strerror(ENOENT))),
            std::string::npos)
      << r.console;
  EXPECT_TRUE(fs::exists(dir / "OutputGroups.txt"));
}

fs::perms permissionsOf(const fs::path& path) { return fs::symlink_status(path).permissions(); }

// A file the run replaces keeps its permission bits; a new one gets those
// of the umask.
TEST(OutputPairs, ReplacedFilesKeepTheirPermissions) {
  mvtest::TempDir dir;
  mvtest::TempDir pages;
  writeStudy(dir);
  const fs::perms owner = fs::perms::owner_read | fs::perms::owner_write;
  const fs::perms shared = owner | fs::perms::group_read | fs::perms::others_read;
  mvtest::writeFile(dir / "OutputGroups.txt", "older report\r\n");
  fs::permissions(dir / "OutputGroups.txt", owner);
  mvtest::writeFile(dir / "Reject.txt", "older rejects\r\n");
  fs::permissions(dir / "Reject.txt", owner | fs::perms::group_read);
  mvtest::writeFile(pages / "old.html", "older page\n");
  fs::permissions(pages / "old.html", shared | fs::perms::group_write);
  mv::RunOptions options = withPeriod();
  options.html = pages / "old.html";
  ASSERT_EQ(runInProcess(dir.path(), options).status, 0);
  options.html = pages / "new.html";
  ASSERT_EQ(runInProcess(dir.path(), options).status, 0);
  EXPECT_EQ(permissionsOf(dir / "OutputGroups.txt"), owner);
  EXPECT_EQ(permissionsOf(dir / "Reject.txt"), owner | fs::perms::group_read);
  EXPECT_EQ(permissionsOf(pages / "old.html"), shared | fs::perms::group_write);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(permissionsOf(pages / "new.html"), static_cast<fs::perms>(0666 & ~mask));
  EXPECT_NE(mvtest::readFile(dir / "OutputGroups.txt"), "older report\r\n");
}

}  // namespace
