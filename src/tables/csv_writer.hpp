// One CSV file of the tables package, as RFC 4180 has it: a header row,
// fields separated by commas, every record ended by CR LF, and a field
// quoted only when it holds a comma, a double quote, a CR or a LF (its
// double quotes then doubled). An empty field is a missing value.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "concurrency/write_behind.hpp"
#include "io/sinks.hpp"

namespace mv {

class CsvWriter {
 public:
  CsvWriter() = default;
  ~CsvWriter();
  CsvWriter(const CsvWriter&) = delete;
  CsvWriter& operator=(const CsvWriter&) = delete;

  // Starts the file beside `path`; it takes that name only when commit()
  // succeeds. False with errorText() set when it cannot be created. With
  // `writeBehind`, full blocks of rows are written by a thread of their
  // own, for a file that is filled a row at a time during the run.
  bool open(const std::filesystem::path& path, bool writeBehind = false);
  CsvWriter& text(std::string_view value);
  CsvWriter& integer(long long value);
  // The shortest decimal form that reads back as the same 4-byte real.
  CsvWriter& real(float value);
  CsvWriter& empty();
  // Fields already in CSV form (quoted where needed, commas between them).
  CsvWriter& field(std::string_view csv);
  void endRow();
  // Renames the complete file into place; false with errorText() set when
  // any write, the close or the rename failed (the new file is removed).
  bool commit();
  void discard();
  const std::string& errorText() const { return file_.errorText(); }

 private:
  void separate() {
    if (!firstField_) *out_++ = ',';
    firstField_ = false;
  }
  // Room for n more bytes in the block.
  void room(std::size_t n) {
    if (static_cast<std::size_t>(end_ - out_) < n) makeRoom(n);
  }
  void makeRoom(std::size_t n);
  void handOn();
  void stopWriter();

  FileSink file_;
  std::string block_;  // rows being formatted: block_[0, out_)
  char* out_ = nullptr;
  char* end_ = nullptr;
  bool firstField_ = true;
  // Write-behind: full blocks written by a thread of their own.
  std::optional<WriteBehind> behind_;
};

// A field as RFC 4180 writes it: quoted when it must be.
void appendCsvField(std::string& out, std::string_view value);

}  // namespace mv
