// Line sinks for files and the console. Every line written ends with CR LF.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "layout/layout.hpp"

namespace mv {

// A file written through one large buffer. Write errors are remembered and
// reported by close(), so a failed write is never taken for success.
class FileSink final : public LineSink {
 public:
  FileSink() = default;
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  // Creates (or replaces) the file; false with errorText() set on failure.
  bool open(const std::filesystem::path& path);
  // Writes a new file beside `path` instead, which commit() renames over
  // `path` once it is complete: nobody ever sees a partial file under that
  // name, and a symbolic link there is replaced, never written through. A
  // file that is not committed is removed (also by the destructor). The new
  // file keeps the permission bits of the file it replaces.
  bool openReplacing(const std::filesystem::path& path);
  // Closes and renames into place; false, with the new file removed and
  // errorText() set, when a write, the close or the rename failed.
  bool commit();
  // Closes and removes the new file; the old one stays as it was.
  void discard();
  bool isOpen() const { return file_ != nullptr; }
  void line(std::string_view text) override;
  // Raw bytes, for callers that format their own lines.
  void append(std::string_view bytes);
  // Flushes and closes; false when any write or the close failed.
  bool close();
  const std::string& errorText() const { return error_; }

 private:
  void flush();
  std::FILE* file_ = nullptr;
  std::string buffer_;
  bool failed_ = false;
  std::string error_;
  std::filesystem::path target_;  // set while writing a replacement
  std::filesystem::path temporary_;
  int removalSlot_ = -1;  // the temporary file on the removal list
};

// Lines onto a console stream.
class StreamSink final : public LineSink {
 public:
  explicit StreamSink(std::ostream& out) : out_(&out) {}
  void line(std::string_view text) override;

 private:
  std::ostream* out_;
};

// The first CR or LF in [from, end), or nullptr when there is none. The
// search goes in short steps, so that text whose lines end with a lone CR
// is not searched to its end for each line.
inline const char* findLineEnd(const char* from, const char* end) {
  while (from < end) {
    const std::size_t span = std::min<std::size_t>(static_cast<std::size_t>(end - from), 256);
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', span));
    const std::size_t upTo = lf != nullptr ? static_cast<std::size_t>(lf - from) : span;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', upTo));
    if (cr != nullptr) return cr;
    if (lf != nullptr) return lf;
    from += span;
  }
  return nullptr;
}

// The bytes of the line ending at `at` (a CR or an LF, within [at, end)):
// CR LF and CR CR LF (text whose CR LF were converted once more) end a line
// as one, like an LF or a lone CR.
inline std::size_t lineEndLength(const char* at, const char* end) {
  if (*at == '\n') return 1;
  if (end - at >= 2 && at[1] == '\n') return 2;
  if (end - at >= 3 && at[1] == '\r' && at[2] == '\n') return 3;
  return 1;
}

// The next line of a run of whole lines, without its line ending (LF, CR LF,
// CR CR LF or a lone CR); false at the end.
inline bool nextLine(const char*& at, const char* end, std::string_view& line) {
  if (at == end) return false;
  const char* hit = findLineEnd(at, end);
  if (hit == nullptr) {  // the last line without a line ending
    line = std::string_view(at, static_cast<std::size_t>(end - at));
    at = end;
    return true;
  }
  line = std::string_view(at, static_cast<std::size_t>(hit - at));
  at = hit + lineEndLength(hit, end);
  return true;
}

// The longest line an input file may hold: a picture line has 74 bytes, the
// other files' lines fewer. A longer line is not read on, so memory and time
// stay bounded however the file was damaged.
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} << 10;

// Bytes read from a file into a buffer that is reused from read to read and
// never cleared: what lies past size() is undefined.
class ByteBlock {
 public:
  const char* data() const { return bytes_.get(); }
  char* data() { return bytes_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Makes room for `n` bytes, keeping the first size() of them.
  void reserve(std::size_t n) {
    if (n <= capacity_) return;
    std::unique_ptr<char[]> bigger(new char[n]);
    if (size_ > 0) std::memcpy(bigger.get(), bytes_.get(), size_);
    bytes_ = std::move(bigger);
    capacity_ = n;
  }
  // Sets the size; `n` must lie within the room made.
  void setSize(std::size_t n) { size_ = n; }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// Reads a text file in large blocks, handing out lines without their line
// ending (LF, CR LF, or a lone CR all end a line), skipping a UTF-8
// byte-order mark at the start of the file.
class FileLines final : public LineSource {
 public:
  FileLines() = default;
  ~FileLines() override;
  FileLines(const FileLines&) = delete;
  FileLines& operator=(const FileLines&) = delete;

  // False when the file cannot be opened for reading (a folder of that
  // name included), with the system's error number in openError().
  bool open(const std::filesystem::path& path);
  bool isOpen() const { return file_ != nullptr; }
  int openError() const { return openError_; }
  void close();
  // The next line as a view valid until the next call; false at the end.
  bool nextView(std::string_view& line);
  std::optional<std::string> next() override;
  // The next run of whole lines with their line endings, at least `size`
  // bytes unless the file ends first (a line longer than that is not cut);
  // false at the end. The lines are not counted in lineNumber().
  bool nextLines(ByteBlock& block, std::size_t size);
  bool readError() const { return readError_; }
  // Whether nextView() stopped at a line longer than the bound (that line's
  // number is lineNumber()), or nextLines() handed out a block that ends
  // within such a line; nothing more is read then.
  bool lineTooLong() const { return tooLong_; }
  // Lines longer than this are not read (kMaxLineBytes unless set).
  void setMaxLine(std::size_t bytes) { maxLine_ = std::max<std::size_t>(bytes, 1); }
  std::size_t maxLine() const { return maxLine_; }
  // The file's size when it is a regular file, whose parts can then be read
  // at their place, by several threads at once; nullopt for anything else
  // (a pipe, say), which is read from start to end only.
  std::optional<std::uint64_t> regularSize() const;
  // Reads `n` bytes at `offset` (fewer only where the file ends); the number
  // read, or -1 on a read error. Safe on several threads at once.
  long long readAt(std::uint64_t offset, char* into, std::size_t n) const;

 private:
  bool fill();
  std::FILE* file_ = nullptr;
  ByteBlock buf_;  // not cleared: only the pages a small file fills are touched
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool readError_ = false;
  bool tooLong_ = false;
  std::size_t maxLine_ = kMaxLineBytes;
  int openError_ = 0;
};

// Console input: lines from a stream.
class StreamLines final : public LineSource {
 public:
  explicit StreamLines(std::istream& in) : in_(&in) {}
  std::optional<std::string> next() override;

 private:
  std::istream* in_;
};

}  // namespace mv
