// The folder lock, and the clearing away of temporary files of killed runs.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "process/folder_lock.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

using Outcome = mv::FolderLock::Outcome;

// The folder itself is locked, whatever its lock file's name holds.
TEST(FolderLock, OneHolderAtATime) {
  mvtest::TempDir dir;
  const fs::path file = dir / mv::FolderLock::kFileName;
  fs::create_directory(file);
  mv::FolderLock first;
  mv::FolderLock second;
  EXPECT_EQ(first.acquire(dir.path(), file), Outcome::Locked);
  EXPECT_EQ(second.acquire(dir.path(), file), Outcome::Busy);
  first.release();
  EXPECT_EQ(second.acquire(dir.path(), file), Outcome::Locked);
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(first.acquire(dir / "missing", dir / "missing" / mv::FolderLock::kFileName), Outcome::Missing);
}

// Where the folder cannot be locked itself, its lock file stands in; one
// that cannot be used ends with the reason, never silently.
TEST(FolderLock, LockFileThatCannotBeUsedIsNamed) {
  mvtest::TempDir dir;
  mvtest::TempDir elsewhere;
  const fs::path file = dir / mv::FolderLock::kFileName;
  mv::FolderLock lock;

  fs::create_symlink(elsewhere / "target", file);
  EXPECT_EQ(lock.acquire(dir.path(), file, false), Outcome::Failed);
  EXPECT_EQ(lock.errorText(), file.string() + ": is a symbolic link, not a lock file");
  EXPECT_FALSE(fs::exists(elsewhere / "target"));
  fs::remove(file);

  fs::create_directory(file);
  EXPECT_EQ(lock.acquire(dir.path(), file, false), Outcome::Failed);
  EXPECT_EQ(lock.errorText(), file.string() + ": is a folder, not a lock file");
  fs::remove(file);

  // A lock file that may only be read (another user's, say) still locks.
  mvtest::writeFile(file, "");
  fs::permissions(file, fs::perms::owner_read);
  EXPECT_EQ(lock.acquire(dir.path(), file, false), Outcome::Locked);
  mv::FolderLock second;
  EXPECT_EQ(second.acquire(dir.path(), file, false), Outcome::Busy);
  lock.release();
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(second.acquire(dir.path(), file, false), Outcome::Locked);
}

// Only temporary names of the given outputs go: "." + name + "." and six
// letters or digits; folders only when asked for, with all they hold.
TEST(FolderLock, TemporariesOfKilledRunsAreRemoved) {
  mvtest::TempDir dir;
  for (const char* name : {".Reject.txt.a1B2c3", ".OutputGroups.txt.ZZZZZZ", ".Reject.txt.abc", ".Reject.txt.abc-ef",
                           ".Other.txt.a1B2c3", "Reject.txt", ".Reject.txt"})
    mvtest::writeFile(dir / name, std::string(1000, 'x'));
  fs::create_directory(dir / ".tables.Q1w2E3");
  mvtest::writeFile(dir / ".tables.Q1w2E3" / "groups.csv", std::string(500, 'x'));
  mvtest::writeFile(dir / ".tables.Q1w2E3" / "events.csv", std::string(500, 'x'));
  fs::create_directory(dir / ".Reject.txt.q1w2e3");

  constexpr std::string_view outputs[] = {"Reject.txt", "OutputGroups.txt"};
  const mv::LeftOvers files = mv::removeTemporaries(dir.path(), outputs);
  EXPECT_EQ(files.entries, 2);
  EXPECT_EQ(files.bytes, 2000u);
  EXPECT_TRUE(fs::exists(dir / ".Reject.txt.q1w2e3"));
  EXPECT_TRUE(fs::exists(dir / ".tables.Q1w2E3"));

  constexpr std::string_view folders[] = {"tables"};
  const mv::LeftOvers package = mv::removeTemporaries(dir.path(), folders, true);
  EXPECT_EQ(package.entries, 2);
  EXPECT_EQ(package.bytes, 1000u);
  EXPECT_FALSE(fs::exists(dir / ".tables.Q1w2E3"));
  for (const char* kept : {".Reject.txt.abc", ".Reject.txt.abc-ef", ".Other.txt.a1B2c3", "Reject.txt", ".Reject.txt",
                           ".Reject.txt.q1w2e3"})
    EXPECT_TRUE(fs::exists(dir / kept)) << kept;

  mv::LeftOvers all = files;
  all += package;
  EXPECT_EQ(mv::leftOversLine(all), "Removed 4 temporary files of earlier runs that were stopped (3 kB)");
  EXPECT_EQ(mv::leftOversLine(mv::LeftOvers{1, 104857600}),
            "Removed 1 temporary file of earlier runs that were stopped (104.9 MB)");
  EXPECT_EQ(mv::leftOversLine(mv::LeftOvers{}), "");
}

}  // namespace
