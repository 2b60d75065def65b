#include <gtest/gtest.h>

#include "import/timestamp.hpp"

namespace mc = mv::camtrap;

TEST(Timestamp, AcceptedForms) {
  const auto a = mc::parseTimestamp("2021-03-04T17:05:09+02:00");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->local, (mc::DateTime{2021, 3, 4, 17, 5, 9}));
  EXPECT_EQ(a->offsetMinutes, 120);
  EXPECT_EQ(mc::parseTimestamp("2021-03-04T17:05:09Z")->offsetMinutes, 0);
  EXPECT_EQ(mc::parseTimestamp("2021-03-04 17:05:09-0330")->offsetMinutes, -210);
  EXPECT_EQ(mc::parseTimestamp("2021-03-04T17:05:09-05")->offsetMinutes, -300);
  const auto frac = mc::parseTimestamp(" 2021-03-04T17:05:09.987+01:00 ");
  ASSERT_TRUE(frac);
  EXPECT_EQ(frac->local.second, 9);
  const auto bare = mc::parseTimestamp("2020-02-29T00:00:00");
  ASSERT_TRUE(bare);
  EXPECT_FALSE(bare->offsetMinutes);
}

TEST(Timestamp, RejectedForms) {
  for (const char* bad :
       {"", "not a time", "2021-03-04", "2021-3-4T17:05:09Z", "2021-02-29T10:00:00Z", "2021-04-31T10:00:00Z",
        "2021-03-04T24:00:00Z", "2021-03-04T17:60:00Z", "2021-03-04T17:05:09+02:", "2021-03-04T17:05:09+25:00",
        "2021-03-04T17:05:09Zx", "2021-13-01T00:00:00Z", "2021-03-04T17:05:09."})
    EXPECT_FALSE(mc::parseTimestamp(bad)) << bad;
}

TEST(Timestamp, InstantsAndClocks) {
  // 21:10 UTC is 22:10 on a clock one hour east of UTC.
  const auto utc = *mc::parseTimestamp("2021-03-05T21:10:00Z");
  EXPECT_EQ(mc::onClock(mc::instantOf(utc, 60), 60), (mc::DateTime{2021, 3, 5, 22, 10, 0}));
  // 00:30 at +02:00 is 23:30 of the day before at +01:00.
  const auto late = *mc::parseTimestamp("2021-04-16T00:30:00+02:00");
  EXPECT_EQ(mc::onClock(mc::instantOf(late, 60), 60), (mc::DateTime{2021, 4, 15, 23, 30, 0}));
  // A time without offset is read on the fallback clock.
  const auto bare = *mc::parseTimestamp("2020-01-01T00:30:00");
  EXPECT_EQ(mc::instantOf(bare, 120), mc::instantOf(*mc::parseTimestamp("2019-12-31T22:30:00Z"), 0));
  // Across a year end and a leap day, and before 1970.
  EXPECT_EQ(mc::dateTimeOf(mc::secondsOf({2020, 2, 29, 23, 59, 59}) + 1), (mc::DateTime{2020, 3, 1, 0, 0, 0}));
  EXPECT_EQ(mc::secondsOf({1970, 1, 1, 0, 0, 0}), 0);
  EXPECT_EQ(mc::dateTimeOf(-1), (mc::DateTime{1969, 12, 31, 23, 59, 59}));
}
