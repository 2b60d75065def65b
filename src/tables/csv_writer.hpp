// One CSV file of the tables package, as RFC 4180 has it: a header row,
// fields separated by commas, every record ended by CR LF, and a field
// quoted only when it holds a comma, a double quote, a CR or a LF (its
// double quotes then doubled). An empty field is a missing value.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "layout/sinks.hpp"

namespace mv {

class CsvWriter {
 public:
  // Starts the file beside `path`; it takes that name only when commit()
  // succeeds. False with errorText() set when it cannot be created.
  bool open(const std::filesystem::path& path);
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
  void discard() { file_.discard(); }
  const std::string& errorText() const { return file_.errorText(); }

 private:
  void separate();
  FileSink file_;
  std::string row_;
  bool firstField_ = true;
};

// A field as RFC 4180 writes it: quoted when it must be.
void appendCsvField(std::string& out, std::string_view value);

}  // namespace mv
