// Layout strings: reading fixed-column and free-form input.
#include "layout/layout.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

namespace mv {

std::string padded(std::string_view text, std::size_t length) {
  std::string s(text.substr(0, std::min(text.size(), length)));
  s.resize(length, ' ');
  return s;
}

std::string fitString(std::string_view field, int width, std::size_t length) {
  const std::size_t w = static_cast<std::size_t>(width);
  std::string full = padded(field, w);
  if (w >= length) return full.substr(w - length);
  full.resize(length, ' ');
  return full;
}

bool parseIntField(std::string_view field, std::int32_t& value) {
  std::int64_t v = 0;
  bool negative = false;
  bool sign = false;
  bool digits = false;
  for (char c : field) {
    if (c == ' ') continue;
    if ((c == '-' || c == '+') && !sign && !digits) {
      sign = true;
      negative = c == '-';
      continue;
    }
    if (c < '0' || c > '9') return false;
    digits = true;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return false;
  }
  if (sign && !digits) return false;
  if (negative) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool parseIntColumnsAnyhow(std::string_view line, std::size_t from, std::size_t width, std::int32_t& value) {
  return parseIntField(from < line.size() ? line.substr(from, width) : std::string_view(), value);
}

namespace {

void readItems(const std::vector<LayoutItem>& items, std::string_view line, std::size_t& pos,
               std::vector<ReadField>& out) {
  auto take = [&](int width) {
    const std::size_t w = static_cast<std::size_t>(width);
    std::string_view s = pos < line.size() ? line.substr(pos, w) : std::string_view();
    pos += w;
    return s;
  };
  for (const auto& it : items) {
    switch (it.kind) {
      case LayoutItem::Kind::Group:
        for (int r = 0; r < it.repeat; ++r) readItems(it.items, line, pos, out);
        break;
      case LayoutItem::Kind::X:
        pos += static_cast<std::size_t>(it.width);
        break;
      case LayoutItem::Kind::Slash:
        break;
      case LayoutItem::Kind::A: {
        ReadField f;
        f.text = take(it.width);
        out.push_back(f);
        break;
      }
      case LayoutItem::Kind::I:
      case LayoutItem::Kind::F: {
        ReadField f;
        f.isInt = true;
        f.text = take(it.width);
        f.ok = parseIntField(f.text, f.value);
        out.push_back(f);
        break;
      }
    }
  }
}

}  // namespace

std::vector<ReadField> readFixed(const Layout& layout, std::string_view line) {
  std::vector<ReadField> out;
  std::size_t pos = 0;
  readItems(layout.items(), line, pos, out);
  return out;
}

FreeReader::Status FreeReader::readInts(std::size_t count, std::vector<std::int32_t>& out) {
  out.clear();
  while (out.size() < count) {
    auto line = source_->next();
    if (!line) return Status::End;
    std::string_view s(*line);
    std::size_t p = 0;
    while (out.size() < count) {
      while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
      if (p < s.size() && s[p] == ',') {
        ++p;
        continue;
      }
      if (p >= s.size()) break;
      std::size_t q = p;
      while (q < s.size() && s[q] != ' ' && s[q] != '\t' && s[q] != ',') ++q;
      std::string_view token = s.substr(p, q - p);
      std::int32_t v = 0;
      if (token.find(' ') != std::string_view::npos || !parseIntField(token, v)) {
        bad_ = std::string(token);
        return Status::Bad;
      }
      out.push_back(v);
      if (out.size() == count) after_ = std::string(s.substr(q));
      p = q;
      while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
      if (p < s.size() && s[p] == ',') ++p;
    }
  }
  return Status::Ok;
}

bool FreeReader::skipLine() { return source_->next().has_value(); }

}  // namespace mv
