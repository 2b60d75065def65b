#include "import/csv_reader.hpp"

#include <csv.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>

#include "import/errors.hpp"

namespace mv::camtrap {

namespace {

struct ParseState {
  const RecordHandler* onRecord = nullptr;
  std::vector<std::string> fields;
  long records = 0;
  std::exception_ptr error;  // a handler's exception, rethrown outside libcsv
};

void onField(void* text, std::size_t length, void* data) {
  auto* st = static_cast<ParseState*>(data);
  if (st->error) return;
  if (length == 0 || text == nullptr)
    st->fields.emplace_back();
  else
    st->fields.emplace_back(static_cast<const char*>(text), length);
}

void onRecordEnd(int, void* data) {
  auto* st = static_cast<ParseState*>(data);
  if (st->error) return;
  try {
    (*st->onRecord)(st->fields, ++st->records);
  } catch (...) {
    st->error = std::current_exception();
  }
  st->fields.clear();
}

// Every byte belongs to its field: blanks around unquoted fields are kept,
// as RFC 4180 says; callers trim where a value calls for it.
int noSpace(unsigned char) { return 0; }

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

struct ParserFree {
  void operator()(csv_parser* p) const { csv_free(p); }
};

}  // namespace

void readCsv(const std::filesystem::path& path, const CsvDialect& dialect, const RecordHandler& onRecord) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw ImportError(path.string() + " is a folder, not a CSV file");
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw ImportError("cannot open " + path.string());

  csv_parser parser{};
  if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw ImportError("cannot start the CSV reader");
  std::unique_ptr<csv_parser, ParserFree> guard(&parser);
  csv_set_delim(&parser, static_cast<unsigned char>(dialect.delimiter));
  csv_set_quote(&parser, static_cast<unsigned char>(dialect.quote));
  csv_set_space_func(&parser, noSpace);

  ParseState st;
  st.onRecord = &onRecord;
  std::vector<char> buffer(1 << 16);
  long lineBefore = 1;  // line number at the start of the current block
  bool first = true;
  for (;;) {
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (got == 0) break;
    std::size_t skip = 0;
    if (first && got >= 3 && static_cast<unsigned char>(buffer[0]) == 0xEF &&
        static_cast<unsigned char>(buffer[1]) == 0xBB && static_cast<unsigned char>(buffer[2]) == 0xBF)
      skip = 3;
    first = false;
    const std::size_t done = csv_parse(&parser, buffer.data() + skip, got - skip, onField, onRecordEnd, &st);
    if (st.error) std::rethrow_exception(st.error);
    if (done != got - skip) {
      const long line =
          lineBefore + static_cast<long>(std::count(buffer.data() + skip, buffer.data() + skip + done, '\n'));
      throw ImportError(path.string() + ": not valid CSV near line " + std::to_string(line) + " (" +
                        csv_strerror(csv_error(&parser)) + ")");
    }
    lineBefore += static_cast<long>(std::count(buffer.data(), buffer.data() + got, '\n'));
  }
  if (std::ferror(file.get())) throw ImportError("error reading " + path.string());
  if (csv_fini(&parser, onField, onRecordEnd, &st) != 0)
    throw ImportError(path.string() + ": not valid CSV at its end (" + csv_strerror(csv_error(&parser)) +
                      "; a quoted field is not closed)");
  if (st.error) std::rethrow_exception(st.error);
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
