// CSV tables (RFC 4180: quoted fields with embedded delimiters, doubled
// quotes and line breaks; CR LF or LF; UTF-8 with or without a byte-order
// mark), read strictly by our own reader.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv::camtrap {

struct CsvDialect {
  char delimiter = ',';
  char quote = '"';
};

// Called once per record, the header included; `record` counts from 1.
using RecordHandler = std::function<void(const std::vector<std::string>& fields, long record)>;

// Reads every record of a file. Empty lines are not records. Throws
// ImportError when the file cannot be read or is not well-formed CSV.
void readCsv(const std::filesystem::path& path, const CsvDialect& dialect, const RecordHandler& onRecord);

// The columns of a table, found by header name.
class Columns {
 public:
  Columns() = default;
  Columns(std::vector<std::string> header, std::string table);
  // Index of a column, or -1.
  int find(std::string_view name) const;
  // Index of a column; throws ImportError naming the table when it is missing.
  int require(std::string_view name) const;
  const std::vector<std::string>& header() const { return header_; }

 private:
  std::vector<std::string> header_;
  std::string table_;
};

// The field of a record in a column; empty for column -1 or a short record.
std::string_view fieldAt(const std::vector<std::string>& fields, int column);

// A table whose first record is the header: `onRow(columns, fields, record)`
// for each further record. Several files (parts of one table) are read in
// turn; a later part may repeat the header, which is then skipped.
using RowHandler = std::function<void(const Columns& columns, const std::vector<std::string>& fields, long record)>;
Columns readTable(const std::vector<std::filesystem::path>& parts, const CsvDialect& dialect,
                  const std::string& tableName, const std::function<void(const Columns&)>& onHeader,
                  const RowHandler& onRow);

}  // namespace mv::camtrap
