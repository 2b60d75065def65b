#include "process/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "process/removal_list.hpp"

namespace mv {

namespace {

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_ino == b.st_ino && a.st_dev == b.st_dev; }

// Whether the name under `fd` is still `path`: a run that ends swaps a
// folder or removes its lock file while it holds the lock, and one that
// opened it just before then holds a lock on something that lost its name.
bool stillNamed(int fd, const std::filesystem::path& path, bool follow) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && (follow ? ::stat(path.c_str(), &named) : ::lstat(path.c_str(), &named)) == 0 &&
         sameFile(held, named);
}

}  // namespace

FolderLock::Outcome FolderLock::acquire(const std::filesystem::path& folder, const std::filesystem::path& lockFile,
                                        bool directoryLocks) {
  release();
  error_.clear();
  if (!directoryLocks) return acquireFile(lockFile);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ENOENT || errno == ENOTDIR) return Outcome::Missing;
      // A folder that cannot be opened for reading can still hold a file.
      return acquireFile(lockFile);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) return Outcome::Busy;
      return acquireFile(lockFile);
    }
    if (stillNamed(fd, folder, true)) {
      fd_ = fd;
      return Outcome::Locked;
    }
    ::close(fd);
  }
  return Outcome::Busy;
}

FolderLock::Outcome FolderLock::acquireFile(const std::filesystem::path& lockFile) {
  const auto failed = [this, &lockFile](const std::string& why) {
    error_ = lockFile.string() + ": " + why;
    return Outcome::Failed;
  };
  for (int attempt = 0; attempt < 8; ++attempt) {
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    // Another user's lock file can be locked through reading it.
    if (fd < 0 && errno == EACCES) fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
      if (errno == ELOOP) return failed("is a symbolic link, not a lock file");
      if (errno == EISDIR) return failed("is a folder, not a lock file");
      return failed(std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(fd);
      return failed(S_ISDIR(info.st_mode) ? "is a folder, not a lock file" : "is not a regular file");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) return Outcome::Busy;
      return failed(std::strerror(error));
    }
    if (stillNamed(fd, lockFile, false)) {
      fd_ = fd;
      file_ = lockFile;
      removalSlot_ = addToRemovalList(file_);
      return Outcome::Locked;
    }
    ::close(fd);
  }
  return Outcome::Busy;
}

void FolderLock::release() {
  if (fd_ < 0) return;
  if (!file_.empty()) {
    // Removed before the lock is let go, so that a waiting run sees the change.
    ::unlink(file_.c_str());
    dropFromRemovalList(removalSlot_);
    removalSlot_ = -1;
    file_.clear();
  }
  ::close(fd_);
  fd_ = -1;
}

// "." + one of `names` + "." + six letters or digits, as mkstemp and
// mkdtemp make them.
bool isTemporaryOf(std::string_view entry, std::span<const std::string_view> names) {
  constexpr std::size_t kSuffix = 7;
  if (entry.size() < kSuffix + 2 || entry.front() != '.') return false;
  const std::string_view suffix = entry.substr(entry.size() - kSuffix);
  if (suffix.front() != '.') return false;
  for (const char c : suffix.substr(1))
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) return false;
  const std::string_view name = entry.substr(1, entry.size() - 1 - kSuffix);
  for (const std::string_view n : names)
    if (name == n) return true;
  return false;
}

LeftOvers removeTemporaries(const std::filesystem::path& folder, std::span<const std::string_view> names,
                            bool folders) {
  LeftOvers removed;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::filesystem::path path = it->path();
    if (!isTemporaryOf(path.filename().string(), names)) continue;
    std::error_code ignored;
    const std::filesystem::file_status status = it->symlink_status(ignored);
    if (status.type() == std::filesystem::file_type::regular) {
      const std::uintmax_t size = std::filesystem::file_size(path, ignored);
      if (::unlink(path.c_str()) != 0) continue;
      ++removed.entries;
      removed.bytes += ignored ? 0 : size;
    } else if (folders && status.type() == std::filesystem::file_type::directory) {
      // Counted by the files in it.
      LeftOvers inside;
      std::error_code walking;
      for (std::filesystem::recursive_directory_iterator inner(path, walking), end; !walking && inner != end;
           inner.increment(walking)) {
        std::error_code one;
        if (!inner->is_regular_file(one)) continue;
        ++inside.entries;
        inside.bytes += inner->file_size(one);
      }
      if (std::filesystem::remove_all(path, ignored) == static_cast<std::uintmax_t>(-1) || ignored) continue;
      if (inside.entries == 0) inside.entries = 1;
      removed += inside;
    }
  }
  return removed;
}

std::string leftOversLine(const LeftOvers& removed) {
  if (removed.entries == 0) return {};
  char size[32];
  const double bytes = static_cast<double>(removed.bytes);
  if (bytes >= 1e6)
    std::snprintf(size, sizeof size, "%.1f MB", bytes / 1e6);
  else
    std::snprintf(size, sizeof size, "%.0f kB", bytes / 1e3);
  return "Removed " + std::to_string(removed.entries) +
         (removed.entries == 1 ? " temporary file" : " temporary files") + " of earlier runs that were stopped (" +
         size + ")";
}

}  // namespace mv
