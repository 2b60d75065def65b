#include "layout/sinks.hpp"

#include <cerrno>
#include <cstring>

namespace mv {

namespace {
constexpr std::size_t kBlock = 1u << 20;
}

FileSink::~FileSink() {
  if (file_ != nullptr) close();
}

bool FileSink::open(const std::filesystem::path& path) {
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
  buffer_.append(bytes);
  if (buffer_.size() >= kBlock) flush();
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
  buf_.clear();
  start_ = end_ = 0;
  eof_ = false;
  readError_ = false;
  line_ = 0;
  return file_ != nullptr;
}

void FileLines::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool FileLines::fill() {
  if (eof_ || file_ == nullptr) return false;
  // Keep the unread tail, then append one more block.
  buf_.erase(0, start_);
  end_ -= start_;
  start_ = 0;
  buf_.resize(end_ + kBlock);
  const std::size_t got = std::fread(buf_.data() + end_, 1, kBlock, file_);
  if (got < kBlock) {
    eof_ = true;
    if (std::ferror(file_)) readError_ = true;
  }
  end_ += got;
  buf_.resize(end_);
  return got > 0;
}

bool FileLines::nextView(std::string_view& line) {
  std::size_t scan = start_;
  for (;;) {
    const char* base = buf_.data();
    const void* hit = nullptr;
    std::size_t p = scan;
    // Find the first CR or LF.
    for (; p < end_; ++p) {
      const char c = base[p];
      if (c == '\n' || c == '\r') {
        hit = base + p;
        break;
      }
    }
    if (hit != nullptr) {
      // A CR right at the end of the buffer may be followed by LF in the next block.
      if (base[p] == '\r' && p + 1 >= end_ && !eof_) {
        const std::size_t off = p - start_;
        fill();
        scan = start_ + off;
        continue;
      }
      line = std::string_view(buf_.data() + start_, p - start_);
      std::size_t after = p + 1;
      if (base[p] == '\r' && after < end_ && base[after] == '\n') ++after;
      start_ = after;
      ++line_;
      return true;
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

std::optional<std::string> FileLines::next() {
  std::string_view v;
  if (!nextView(v)) return std::nullopt;
  return std::string(v);
}

std::optional<std::string> StreamLines::next() {
  std::string s;
  if (!std::getline(*in_, s)) return std::nullopt;
  if (!s.empty() && s.back() == '\r') s.pop_back();
  ++line_;
  return s;
}

}  // namespace mv
