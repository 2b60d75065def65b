// The real program as a child process that is interrupted, killed or loses
// its console, and a second run started in a folder that is in use. A run
// never leaves its intermediate picture list, a temporary file or its lock
// file behind, and the report is only ever there complete.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

const fs::path kExample = fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study";

// The program in `dir` with the console dialogue on two pipes.
class Child {
 public:
  explicit Child(const fs::path& dir, const std::vector<std::string>& arguments = {}) {
    std::vector<char*> argv{const_cast<char*>(MORVELSTRAND_EXE)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      for (const int fd : {in[0], in[1], out[0], out[1]}) close(fd);
      if (chdir(dir.c_str()) != 0) _exit(127);
      execv(MORVELSTRAND_EXE, argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
  }
  ~Child() {
    closeConsole();
    if (toChild_ >= 0) close(toChild_);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Reads the console until `text` has appeared.
  bool readUntil(const std::string& text) {
    char c;
    while (seen_.find(text) == std::string::npos) {
      if (read(fromChild_, &c, 1) != 1) return false;
      seen_.push_back(c);
    }
    return true;
  }
  void answer(const std::string& text) {
    if (write(toChild_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
  }
  void closeConsole() {
    if (fromChild_ >= 0) close(fromChild_);
    fromChild_ = -1;
  }
  // The raw wait status.
  int wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string seen_;
};

void copyExample(const fs::path& to) {
  for (const char* name : {"Input.txt", "GroupMap.txt", "AllPictures.txt"}) fs::copy_file(kExample / name, to / name);
}

// Names in the folder besides the three study files; a temporary name
// ".NAME.XXXXXX" is shown as ".NAME.*".
std::vector<std::string> leftOver(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string n = e.path().filename().string();
    if (n.size() > 8 && n.front() == '.' && n[n.size() - 7] == '.') n.replace(n.size() - 6, 6, "*");
    if (n != "Input.txt" && n != "GroupMap.txt" && n != "AllPictures.txt") names.push_back(n);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Many groups and species, each location its own group, one year: the
// report's tables of group pairs and species make it slow to write. One
// picture line names an unknown species, so Reject.txt is written.
void writeLargeStudy(const fs::path& dir) {
  constexpr int kGroups = 400;
  constexpr int kSpecies = 300;
  std::string input = "Large generated study\r\n" + std::to_string(kGroups) + "\r\n";
  std::string map;
  std::string pictures;
  const auto name = [](const char* prefix, int n) {
    std::string s = prefix + std::to_string(n);
    return s + std::string(25 - s.size(), ' ');
  };
  for (int g = 1; g <= kGroups; ++g) {
    // clang-format off
    input += name("Loc ", g) + " " + std::to_string(300000 + 97 * g) + " " + std::to_string(4000000 + 89 * g) +
             "   500\r\n1\r\n2013 1 1 2013 12 31\r\n";
    map += name("Loc ", g) + " " + name("Group ", g) + "\r\n";
    // clang-format on
    for (int k = 0; k < 8; ++k) {
      const int s = (g * 7 + k * 31) % kSpecies + 1;
      // clang-format off
      pictures += name("Loc ", g) + " " + name("Species ", s) + " 2013  " + std::to_string(1 + k) + " 1" +
                  std::to_string(k) + " 12 30  0  1\r\n";
      // clang-format on
    }
  }
  // clang-format off
  pictures += name("Loc ", 1) + " " + name("Unknown", 0) + " 2013  5  5 12 30  0  1\r\n";
  // clang-format on
  input += std::to_string(kSpecies) + "\r\n";
  for (int s = 1; s <= kSpecies; ++s) input += name("Species ", s) + "\r\n";
  mvtest::writeFile(dir / "Input.txt", input);
  mvtest::writeFile(dir / "GroupMap.txt", map);
  mvtest::writeFile(dir / "AllPictures.txt", pictures);
}

// The program run to its end in `dir` with a shell argument string, its
// standard input empty.
mvtest::Ran runToEnd(const fs::path& dir, const std::string& arguments) {
  return mvtest::runProgram(
      {.exe = MORVELSTRAND_EXE, .cwd = dir, .arguments = arguments, .input = mvtest::Stdin::empty()});
}

const std::string kPrompt = "Enter PERIOD in minutes for independent pictures; 60 means 60 minutes\r\n";

}  // namespace

TEST(Interrupts, SecondRunStopsWhileTheFirstWaitsAndTheFirstIsKilled) {
  mvtest::TempDir dir;
  copyExample(dir.path());
  Child first(dir.path());
  ASSERT_TRUE(first.readUntil(kPrompt));
  // Reject.txt is complete but takes its name only with the report.
  const std::vector<std::string> during = leftOver(dir.path());
  EXPECT_EQ(during, (std::vector<std::string>{".Reject.txt.*", "FinalPicsList.txt"}));

  const mvtest::Ran second = runToEnd(dir.path(), "--period 60 --quiet");
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.err, " another run is using this folder: " + dir.path().string() + "\r\n");
  EXPECT_EQ(leftOver(dir.path()), during);

  kill(first.pid(), SIGTERM);
  const int status = first.wait();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  // Reject.txt goes with the report that never came.
  EXPECT_EQ(leftOver(dir.path()), std::vector<std::string>{});
}

TEST(Interrupts, ClosedConsoleRemovesThePictureList) {
  mvtest::TempDir dir;
  copyExample(dir.path());
  Child run(dir.path());
  ASSERT_TRUE(run.readUntil(kPrompt));
  // Like `| head` that has had its lines: the echo of the answer meets a
  // closed pipe while FinalPicsList.txt is complete and unread.
  run.closeConsole();
  run.answer("60\n");
  const int status = run.wait();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
  EXPECT_EQ(leftOver(dir.path()), std::vector<std::string>{});
}

TEST(Interrupts, InterruptDuringTheReportLeavesNoPartialReport) {
  mvtest::TempDir dir;
  writeLargeStudy(dir.path());
  Child run(dir.path());
  ASSERT_TRUE(run.readUntil(kPrompt));
  run.answer("60\n");
  ASSERT_TRUE(run.readUntil("OPEN OUTPUT FILE\r\n"));
  kill(run.pid(), SIGINT);
  const int status = run.wait();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  // The large study keeps the report busy for a while, so the interrupt
  // lands while it is written; a run that had already finished and waits
  // for Enter has its complete report.
  const bool reportThere = fs::exists(dir / "OutputGroups.txt");
  // clang-format off
  EXPECT_EQ(leftOver(dir.path()), reportThere ? (std::vector<std::string>{"OutputGroups.txt", "Reject.txt"})
                                              : std::vector<std::string>{});
  // clang-format on
  if (reportThere) {
    EXPECT_EQ(mvtest::readLines(dir / "OutputGroups.txt").back().rfind("Elasped time", 0), 0u);
  }
}

// The folder itself is locked: whatever holds the name of the old lock
// file (a link, a folder, another user's file) neither stops a run nor lets
// a second one in, and is left as it is.
TEST(Interrupts, LockFileNameOfAnyKindLeavesTheLockWorking) {
  for (const char* kind : {"link", "folder", "file"}) {
    SCOPED_TRACE(kind);
    mvtest::TempDir dir;
    mvtest::TempDir elsewhere;
    copyExample(dir.path());
    const fs::path lock = dir / ".morvelstrand.lock";
    if (std::string(kind) == "link") {
      fs::create_symlink(elsewhere / "target", lock);
    } else if (std::string(kind) == "folder") {
      fs::create_directory(lock);
    } else {
      mvtest::writeFile(lock, "");
      ASSERT_EQ(chown(lock.c_str(), 65534, 65534), 0);
      fs::permissions(lock, fs::perms::owner_read);
    }
    Child first(dir.path());
    ASSERT_TRUE(first.readUntil(kPrompt));
    const mvtest::Ran second = runToEnd(dir.path(), "--period 60 --quiet");
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err, " another run is using this folder: " + dir.path().string() + "\r\n");
    first.answer("60\n\n");
    EXPECT_TRUE(first.readUntil("HIT ENTER TO TERMINATE NORMALLY"));
    const int status = first.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(leftOver(dir.path()), (std::vector<std::string>{".morvelstrand.lock", "OutputGroups.txt", "Reject.txt"}));
    EXPECT_FALSE(fs::exists(elsewhere / "target"));
  }
}

// A run killed outright leaves its temporary files; the next run that
// holds the folder removes them and says so in one line. A run that finds
// none says nothing of it.
TEST(Interrupts, TemporaryFilesOfKilledRunsAreRemovedByTheNext) {
  mvtest::TempDir dir;
  copyExample(dir.path());
  fs::create_directory(dir / "tables");
  ASSERT_EQ(runToEnd(dir.path(), "--period 60 --quiet --tables tables").status, 0);
  const std::string events = mvtest::readFile(dir / "tables" / "events.csv");
  {
    Child killed(dir.path(), {"--tables", "tables"});
    ASSERT_TRUE(killed.readUntil(kPrompt));
    kill(killed.pid(), SIGKILL);
    killed.wait();
  }
  EXPECT_EQ(leftOver(dir.path()), (std::vector<std::string>{".Reject.txt.*", ".tables.*", "FinalPicsList.txt",
                                                            "OutputGroups.txt", "Reject.txt", "tables"}));
  // A page of a killed run, written into the study folder.
  mvtest::writeFile(dir / ".page.html.Ab12Cd", "<html>");
  const mvtest::Ran next = runToEnd(dir.path(), "--period 60 --quiet --tables tables --html page.html");
  EXPECT_EQ(next.status, 0);
  fs::remove(dir / "page.html");
  // .Reject.txt.*, .page.html.* and the new package's rejects.csv,
  // events.csv and detection_history.csv.
  EXPECT_EQ(next.err.rfind(" Removed 5 temporary files of earlier runs that were stopped (", 0), 0u) << next.err;
  EXPECT_EQ(next.err.find('\n'), next.err.size() - 1) << next.err;
  EXPECT_EQ(leftOver(dir.path()), (std::vector<std::string>{"OutputGroups.txt", "Reject.txt", "tables"}));
  EXPECT_EQ(mvtest::readFile(dir / "tables" / "events.csv"), events);
  EXPECT_EQ(runToEnd(dir.path(), "--period 60 --quiet --tables tables").err, "");
}

// Two runs writing tables into one folder: the second is refused while the
// first holds it, and the folder ends with the first run's package whole.
// Interrupted, a run leaves the earlier package as it was and nothing
// beside it.
TEST(Interrupts, TablesFolderIsHeldByOneRunAndKeptWholeOnInterrupt) {
  mvtest::TempDir first;
  mvtest::TempDir second;
  mvtest::TempDir out;
  copyExample(first.path());
  copyExample(second.path());
  const std::string input = mvtest::readFile(second / "Input.txt");
  mvtest::writeFile(second / "Input.txt", "Second study" + input.substr(input.find('\r')));
  const fs::path tables = out / "tables";
  ASSERT_EQ(runToEnd(second.path(), "--period 60 --quiet --tables " + mvtest::shellQuoted(tables.string())).status, 0);
  const std::string secondPackage = mvtest::readFile(tables / "datapackage.json");
  ASSERT_NE(secondPackage.find("Second study"), std::string::npos);
  {
    Child waiting(first.path(), {"--tables", tables.string()});
    ASSERT_TRUE(waiting.readUntil(kPrompt));
    const mvtest::Ran refused =
        runToEnd(second.path(), "--period 60 --quiet --tables " + mvtest::shellQuoted(tables.string()));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              " Cannot write the tables: " + tables.string() + ": another run is writing tables into this folder\r\n");
    kill(waiting.pid(), SIGTERM);
    const int status = waiting.wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  }
  EXPECT_EQ(leftOver(out.path()), std::vector<std::string>{"tables"});
  EXPECT_EQ(mvtest::readFile(tables / "datapackage.json"), secondPackage);
  {
    Child waiting(first.path(), {"--tables", tables.string()});
    ASSERT_TRUE(waiting.readUntil(kPrompt));
    waiting.answer("60\n\n");
    EXPECT_TRUE(waiting.readUntil("HIT ENTER TO TERMINATE NORMALLY"));
    EXPECT_EQ(waiting.wait(), 0);
  }
  EXPECT_EQ(leftOver(out.path()), std::vector<std::string>{"tables"});
  EXPECT_EQ(mvtest::readFile(tables / "datapackage.json").find("Second study"), std::string::npos);
}
