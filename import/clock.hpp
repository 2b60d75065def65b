// The one clock a study is written on: a time zone of the system's tz
// database (daylight saving applied), one fixed UTC offset, or, when the
// user names neither, each deployment's own clock (the offset written in its
// start).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "import/timestamp.hpp"

namespace date {
class time_zone;
}

namespace mv::camtrap {

class StudyClock {
 public:
  // Each deployment's own clock.
  StudyClock() = default;
  // A zone of the tz database by its IANA name ("Europe/Brussels", "UTC");
  // nothing when the database does not know it.
  static std::optional<StudyClock> zone(const std::string& name);
  // One fixed offset east of UTC, in minutes.
  static StudyClock fixed(int offsetMinutes);
  // The clock of the options: the fixed offset, else the zone (which must be
  // known; the command line checks it), else each deployment's own.
  static StudyClock of(const std::optional<std::string>& zoneName, const std::optional<int>& offsetMinutes);

  // True for a zone or a fixed offset the user chose.
  bool chosen() const { return zone_ != nullptr || fixed_.has_value(); }
  // The date and time an instant shows on this clock; on each deployment's
  // own clock, the one `deploymentOffsetMinutes` east of UTC.
  DateTime show(std::int64_t instant, int deploymentOffsetMinutes) const;
  // What the clock is, for the summary: "Europe/Brussels (daylight saving
  // applied)", "UTC+01:00 all year" or "each deployment's own ...".
  std::string describe() const;
  // The zone's name or "UTC+01:00"; empty for each deployment's own clock.
  std::string name() const;

 private:
  const date::time_zone* zone_ = nullptr;
  std::optional<int> fixed_;
};

// "+01:00", "-05:30", "+14:00": an offset of -12:00 to +14:00 in minutes east
// of UTC; nothing for any other text.
std::optional<int> parseUtcOffset(std::string_view text);
// The inverse: "+01:00", "-05:30", "+00:00".
std::string formatUtcOffset(int offsetMinutes);

}  // namespace mv::camtrap
