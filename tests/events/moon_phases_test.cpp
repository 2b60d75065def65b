#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <utility>

#include "events/events.hpp"
#include "input/input.hpp"
#include "support/test_support.hpp"

namespace {

mv::Study studyYears(int first, int last) {
  mv::Study st;
  st.FIRSTYEAR = first;
  st.LASTYEAR = last;
  st.sizeTallies();  // MOONDAYS 2 x 500, zeroed
  return st;
}

int filledSlots(const mv::Study& st, int phase) {
  int n = 0;
  for (int k = 1; k <= mv::kMoonSlots; ++k) n += st.MOONDAYS(phase, k) != 0 ? 1 : 0;
  return n;
}

// The phase a day counts for, by walking the slots as the rule states: the
// first slot of row 1 within 5 days, else the first of row 2.
int walkSlots(const mv::Table<int, 2>& moonDays, int d) {
  for (int phase = 1; phase <= 2; ++phase)
    for (int k = 1; k <= mv::kMoonSlots; ++k) {
      const std::int64_t v = moonDays(phase, k);
      if (v != 0 && v - 5 <= d && d <= v + 5) return phase;
    }
  return 0;
}

void expectDate(const mv::CalendarDate& date, int y, int m, int d) {
  EXPECT_EQ(date.year, y);
  EXPECT_EQ(date.month, m);
  EXPECT_EQ(date.day, d);
}

}  // namespace

TEST(MoonCalendar, FirstLastAndCorrectedEntries) {
  const auto& cal = mv::MOONCALENDAR;
  expectDate(cal[0].fullMoon, 2000, 1, 21);
  expectDate(cal[0].newMoon, 2000, 1, 6);  // corrected from 10 January
  expectDate(cal[1].fullMoon, 2000, 2, 19);
  expectDate(cal[1].newMoon, 2000, 2, 5);
  expectDate(cal[100].fullMoon, 2008, 2, 20);  // corrected from 29 February
  expectDate(cal[100].newMoon, 2008, 2, 6);
  expectDate(cal[118].fullMoon, 2009, 8, 5);
  expectDate(cal[118].newMoon, 2009, 7, 21);  // corrected from 21 April
  expectDate(cal[124].fullMoon, 2010, 1, 29);
  expectDate(cal[124].newMoon, 2010, 1, 15);
  expectDate(cal[209].fullMoon, 2016, 12, 14);
  expectDate(cal[209].newMoon, 2016, 11, 29);
}

TEST(MoonCalendar, EveryEntryIsALunarMonthAfterTheLast) {
  // Day numbers counted from 2000 (2000 is a leap year like every 4th year
  // of the range, so this count matches the real calendar).
  auto day = [](const mv::CalendarDate& c) { return mv::FINDDAY(2000, c.year, c.month, c.day); };
  for (std::size_t k = 0; k < mv::MOONCALENDAR.size(); ++k) {
    const auto& e = mv::MOONCALENDAR[k];
    const int gap = day(e.fullMoon) - day(e.newMoon);
    EXPECT_TRUE(gap >= 13 && gap <= 16) << "entry " << k + 1 << " full - new = " << gap;
    if (k == 0) continue;
    const auto& before = mv::MOONCALENDAR[k - 1];
    const int fullStep = day(e.fullMoon) - day(before.fullMoon);
    const int newStep = day(e.newMoon) - day(before.newMoon);
    // A lunar month is 29.5 days give or take a few hours; the table's dates
    // are local days, which can add one day either way.
    EXPECT_TRUE(fullStep >= 28 && fullStep <= 31) << "entry " << k + 1 << " full moon step " << fullStep;
    EXPECT_TRUE(newStep >= 28 && newStep <= 31) << "entry " << k + 1 << " new moon step " << newStep;
  }
}

TEST(MoonPhases, StudyOf2010) {
  mv::Study st = studyYears(2010, 2010);
  mv::MOONPHASES(st, st);
  // 2010 holds entries 125 (full 29 Jan, new 15 Jan) to 136 (full 21 Dec, new 5 Dec).
  EXPECT_EQ(st.MOONDAYS(1, 125), 29);
  EXPECT_EQ(st.MOONDAYS(2, 125), 15);
  EXPECT_EQ(st.MOONDAYS(1, 126), 59);   // 28 February
  EXPECT_EQ(st.MOONDAYS(2, 126), 44);   // 13 February
  EXPECT_EQ(st.MOONDAYS(1, 136), 355);  // 21 December
  EXPECT_EQ(st.MOONDAYS(2, 136), 339);  // 5 December
  EXPECT_EQ(st.MOONDAYS(1, 124), 0);    // 31 December 2009
  EXPECT_EQ(st.MOONDAYS(2, 137), 0);    // 4 January 2011
  EXPECT_EQ(filledSlots(st, 1), 12);
  EXPECT_EQ(filledSlots(st, 2), 12);
}

TEST(MoonPhases, OnlyTheYearIsComparedAndTheCorrectedDatesAreUsed) {
  mv::Study st = studyYears(2008, 2009);
  mv::MOONPHASES(st, st);
  EXPECT_EQ(st.MOONDAYS(1, 100), 22);  // 22 January 2008
  EXPECT_EQ(st.MOONDAYS(2, 100), 8);
  EXPECT_EQ(st.MOONDAYS(1, 101), 51);  // 20 February 2008
  EXPECT_EQ(st.MOONDAYS(2, 101), 37);  // 6 February 2008
  // 21 July 2009: 366 days of 2008, then 181 days to the end of June, then 21.
  EXPECT_EQ(st.MOONDAYS(2, 119), 568);
  // Entry 99: full moon 23 December 2007 (outside), new moon 9 December 2007.
  EXPECT_EQ(st.MOONDAYS(1, 99), 0);
  // Entry 124: full moon 31 December 2009 is day 731; its new moon 16 December day 716.
  EXPECT_EQ(st.MOONDAYS(1, 124), 731);
  EXPECT_EQ(st.MOONDAYS(2, 124), 716);
  EXPECT_EQ(filledSlots(st, 1), 25);
  EXPECT_EQ(filledSlots(st, 2), 25);
}

TEST(MoonPhases, StudySpanning2016And2017HasTabled2016AndComputed2017) {
  mv::Study st = studyYears(2016, 2017);
  mv::MOONPHASES(st, st);
  EXPECT_EQ(st.MOONDAYS(1, 198), 0);    // 25 December 2015
  EXPECT_EQ(st.MOONDAYS(2, 198), 0);    // 11 December 2015
  EXPECT_EQ(st.MOONDAYS(1, 199), 24);   // 24 January 2016
  EXPECT_EQ(st.MOONDAYS(2, 199), 10);   // 10 January 2016
  EXPECT_EQ(st.MOONDAYS(1, 210), 349);  // 14 December 2016 (leap year)
  EXPECT_EQ(st.MOONDAYS(2, 210), 334);  // 29 November 2016
  // 2017 from slot 211 on, 2016 having 366 days.
  EXPECT_EQ(st.MOONDAYS(1, 211), 366 + 12);   // full moon 12 January 2017 11:34
  EXPECT_EQ(st.MOONDAYS(2, 211), 366 + 28);   // new moon 28 January 2017 00:07
  EXPECT_EQ(st.MOONDAYS(2, 218), 366 + 233);  // new moon 21 August 2017 18:30
  EXPECT_EQ(st.MOONDAYS(1, 222), 366 + 337);  // full moon 3 December 2017
  EXPECT_EQ(st.MOONDAYS(2, 222), 366 + 352);  // new moon 18 December 2017
  EXPECT_EQ(st.MOONDAYS(1, 223), 0);
  EXPECT_EQ(filledSlots(st, 1), 12 + 12);
  EXPECT_EQ(filledSlots(st, 2), 12 + 12);
}

TEST(MoonPhases, StudiesOutsideTheCalendarGetComputedMoonsInTimeOrder) {
  // 1995 to 1999, and 2017 to 2036 (20 years, the longest span a run
  // accepts): nothing in the calendar's slots; from slot 211 on 12 or 13
  // phases of each kind a year, one lunar month (29 or 30 days) apart.
  for (const auto& [first, last] : {std::pair{1995, 1999}, std::pair{2017, 2036}}) {
    mv::Study st = studyYears(first, last);
    mv::MOONPHASES(st, st);
    for (int phase = 1; phase <= 2; ++phase) {
      for (int k = 1; k <= 210; ++k) EXPECT_EQ(st.MOONDAYS(phase, k), 0);
      const int n = filledSlots(st, phase);
      const int years = last - first + 1;
      EXPECT_GE(n, 12 * years);
      EXPECT_LE(n, 13 * years);
      for (int k = 212; k < 211 + n; ++k) {
        const int step = st.MOONDAYS(phase, k) - st.MOONDAYS(phase, k - 1);
        EXPECT_TRUE(step >= 29 && step <= 30) << first << " slot " << k << " step " << step;
      }
    }
  }
  // A span the run never accepts ends with a clear error, never past slot 500.
  mv::Study tooLong = studyYears(1950, 1999);
  EXPECT_THROW(mv::MOONPHASES(tooLong, tooLong), std::length_error);
}

TEST(MoonPhases, PublishedInstantsWithinTwoMinutes) {
  struct Published {
    mv::MoonPhase phase;
    int year, month, day, hour, minute;
  };
  const Published published[] = {
      {mv::MoonPhase::Full, 2018, 1, 31, 13, 27}, {mv::MoonPhase::New, 2017, 8, 21, 18, 30},
      {mv::MoonPhase::New, 2019, 7, 2, 19, 16},   {mv::MoonPhase::New, 2020, 12, 14, 16, 17},
      {mv::MoonPhase::Full, 2022, 11, 8, 11, 2},  {mv::MoonPhase::New, 2024, 1, 11, 11, 57},
      {mv::MoonPhase::Full, 2024, 1, 25, 17, 54}, {mv::MoonPhase::New, 1999, 8, 11, 11, 8},
  };
  for (const Published& p : published) {
    // Julian day: 1 January 1999 0h UT is 2451179.5; every 4th year from 1999
    // to 2024 is a leap year, as FINDDAY counts them.
    const double jd = 2451179.5 + (mv::FINDDAY(1999, p.year, p.month, p.day) - 1) + (p.hour * 60 + p.minute) / 1440.0;
    const double half = p.phase == mv::MoonPhase::Full ? 0.5 : 0.0;
    const int lunation = static_cast<int>(std::lround((jd - 2451550.1) / 29.530588861 - half));
    const double instant = mv::moonPhaseInstant(lunation, p.phase);
    EXPECT_NEAR(instant, jd, 2.0 / 1440.0)
        << p.year << "-" << p.month << "-" << p.day << " off by " << (instant - jd) * 1440.0 << " minutes";
    const mv::CalendarDate date = mv::utcDate(instant);
    expectDate(date, p.year, p.month, p.day);
  }
}

TEST(MoonWindows, ElevenDayWindowsAndFullMoonFirst) {
  mv::Study st = studyYears(2010, 2010);
  st.MOONDAYS(1, 3) = 40;  // full moon
  st.MOONDAYS(2, 1) = 32;  // new moon 8 days before: windows overlap on 35..37
  st.MOONDAYS(2, 2) = 25;
  const mv::MoonWindows moon(st.MOONDAYS);
  EXPECT_EQ(moon.phase(3), 0);  // far from every listed day
  EXPECT_EQ(moon.phase(19), 0);
  EXPECT_EQ(moon.phase(20), 2);  // 25 - 5
  EXPECT_EQ(moon.phase(34), 2);
  EXPECT_EQ(moon.phase(35), 1);  // within 5 of both: full moon only
  EXPECT_EQ(moon.phase(37), 1);
  EXPECT_EQ(moon.phase(45), 1);  // 40 + 5
  EXPECT_EQ(moon.phase(46), 0);
}

TEST(MoonWindows, SameAsWalkingTheSlots) {
  std::mt19937 rng(20100129);
  for (int round = 0; round < 20; ++round) {
    mv::Study st = studyYears(2010, 2010);
    std::uniform_int_distribution<int> slot(1, mv::kMoonSlots);
    std::uniform_int_distribution<int> day(-30, 800);
    for (int i = 0; i < 40; ++i) st.MOONDAYS(1 + i % 2, slot(rng)) = day(rng);
    const mv::MoonWindows moon(st.MOONDAYS);
    for (int d = -50; d <= 850; ++d) ASSERT_EQ(moon.phase(d), walkSlots(st.MOONDAYS, d)) << "day " << d;
  }
  // A span of days too wide to lay out day by day.
  mv::Study wide = studyYears(2010, 2010);
  wide.MOONDAYS(2, 1) = 10;
  wide.MOONDAYS(1, 500) = 100000000;
  wide.MOONDAYS(1, 7) = 12;
  const mv::MoonWindows moon(wide.MOONDAYS);
  for (int d : {0, 4, 5, 6, 7, 8, 15, 17, 18, 99999994, 99999995, 100000005, 100000006})
    EXPECT_EQ(moon.phase(d), walkSlots(wide.MOONDAYS, d)) << "day " << d;
}
