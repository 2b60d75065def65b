#include "import/csv_reader.hpp"

#include <cstdio>
#include <memory>

#include "import/errors.hpp"

namespace mv::camtrap {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// RFC 4180 read strictly, one byte at a time, across the blocks of the file.
// A field that starts with the quote runs to the closing quote (a doubled
// quote is one quote; delimiters and line breaks inside belong to the
// field); any other field runs to the delimiter or the line end, and a quote
// inside it is an error, as is anything but a delimiter or a line end after
// a closing quote. CR, LF and CR LF end a record; an empty line is no record.
// Every byte belongs to its field: blanks around unquoted fields are kept,
// and callers trim where a value calls for it.
class CsvParser {
 public:
  CsvParser(const CsvDialect& dialect, const RecordHandler& onRecord) : dialect_(dialect), onRecord_(onRecord) {}

  // False at the first byte that breaks the rules.
  bool feed(const char* data, std::size_t size) {
    for (std::size_t k = 0; k < size; ++k) {
      const char c = data[k];
      if (c == '\n') ++line_;
      if (!step(c)) return false;
    }
    return true;
  }

  // The end of the file: false when a quoted field is still open.
  bool finish() {
    if (state_ == State::Quoted) return false;
    if (state_ != State::LineStart) endRecord();
    return true;
  }

  long line() const { return line_; }

 private:
  enum class State { LineStart, FieldStart, Unquoted, Quoted, QuoteInQuoted };

  bool step(char c) {
    switch (state_) {
      case State::LineStart:
        if (c == '\n' || c == '\r') return true;  // an empty line
        [[fallthrough]];
      case State::FieldStart:
        if (c == dialect_.quote) {
          state_ = State::Quoted;
        } else if (!ends(c)) {
          field_.push_back(c);
          state_ = State::Unquoted;
        }
        return true;
      case State::Unquoted:
        if (c == dialect_.quote) return false;
        if (!ends(c)) field_.push_back(c);
        return true;
      case State::Quoted:
        if (c == dialect_.quote)
          state_ = State::QuoteInQuoted;
        else
          field_.push_back(c);
        return true;
      case State::QuoteInQuoted:
        if (c == dialect_.quote) {
          field_.push_back(c);
          state_ = State::Quoted;
          return true;
        }
        return ends(c);
    }
    return false;
  }

  // A delimiter ends the field, a line end the record: whether c did.
  bool ends(char c) {
    if (c == dialect_.delimiter)
      endField();
    else if (c == '\n' || c == '\r')
      endRecord();
    else
      return false;
    return true;
  }

  void endField() {
    fields_.push_back(std::move(field_));
    field_.clear();
    state_ = State::FieldStart;
  }

  void endRecord() {
    fields_.push_back(std::move(field_));
    field_.clear();
    state_ = State::LineStart;
    onRecord_(fields_, ++records_);
    fields_.clear();
  }

  CsvDialect dialect_;
  const RecordHandler& onRecord_;
  State state_ = State::LineStart;
  std::string field_;
  std::vector<std::string> fields_;
  long records_ = 0;
  long line_ = 1;
};

}  // namespace

void readCsv(const std::filesystem::path& path, const CsvDialect& dialect, const RecordHandler& onRecord) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw ImportError(path.string() + " is a folder, not a CSV file");
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw ImportError("cannot open " + path.string());

  CsvParser parser(dialect, onRecord);
  std::vector<char> buffer(1 << 16);
  bool first = true;
  for (;;) {
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (got == 0) break;
    std::size_t skip = 0;
    if (first && got >= 3 && static_cast<unsigned char>(buffer[0]) == 0xEF &&
        static_cast<unsigned char>(buffer[1]) == 0xBB && static_cast<unsigned char>(buffer[2]) == 0xBF)
      skip = 3;
    first = false;
    if (!parser.feed(buffer.data() + skip, got - skip))
      throw ImportError(path.string() + ": not valid CSV near line " + std::to_string(parser.line()) +
                        " (a quote inside a field that is not quoted, or after a closing quote)");
  }
  if (std::ferror(file.get())) throw ImportError("error reading " + path.string());
  if (!parser.finish()) throw ImportError(path.string() + ": not valid CSV at its end (a quoted field is not closed)");
}

Columns::Columns(std::vector<std::string> header, std::string table)
    : header_(std::move(header)), table_(std::move(table)) {}

int Columns::find(std::string_view name) const {
  for (std::size_t k = 0; k < header_.size(); ++k)
    if (header_[k] == name) return static_cast<int>(k);
  return -1;
}

int Columns::require(std::string_view name) const {
  const int k = find(name);
  if (k < 0) throw ImportError(table_ + " has no column " + std::string(name));
  return k;
}

std::string_view fieldAt(const std::vector<std::string>& fields, int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= fields.size()) return {};
  return fields[static_cast<std::size_t>(column)];
}

Columns readTable(const std::vector<std::filesystem::path>& parts, const CsvDialect& dialect,
                  const std::string& tableName, const std::function<void(const Columns&)>& onHeader,
                  const RowHandler& onRow) {
  Columns columns;
  bool haveHeader = false;
  long offset = 0;  // records of the earlier parts
  for (std::size_t part = 0; part < parts.size(); ++part) {
    long last = 0;
    readCsv(parts[part], dialect, [&](const std::vector<std::string>& fields, long record) {
      last = record;
      if (!haveHeader) {
        std::vector<std::string> names = fields;
        for (std::string& n : names) {
          while (!n.empty() && (n.back() == ' ' || n.back() == '\t')) n.pop_back();
          while (!n.empty() && (n.front() == ' ' || n.front() == '\t')) n.erase(n.begin());
        }
        columns = Columns(std::move(names), tableName);
        haveHeader = true;
        if (onHeader) onHeader(columns);
        return;
      }
      if (part > 0 && record == 1 && fields == columns.header()) return;
      // A row with more fields than its header has lost its quoting or its
      // delimiters: its values would land in the wrong columns.
      if (fields.size() > columns.header().size())
        throw ImportError(tableName + " row " + std::to_string(offset + record) + " has " +
                          std::to_string(fields.size()) + " fields, more than the " +
                          std::to_string(columns.header().size()) + " of its header");
      onRow(columns, fields, offset + record);
    });
    offset += last;
  }
  if (!haveHeader) throw ImportError(tableName + " is empty: it has no header line");
  return columns;
}

}  // namespace mv::camtrap
