#include "io/sinks.hpp"

#include "process/removal_list.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace mv {

namespace {
constexpr std::size_t kBlock = 1u << 20;
}

FileSink::~FileSink() {
  if (!temporary_.empty())
    discard();
  else if (file_ != nullptr)
    close();
}

namespace {

// The permissions a newly created file gets from the process's umask.
mode_t newFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

}  // namespace

bool FileSink::openReplacing(const std::filesystem::path& path) {
  if (!temporary_.empty()) discard();
  if (file_ != nullptr) close();
  failed_ = false;
  error_.clear();
  // A folder of that name could never be replaced: say so now, as opening
  // it for writing would.
  std::error_code ec;
  if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::directory) {
    error_ = std::strerror(EISDIR);
    return false;
  }
  // Appended piece by piece: GCC 12 at -O3 takes "." + name for an
  // overlapping copy (a false -Wrestrict).
  std::string leaf(1, '.');
  leaf += path.filename().string();
  leaf += ".XXXXXX";
  std::string name = (path.parent_path() / leaf).string();
  // Created and listed for removal with no signal in between.
  const TerminationSignalsHeld held;
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error_ = std::strerror(errno);
    return false;
  }
  // A file that replaces another keeps its permission bits (a private
  // report stays private); a new one gets those of the umask.
  struct stat old {};
  const bool replacing = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  ::fchmod(fd, replacing ? static_cast<mode_t>(old.st_mode & 0777) : newFileMode());
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    error_ = std::strerror(errno);
    ::close(fd);
    std::remove(name.c_str());
    return false;
  }
  target_ = path;
  temporary_ = name;
  removalSlot_ = addToRemovalList(temporary_);
  buffer_.clear();
  buffer_.reserve(kBlock + 4096);
  return true;
}

bool FileSink::commit() {
  const bool written = close();
  if (temporary_.empty()) return written;
  if (written && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    failed_ = true;
    error_ = std::strerror(errno);
  }
  if (failed_) std::remove(temporary_.c_str());
  dropFromRemovalList(removalSlot_);
  removalSlot_ = -1;
  temporary_.clear();
  target_.clear();
  return !failed_;
}

void FileSink::discard() {
  close();
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  dropFromRemovalList(removalSlot_);
  removalSlot_ = -1;
  temporary_.clear();
  target_.clear();
}

bool FileSink::open(const std::filesystem::path& path) {
  if (!temporary_.empty()) discard();
  if (file_ != nullptr) close();
  failed_ = false;
  error_.clear();
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error_ = std::strerror(errno);
    return false;
  }
  buffer_.clear();
  buffer_.reserve(kBlock + 4096);
  return true;
}

void FileSink::flush() {
  if (file_ == nullptr || buffer_.empty()) return;
  if (!failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    failed_ = true;
    error_ = std::strerror(errno);
  }
  buffer_.clear();
}

void FileSink::append(std::string_view bytes) {
  if (bytes.size() < kBlock / 4) {
    buffer_.append(bytes);
    if (buffer_.size() >= kBlock) flush();
    return;
  }
  // Large pieces go to the file as they are, after what is buffered.
  flush();
  if (file_ != nullptr && !failed_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    failed_ = true;
    error_ = std::strerror(errno);
  }
}

void FileSink::line(std::string_view text) {
  buffer_.append(text);
  buffer_.append("\r\n");
  if (buffer_.size() >= kBlock) flush();
}

bool FileSink::close() {
  if (file_ == nullptr) return !failed_;
  flush();
  if (std::fflush(file_) != 0 && !failed_) {
    failed_ = true;
    error_ = std::strerror(errno);
  }
  if (std::fclose(file_) != 0 && !failed_) {
    failed_ = true;
    error_ = std::strerror(errno);
  }
  file_ = nullptr;
  return !failed_;
}

void StreamSink::line(std::string_view text) {
  out_->write(text.data(), static_cast<std::streamsize>(text.size()));
  out_->write("\r\n", 2);
  out_->flush();
}

FileLines::~FileLines() { close(); }

bool FileLines::open(const std::filesystem::path& path) {
  close();
  file_ = std::fopen(path.c_str(), "rb");
  openError_ = file_ == nullptr ? errno : 0;
  // A folder opens like a file but cannot be read.
  struct stat info {};
  if (file_ != nullptr && ::fstat(::fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file_);
    file_ = nullptr;
    openError_ = EISDIR;
  }
  buf_.setSize(0);
  start_ = end_ = 0;
  eof_ = false;
  readError_ = false;
  tooLong_ = false;
  line_ = 0;
  if (file_ == nullptr) return false;
  // A UTF-8 byte-order mark, which some editors put first, is not part of
  // the first line.
  if (fill() && end_ >= 3 && std::memcmp(buf_.data(), "\xEF\xBB\xBF", 3) == 0) start_ = 3;
  return true;
}

void FileLines::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool FileLines::fill() {
  if (eof_ || file_ == nullptr) return false;
  // Keep the unread tail, then append one more block. The buffer only grows
  // when a tail and a block do not fit yet, so it is not cleared for every
  // block.
  const std::size_t tail = end_ - start_;
  if (start_ > 0 && tail > 0) std::memmove(buf_.data(), buf_.data() + start_, tail);
  start_ = 0;
  end_ = tail;
  buf_.setSize(end_);
  buf_.reserve(end_ + kBlock);
  const std::size_t got = std::fread(buf_.data() + end_, 1, kBlock, file_);
  if (got < kBlock) {
    eof_ = true;
    if (std::ferror(file_)) readError_ = true;
  }
  end_ += got;
  return got > 0;
}

bool FileLines::nextView(std::string_view& line) {
  std::size_t scan = start_;
  for (;;) {
    const char* base = buf_.data();
    const char* hit = findLineEnd(base + scan, base + end_);
    if (hit != nullptr && static_cast<std::size_t>(hit - base) - start_ <= maxLine_) {
      const std::size_t p = static_cast<std::size_t>(hit - base);
      // A CR right at the end of the buffer may be followed by LF (or CR LF)
      // in the next block.
      if (base[p] == '\r' && !eof_ && (p + 1 >= end_ || (base[p + 1] == '\r' && p + 2 >= end_))) {
        const std::size_t off = p - start_;
        fill();
        scan = start_ + off;
        continue;
      }
      line = std::string_view(base + start_, p - start_);
      start_ = p + lineEndLength(base + p, base + end_);
      ++line_;
      return true;
    }
    // A line that goes on past the bound is not read further.
    if (end_ - start_ > maxLine_) {
      tooLong_ = true;
      ++line_;
      start_ = end_;
      eof_ = true;
      return false;
    }
    const std::size_t off = end_ - start_;
    if (!fill()) {
      if (start_ < end_) {  // last line without a line ending
        line = std::string_view(buf_.data() + start_, end_ - start_);
        start_ = end_;
        ++line_;
        return true;
      }
      return false;
    }
    scan = start_ + off;
  }
}

bool FileLines::nextLines(ByteBlock& block, std::size_t size) {
  if (tooLong_) return false;
  size = std::max<std::size_t>(size, 1);
  // What an earlier call read past its last line comes first; the rest is
  // read straight into the block, with a little more than `size` so that
  // the line ending after the size-th byte is usually there already.
  constexpr std::size_t kLookAhead = 4096;
  std::size_t target = size + kLookAhead;
  const std::size_t kept = end_ - start_;
  block.setSize(0);  // the previous chunk need not move if the block grows
  block.reserve(std::max(target, kept));
  if (kept > 0) std::memcpy(block.data(), buf_.data() + start_, kept);
  block.setSize(kept);
  start_ = end_ = 0;
  std::size_t from = size - 1;  // where the line ending that closes the block is looked for
  for (;;) {
    if (block.size() < target && !eof_ && file_ != nullptr) {
      const std::size_t have = block.size();
      block.reserve(target);
      const std::size_t got = std::fread(block.data() + have, 1, target - have, file_);
      block.setSize(have + got);
      if (got < target - have) {
        eof_ = true;
        if (std::ferror(file_)) readError_ = true;
      }
    }
    if (block.empty()) return false;
    // The block ends with the line ending at or after its size-th byte: an
    // LF, a CR LF, or a CR whose next byte is here and no LF.
    const std::size_t end = block.size();
    const std::size_t at = std::min(from, end);
    const char* base = block.data();
    const char* hit = findLineEnd(base + at, base + end);
    const std::size_t p = hit != nullptr ? static_cast<std::size_t>(hit - base) : end;
    std::size_t cut = end;
    if (hit != nullptr && *hit == '\r' && (p + 2 < end || (p + 1 < end && base[p + 1] != '\r') || eof_)) {
      cut = p + lineEndLength(hit, base + end);
    } else if (hit != nullptr && *hit == '\n') {
      cut = p + 1;
    } else if (hit == nullptr && p - std::min(size - 1, p) > maxLine_) {
      // The line at the size-th byte goes on past the bound: the block ends
      // within it (the reader finds it too long) and nothing more is read.
      tooLong_ = true;
      eof_ = true;
    } else if (!eof_) {  // the line goes on past what is read: read on
      from = p;
      target = end + kBlock;
      continue;
    }
    // Keep what lies past the cut for the next call.
    const std::size_t rest = end - cut;
    buf_.setSize(0);
    buf_.reserve(rest);
    if (rest > 0) std::memcpy(buf_.data(), base + cut, rest);
    end_ = rest;
    block.setSize(cut);
    return true;
  }
}

std::optional<std::uint64_t> FileLines::regularSize() const {
  struct stat info {};
  if (file_ == nullptr || ::fstat(::fileno(file_), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

long long FileLines::readAt(std::uint64_t offset, char* into, std::size_t n) const {
  if (file_ == nullptr) return -1;
  const int fd = ::fileno(file_);
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(fd, into + got, n - got, static_cast<off_t>(offset + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return static_cast<long long>(got);
}

std::optional<std::string> FileLines::next() {
  std::string_view v;
  if (!nextView(v)) return std::nullopt;
  return std::string(v);
}

std::optional<std::string> StreamLines::next() {
  // A line longer than any line may be keeps its first kMaxLineBytes bytes
  // and the rest is read past, so that an answer without an end holds no
  // more memory than that.
  std::string s;
  // The sentry flushes the console's prompt before the wait, as getline's.
  const std::istream::sentry ready(*in_, true);
  if (!ready || in_->rdbuf() == nullptr) return std::nullopt;
  std::streambuf& in = *in_->rdbuf();
  bool any = false;
  for (;;) {
    const int c = in.sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in_->setstate(std::ios::eofbit);
      break;
    }
    any = true;
    if (c == '\n') break;
    if (s.size() < kMaxLineBytes) s.push_back(static_cast<char>(c));
  }
  if (!any) {
    in_->setstate(std::ios::failbit);
    return std::nullopt;
  }
  // CR LF, or CR CR LF, ends the line.
  for (int k = 0; k < 2 && !s.empty() && s.back() == '\r'; ++k) s.pop_back();
  ++line_;
  return s;
}

}  // namespace mv
