// ISO 8601 timestamps of a Camtrap DP package ("2021-03-04T17:05:09+02:00"),
// and the move of an instant to a deployment's local clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mv::camtrap {

// A calendar date and clock time, as shown on some clock.
struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

struct Timestamp {
  DateTime local;                    // as written
  std::optional<int> offsetMinutes;  // east of UTC; none when no offset was written
};

// Accepts "YYYY-MM-DDThh:mm:ss" (or a blank instead of the T), optional
// fractional seconds (cut off), then "Z", "+hh:mm", "+hhmm", "+hh" or nothing.
// Returns nothing for any other text or an impossible date or time.
std::optional<Timestamp> parseTimestamp(std::string_view text);

// Seconds since 1970-01-01 00:00 of a date and time taken as UTC.
std::int64_t secondsOf(const DateTime& t);
// The inverse of secondsOf.
DateTime dateTimeOf(std::int64_t seconds);

// The instant of a timestamp; one written without offset is read on the
// clock of `fallbackOffsetMinutes`.
std::int64_t instantOf(const Timestamp& t, int fallbackOffsetMinutes);
// The date and time an instant shows on a clock `offsetMinutes` east of UTC.
DateTime onClock(std::int64_t instant, int offsetMinutes);

}  // namespace mv::camtrap
