#include "import/day_dates.hpp"

#include "import/errors.hpp"

namespace mv::camtrap {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// From `min` to `max` digits at `pos`.
bool readNumber(std::string_view s, std::size_t& pos, int min, int max, int& value) {
  int n = 0;
  value = 0;
  while (n < max && pos < s.size() && isDigit(s[pos])) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++n;
  }
  return n >= min && (pos >= s.size() || !isDigit(s[pos]));
}

bool validDay(const DateTime& d) {
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  const int days = d.month == 2 && leap ? 29 : kDays[d.month - 1];
  return d.day <= days;
}

// What may follow a date: nothing, or a blank or "T" and a time hh:mm or
// hh:mm:ss (with fractions of a second), which is not read.
bool timeOrNothing(std::string_view s, std::size_t pos) {
  if (pos == s.size()) return true;
  if (s[pos] != ' ' && s[pos] != 'T') return false;
  ++pos;
  int v = 0;
  if (!readNumber(s, pos, 1, 2, v) || v > 23 || pos >= s.size() || s[pos] != ':') return false;
  ++pos;
  if (!readNumber(s, pos, 2, 2, v) || v > 59) return false;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    if (!readNumber(s, pos, 2, 2, v) || v > 60) return false;
    if (pos < s.size() && s[pos] == '.') {
      ++pos;
      int fraction = 0;
      if (!readNumber(s, pos, 1, 9, fraction)) return false;
    }
  }
  return pos == s.size();
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<DateTime> parseIsoDay(std::string_view s) {
  s = trimmed(s);
  DateTime d;
  std::size_t p = 0;
  if (!readNumber(s, p, 4, 4, d.year) || p >= s.size() || s[p] != '-') return std::nullopt;
  ++p;
  if (!readNumber(s, p, 2, 2, d.month) || p >= s.size() || s[p] != '-') return std::nullopt;
  ++p;
  if (!readNumber(s, p, 2, 2, d.day) || !validDay(d) || !timeOrNothing(s, p)) return std::nullopt;
  return d;
}

DateForm::DateForm(const std::string& form) : text_(form) {
  const auto fail = [&]() {
    return ImportError("option --date-format: \"" + form +
                       "\" is not a date form such as dd/mm/yyyy, mm/dd/yyyy, %d.%m.%Y or dmy (four-digit years)");
  };
  const std::string_view f = form;
  bool day = false, month = false, year = false;
  const auto add = [&](Part part) {
    bool& seen = part == Part::Day ? day : part == Part::Month ? month : year;
    if (seen) throw fail();
    seen = true;
    items_.push_back({part});
  };
  if (f.size() == 3 && f.find_first_not_of("dmy") == std::string_view::npos) {
    for (std::size_t k = 0; k < 3; ++k) {
      if (k > 0) items_.push_back({Part::Separator, 0});
      add(f[k] == 'd' ? Part::Day : f[k] == 'm' ? Part::Month : Part::Year);
    }
  } else {
    std::size_t p = 0;
    while (p < f.size()) {
      const char c = f[p];
      if (c == '%' && p + 1 < f.size()) {
        const char k = f[p + 1];
        if (k == 'd')
          add(Part::Day);
        else if (k == 'm')
          add(Part::Month);
        else if (k == 'Y')
          add(Part::Year);
        else
          throw fail();
        p += 2;
      } else if (c == 'd' || c == 'm' || c == 'y') {
        std::size_t q = p;
        while (q < f.size() && f[q] == c) ++q;
        const std::size_t run = q - p;
        if ((c != 'y' && run != 2) || (c == 'y' && run != 4)) throw fail();
        add(c == 'd' ? Part::Day : c == 'm' ? Part::Month : Part::Year);
        p = q;
      } else if (c == '/' || c == '-' || c == '.' || c == ' ') {
        items_.push_back({Part::Separator, c});
        ++p;
      } else {
        throw fail();
      }
    }
  }
  if (!day || !month || !year) throw fail();
  for (std::size_t k = 0; k < items_.size(); ++k) {
    const bool separator = items_[k].part == Part::Separator;
    const bool wanted = k % 2 == 1;
    if (separator != wanted || items_.size() != 5) throw fail();
  }
}

std::optional<DateTime> DateForm::parse(std::string_view s) const {
  s = trimmed(s);
  if (s.size() > 4 && isDigit(s[0]) && isDigit(s[1]) && isDigit(s[2]) && isDigit(s[3]) && s[4] == '-')
    return parseIsoDay(s);
  DateTime d;
  std::size_t p = 0;
  for (const Item& item : items_) {
    switch (item.part) {
      case Part::Day:
        if (!readNumber(s, p, 1, 2, d.day)) return std::nullopt;
        break;
      case Part::Month:
        if (!readNumber(s, p, 1, 2, d.month)) return std::nullopt;
        break;
      case Part::Year:
        if (!readNumber(s, p, 4, 4, d.year)) return std::nullopt;
        break;
      case Part::Separator:
        if (p >= s.size()) return std::nullopt;
        if (item.literal != 0 ? s[p] != item.literal : (s[p] != '/' && s[p] != '-' && s[p] != '.' && s[p] != ' '))
          return std::nullopt;
        ++p;
        break;
    }
  }
  if (!validDay(d) || !timeOrNothing(s, p)) return std::nullopt;
  return d;
}

DateTime dayBefore(const DateTime& day) { return dateTimeOf(secondsOf(day) - 86400); }
DateTime dayAfter(const DateTime& day) { return dateTimeOf(secondsOf(day) + 86400); }

}  // namespace mv::camtrap
