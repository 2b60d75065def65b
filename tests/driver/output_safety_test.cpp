// Whole runs whose files cannot be written: the run says so on the console,
// naming the file, and ends with a non-zero status. It never reports a normal
// end (the elapsed time and "HIT ENTER TO TERMINATE NORMALLY") after a failed
// write. A full disk is /dev/full behind a symlink; a file that cannot be
// created is a folder of that name, which stops root as well.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

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
  mvtest::writeFile(dir / "AllPictures.txt",
                    mvtest::crlf(pad("Creek B") + " " + pad("Black bear") + " 2010  7  9  4 42  0  1\n" +
                                 pad("Ridge A") + " " + pad("Puma") + " 2010  7 12  3 15  0  2\n" +
                                 pad("Ridge A") + " " + pad("Wolf") + " 2010  7 12  3 15  0  1\n" +
                                 pad("Ridge A") + " " + pad("Puma") + " 2010  8  2 22  5 10  1\n"));
}

struct Outcome {
  int status;
  std::string console;
};

Outcome runInProcess(const fs::path& dir) {
  std::istringstream in("60\n\n");
  std::ostringstream out;
  const int status = mv::run(dir, in, out);
  return {status, out.str()};
}

// The real program, with the PERIOD and the final Enter on its input.
Outcome runExecutable(const fs::path& dir) {
  mvtest::writeFile(dir / "stdin.txt", "60\n\n");
  const std::string cmd = "cd '" + dir.string() + "' && '" + std::string(MORVELSTRAND_EXE) +
                          "' < stdin.txt > console.txt 2> stderr.txt";
  const int rc = std::system(cmd.c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, mvtest::readFile(dir / "console.txt")};
}

bool deviceFullAvailable() {
  std::error_code ec;
  return fs::is_character_file("/dev/full", ec);
}

// A console line of the program (free-form: one leading blank, CR LF).
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

class OutputSafety : public ::testing::TestWithParam<const char*> {};

// The disk fills up under each file the run writes.
TEST_P(OutputSafety, FullDiskIsReportedWithTheFileName) {
  if (!deviceFullAvailable()) GTEST_SKIP() << "no /dev/full";
  const std::string name = GetParam();
  const std::string message = "Error writing " + name + ": " + std::strerror(ENOSPC);
  for (const bool executable : {false, true}) {
    SCOPED_TRACE(executable ? "executable" : "in process");
    mvtest::TempDir dir;
    writeStudy(dir);
    fs::create_symlink("/dev/full", dir / name);
    const Outcome r = executable ? runExecutable(dir.path()) : runInProcess(dir.path());
    if (name == "OutputGroups.txt") {
      expectNoNormalEnd(r);
      EXPECT_EQ(r.status, 1);
      // Every section has run; the failure shows when the report is closed.
      const std::string tail = consoleLine("AREA OF EACH GROUP") + consoleLine(message);
      ASSERT_GE(r.console.size(), tail.size());
      EXPECT_EQ(r.console.substr(r.console.size() - tail.size()), tail) << r.console;
    } else {
      expectEndedInInput(r, dir, message);
    }
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

// A FinalPicsList.txt that can be written but not read back (left write-only
// by an earlier owner) must not become a report of a study without pictures.
TEST(OutputPermissions, PictureListThatCannotBeReadBack) {
  mvtest::TempDir dir;
  writeStudy(dir);
  mvtest::writeFile(dir / "FinalPicsList.txt", "");
  Permissions writeOnly(dir / "FinalPicsList.txt", fs::perms::owner_write);
  if (std::FILE* probe = std::fopen((dir / "FinalPicsList.txt").c_str(), "rb")) {
    std::fclose(probe);
    GTEST_SKIP() << "the file stays readable (running as root)";
  }
  const Outcome r = runInProcess(dir.path());
  expectNoNormalEnd(r);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find(consoleLine(std::string("Morvelstrand stopped: Cannot read FinalPicsList.txt: ") +
                                       std::strerror(EACCES))),
            std::string::npos)
      << r.console;
  EXPECT_FALSE(fs::exists(dir / "OutputGroups.txt"));
}

}  // namespace
