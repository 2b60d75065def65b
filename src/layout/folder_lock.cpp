#include "driver/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "layout/removal_list.hpp"

namespace mv {

FolderLock::Outcome FolderLock::acquire(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kFileName;
  // A run that ends removes its lock file while holding the lock; one that
  // opened the file just before may then hold a lock on a removed file, so
  // the lock counts only while the name still leads to the locked file.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return Outcome::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      return error == EWOULDBLOCK ? Outcome::Busy : Outcome::Unavailable;
    }
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev) {
      fd_ = fd;
      path_ = path;
      removalSlot_ = addToRemovalList(path_);
      return Outcome::Locked;
    }
    ::close(fd);
  }
  return Outcome::Busy;
}

FolderLock::~FolderLock() {
  if (fd_ < 0) return;
  // Removed before the lock is let go, so that a waiting run sees the change.
  ::unlink(path_.c_str());
  dropFromRemovalList(removalSlot_);
  ::close(fd_);
}

}  // namespace mv
