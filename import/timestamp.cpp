#include "import/timestamp.hpp"

#include <chrono>

namespace mv::camtrap {

namespace {

// Reads exactly `n` digits at `pos`; false when any is not a digit.
bool digits(std::string_view s, std::size_t& pos, int n, int& value) {
  if (pos + static_cast<std::size_t>(n) > s.size()) return false;
  value = 0;
  for (int k = 0; k < n; ++k) {
    const char c = s[pos + static_cast<std::size_t>(k)];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += static_cast<std::size_t>(n);
  return true;
}

bool expect(std::string_view s, std::size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

std::optional<Timestamp> parseTimestamp(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  Timestamp t;
  DateTime& d = t.local;
  std::size_t p = 0;
  if (!digits(s, p, 4, d.year) || !expect(s, p, '-') || !digits(s, p, 2, d.month) || !expect(s, p, '-') ||
      !digits(s, p, 2, d.day))
    return std::nullopt;
  if (p >= s.size() || (s[p] != 'T' && s[p] != ' ')) return std::nullopt;
  ++p;
  if (!digits(s, p, 2, d.hour) || !expect(s, p, ':') || !digits(s, p, 2, d.minute) || !expect(s, p, ':') ||
      !digits(s, p, 2, d.second))
    return std::nullopt;
  if (p < s.size() && (s[p] == '.' || s[p] == ',')) {
    ++p;
    const std::size_t first = p;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
    if (p == first) return std::nullopt;
  }
  if (p < s.size()) {
    if (s[p] == 'Z' || s[p] == 'z') {
      ++p;
      t.offsetMinutes = 0;
    } else if (s[p] == '+' || s[p] == '-') {
      const int sign = s[p] == '-' ? -1 : 1;
      ++p;
      int hh = 0, mm = 0;
      if (!digits(s, p, 2, hh)) return std::nullopt;
      if (p < s.size()) {
        if (s[p] == ':') ++p;
        if (!digits(s, p, 2, mm)) return std::nullopt;
      }
      if (hh > 23 || mm > 59) return std::nullopt;
      t.offsetMinutes = sign * (hh * 60 + mm);
    }
  }
  if (p != s.size()) return std::nullopt;

  using namespace std::chrono;
  const year_month_day ymd{year{d.year}, month{static_cast<unsigned>(d.month)}, day{static_cast<unsigned>(d.day)}};
  if (d.year < 1 || !ymd.ok() || d.hour > 23 || d.minute > 59 || d.second > 59) return std::nullopt;
  return t;
}

std::int64_t secondsOf(const DateTime& t) {
  using namespace std::chrono;
  const year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
  const std::int64_t days = sys_days{ymd}.time_since_epoch().count();
  return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

DateTime dateTimeOf(std::int64_t seconds) {
  using namespace std::chrono;
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const year_month_day ymd{sys_days{std::chrono::days{days}}};
  DateTime d;
  d.year = static_cast<int>(ymd.year());
  d.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  d.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  d.hour = static_cast<int>(rest / 3600);
  d.minute = static_cast<int>(rest / 60 % 60);
  d.second = static_cast<int>(rest % 60);
  return d;
}

std::int64_t instantOf(const Timestamp& t, int fallbackOffsetMinutes) {
  return secondsOf(t.local) - static_cast<std::int64_t>(t.offsetMinutes.value_or(fallbackOffsetMinutes)) * 60;
}

DateTime onClock(std::int64_t instant, int offsetMinutes) {
  return dateTimeOf(instant + static_cast<std::int64_t>(offsetMinutes) * 60);
}

}  // namespace mv::camtrap
