#include "tables/csv_writer.hpp"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <utility>

namespace mv {

namespace {
// Rows are handed to the file in blocks of a megabyte, which the file sink
// writes without copying them again.
constexpr std::size_t kBlock = 1u << 20;
// Room kept beyond a block for the row that fills it.
constexpr std::size_t kSlack = 4096;

bool plainField(std::string_view value) {
  // A plain scan: find_first_of would search the four characters once for
  // every character of the value.
  for (char c : value)
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return false;
  return true;
}

}  // namespace

void appendCsvField(std::string& out, std::string_view value) {
  if (plainField(value)) {
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

CsvWriter::~CsvWriter() { stopWriter(); }

bool CsvWriter::open(const std::filesystem::path& path, bool writeBehind) {
  stopWriter();
  block_.resize(kBlock + kSlack);
  out_ = block_.data();
  end_ = block_.data() + block_.size();
  firstField_ = true;
  if (!file_.openReplacing(path)) return false;
  if (writeBehind) behind_.emplace(file_);
  return true;
}

void CsvWriter::stopWriter() {
  if (!behind_) return;
  behind_->finish();
  behind_.reset();
}

void CsvWriter::handOn() {
  const auto used = static_cast<std::size_t>(out_ - block_.data());
  if (!behind_) {
    file_.append(std::string_view(block_.data(), used));
  } else {
    block_.resize(used);
    behind_->write(block_);
    block_.resize(kBlock + kSlack);
  }
  out_ = block_.data();
  end_ = block_.data() + block_.size();
}

void CsvWriter::makeRoom(std::size_t n) {
  // Only a field longer than the slack gets here within a row: the block
  // grows for it.
  const auto used = static_cast<std::size_t>(out_ - block_.data());
  block_.resize(std::max(block_.size(), used + n));
  out_ = block_.data() + used;
  end_ = block_.data() + block_.size();
}

CsvWriter& CsvWriter::text(std::string_view value) {
  room(2 * value.size() + 3);
  separate();
  if (plainField(value)) {
    std::memcpy(out_, value.data(), value.size());
    out_ += value.size();
    return *this;
  }
  *out_++ = '"';
  for (char c : value) {
    if (c == '"') *out_++ = '"';
    *out_++ = c;
  }
  *out_++ = '"';
  return *this;
}

CsvWriter& CsvWriter::integer(long long value) {
  room(24);
  separate();
  out_ = std::to_chars(out_, out_ + 21, value).ptr;
  return *this;
}

CsvWriter& CsvWriter::real(float value) {
  room(40);
  separate();
  // Table Schema spells the values that are not finite numbers this way.
  if (std::isfinite(value)) {
    out_ = std::to_chars(out_, out_ + 32, value).ptr;
    return *this;
  }
  const std::string_view word = std::isnan(value) ? "NaN" : value > 0 ? "INF" : "-INF";
  std::memcpy(out_, word.data(), word.size());
  out_ += word.size();
  return *this;
}

CsvWriter& CsvWriter::field(std::string_view csv) {
  room(csv.size() + 1);
  separate();
  std::memcpy(out_, csv.data(), csv.size());
  out_ += csv.size();
  return *this;
}

CsvWriter& CsvWriter::empty() {
  room(1);
  separate();
  return *this;
}

void CsvWriter::endRow() {
  room(2);
  *out_++ = '\r';
  *out_++ = '\n';
  firstField_ = true;
  if (static_cast<std::size_t>(out_ - block_.data()) >= kBlock) handOn();
}

bool CsvWriter::commit() {
  stopWriter();
  file_.append(std::string_view(block_.data(), static_cast<std::size_t>(out_ - block_.data())));
  out_ = block_.data();
  return file_.commit();
}

void CsvWriter::discard() {
  stopWriter();
  out_ = block_.data();
  file_.discard();
}

}  // namespace mv
