#include "tables/csv_writer.hpp"

#include <charconv>
#include <cmath>

namespace mv {

namespace {
constexpr std::size_t kBlock = 1u << 20;
}

void appendCsvField(std::string& out, std::string_view value) {
  // A plain scan: find_first_of would search the four characters once for
  // every character of the value.
  bool plain = true;
  for (char c : value)
    if (c == ',' || c == '"' || c == '\r' || c == '\n') plain = false;
  if (plain) {
    out.append(value);
    return;
  }
  out.push_back('"');
  for (char c : value) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

bool CsvWriter::open(const std::filesystem::path& path) {
  row_.clear();
  firstField_ = true;
  return file_.openReplacing(path);
}

void CsvWriter::separate() {
  if (!firstField_) row_.push_back(',');
  firstField_ = false;
}

CsvWriter& CsvWriter::text(std::string_view value) {
  separate();
  appendCsvField(row_, value);
  return *this;
}

CsvWriter& CsvWriter::integer(long long value) {
  separate();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  row_.append(digits, end);
  return *this;
}

CsvWriter& CsvWriter::real(float value) {
  separate();
  // Table Schema spells the values that are not finite numbers this way.
  if (std::isnan(value)) {
    row_.append("NaN");
  } else if (std::isinf(value)) {
    row_.append(value > 0 ? "INF" : "-INF");
  } else {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    row_.append(digits, end);
  }
  return *this;
}

CsvWriter& CsvWriter::field(std::string_view csv) {
  separate();
  row_.append(csv);
  return *this;
}

CsvWriter& CsvWriter::empty() {
  separate();
  return *this;
}

void CsvWriter::endRow() {
  row_.append("\r\n");
  firstField_ = true;
  // Rows are handed on in blocks of a megabyte, which the file sink writes
  // without copying them again.
  if (row_.size() >= kBlock) {
    file_.append(row_);
    row_.clear();
  }
}

bool CsvWriter::commit() {
  file_.append(row_);
  row_.clear();
  return file_.commit();
}

}  // namespace mv
