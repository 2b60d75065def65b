#include "import/clock.hpp"

#include <date/tz.h>

#include <chrono>
#include <exception>
#include <stdexcept>

namespace mv::camtrap {

std::optional<StudyClock> StudyClock::zone(const std::string& name) {
  StudyClock c;
  try {
    c.zone_ = date::locate_zone(name);
  } catch (const std::exception&) {
    // Not in the database, or no database: the caller names the zone.
    return std::nullopt;
  }
  if (c.zone_ == nullptr) return std::nullopt;
  return c;
}

StudyClock StudyClock::fixed(int offsetMinutes) {
  StudyClock c;
  c.fixed_ = offsetMinutes;
  return c;
}

StudyClock StudyClock::of(const std::optional<std::string>& zoneName, const std::optional<int>& offsetMinutes) {
  if (offsetMinutes) return fixed(*offsetMinutes);
  if (zoneName) {
    if (auto z = zone(*zoneName)) return *z;
    throw std::runtime_error("unknown time zone \"" + *zoneName + "\"");
  }
  return StudyClock();
}

DateTime StudyClock::show(std::int64_t instant, int deploymentOffsetMinutes) const {
  if (zone_ != nullptr) {
    const date::sys_seconds when{std::chrono::seconds{instant}};
    const auto local = zone_->to_local(when);
    return dateTimeOf(local.time_since_epoch().count());
  }
  return onClock(instant, fixed_.value_or(deploymentOffsetMinutes));
}

std::string StudyClock::describe() const {
  if (zone_ != nullptr) {
    // Whether the zone keeps daylight saving time now: its save in January
    // or in July of the current year.
    using namespace std::chrono;
    const auto today = floor<days>(system_clock::now());
    const year y = year_month_day{today}.year();
    const bool saves = zone_->get_info(sys_days{y / January / 15}).save != minutes{0} ||
                       zone_->get_info(sys_days{y / July / 15}).save != minutes{0};
    return zone_->name() + (saves ? " (daylight saving applied)" : " (no daylight saving)");
  }
  if (fixed_) return "UTC" + formatUtcOffset(*fixed_) + " all year";
  return "each deployment's own (the UTC offset written in its deploymentStart)";
}

std::string StudyClock::name() const {
  if (zone_ != nullptr) return zone_->name();
  if (fixed_) return "UTC" + formatUtcOffset(*fixed_);
  return {};
}

std::optional<int> parseUtcOffset(std::string_view text) {
  if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return std::nullopt;
  for (const std::size_t k : {1u, 2u, 4u, 5u})
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
  const int hours = (text[1] - '0') * 10 + (text[2] - '0');
  const int minutes = (text[4] - '0') * 10 + (text[5] - '0');
  if (minutes > 59) return std::nullopt;
  const int offset = (text[0] == '-' ? -1 : 1) * (hours * 60 + minutes);
  if (offset < -12 * 60 || offset > 14 * 60) return std::nullopt;
  return offset;
}

std::string formatUtcOffset(int offsetMinutes) {
  const int a = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  const int h = a / 60, m = a % 60;
  std::string s(1, offsetMinutes < 0 ? '-' : '+');
  s += static_cast<char>('0' + h / 10);
  s += static_cast<char>('0' + h % 10);
  s += ':';
  s += static_cast<char>('0' + m / 10);
  s += static_cast<char>('0' + m % 10);
  return s;
}

}  // namespace mv::camtrap
