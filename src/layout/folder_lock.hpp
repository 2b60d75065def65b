// One run at a time in a study folder: runs share the folder's
// FinalPicsList.txt, Reject.txt and report, so a second run must not start
// while one is going on.
#pragma once

#include <filesystem>

namespace mv {

class FolderLock {
 public:
  enum class Outcome {
    Locked,      // this run holds the folder
    Busy,        // another run holds it
    Unavailable  // no lock file can be made (a folder that cannot be written, or missing)
  };

  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes an exclusive lock on the lock file of `folder`, without waiting.
  Outcome acquire(const std::filesystem::path& folder);

  static constexpr const char* kFileName = ".morvelstrand.lock";

 private:
  int fd_ = -1;
  int removalSlot_ = -1;
  std::filesystem::path path_;
};

}  // namespace mv
