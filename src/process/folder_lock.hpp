// One run at a time in a folder: runs in one study folder share its
// FinalPicsList.txt, Reject.txt and report, and runs writing tables into
// one folder would mix their files, so a second run must not start while
// one is going on. Also the clearing away of temporary files that runs
// killed outright (SIGKILL, a power cut) left behind, which only a run
// holding the lock may do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace mv {

class FolderLock {
 public:
  enum class Outcome {
    Locked,   // this run holds the folder
    Busy,     // another run holds it
    Missing,  // there is no such folder
    Failed    // the lock cannot be taken (errorText() says why)
  };

  FolderLock() = default;
  ~FolderLock() { release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes an exclusive lock on `folder` itself, through a descriptor of the
  // directory, without waiting: nothing in the folder (a link, a folder or
  // another user's file of any name) can stop it or be taken for it. Where
  // the file system has no locks on directories (some network file
  // systems), the lock file `lockFile` stands in; it is removed again by
  // release(). `directoryLocks` false goes to the lock file at once.
  Outcome acquire(const std::filesystem::path& folder, const std::filesystem::path& lockFile,
                  bool directoryLocks = true);
  void release();
  const std::string& errorText() const { return error_; }

  // The stand-in lock file of a study folder.
  static constexpr const char* kFileName = ".morvelstrand.lock";

 private:
  Outcome acquireFile(const std::filesystem::path& lockFile);

  int fd_ = -1;
  int removalSlot_ = -1;
  std::filesystem::path file_;  // the lock file in use, if any
  std::string error_;
};

// What was cleared away of earlier runs.
struct LeftOvers {
  int entries = 0;
  std::uintmax_t bytes = 0;
  LeftOvers& operator+=(const LeftOvers& other) {
    entries += other.entries;
    bytes += other.bytes;
    return *this;
  }
};

// Whether `entry` is the temporary name of one of the outputs `names`:
// "." + name + "." and six letters or digits, as mkstemp and mkdtemp make
// them.
bool isTemporaryOf(std::string_view entry, std::span<const std::string_view> names);

// Removes from `folder` the temporary files (and, with `folders`, the
// temporary folders with everything in them) that outputs named `names`
// are written under before they take their names. Only for a caller that holds the lock under which
// those outputs are written: none of them can then belong to a live run.
LeftOvers removeTemporaries(const std::filesystem::path& folder, std::span<const std::string_view> names,
                            bool folders = false);

// The one console line that says what was removed ("" when nothing was).
std::string leftOversLine(const LeftOvers& removed);

}  // namespace mv
