#include <array>
#include <vector>

#include "effort/effort.hpp"
#include "input/input.hpp"
#include "effort/expect_lines.hpp"
#include "support/test_support.hpp"

namespace {

using Period = std::array<int, 6>;  // start year, month, day, stop year, month, day

std::string N(const char* name) { return mv::makeName(name); }

// A study of locations with their periods (day numbers from the first year)
// and the study years set by hand.
mv::Study withPeriods(int firstYear, int lastYear, const std::vector<std::vector<Period>>& locations) {
  mv::Study st;
  st.NLOCATIONS = static_cast<int>(locations.size());
  st.MAXPERIODS = 0;
  for (const auto& periods : locations) st.MAXPERIODS = std::max(st.MAXPERIODS, static_cast<int>(periods.size()));
  st.sizeLocationTables();
  st.FIRSTYEAR = firstYear;
  st.LASTYEAR = lastYear;
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    const auto& periods = locations[static_cast<std::size_t>(l - 1)];
    st.NPERIODS(l) = static_cast<int>(periods.size());
    for (int p = 1; p <= st.NPERIODS(l); ++p) {
      const Period& d = periods[static_cast<std::size_t>(p - 1)];
      for (int f = 0; f < 3; ++f) {
        st.PERIODSTART(l, p, f + 1) = d[static_cast<std::size_t>(f)];
        st.PERIODSTOP(l, p, f + 1) = d[static_cast<std::size_t>(f + 3)];
      }
      st.PERIODSTART(l, p, mv::kDayNumber) = mv::FINDDAY(firstYear, d[0], d[1], d[2]);
      st.PERIODSTOP(l, p, mv::kDayNumber) = mv::FINDDAY(firstYear, d[3], d[4], d[5]);
    }
  }
  st.sizeLocationTrapDays();
  return st;
}

int totalDays(const mv::Study& st, int loc) {
  int t = 0;
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
    for (int m = 1; m <= 12; ++m) t += st.LOCATIONTRAPDAYS(loc, y, m);
  return t;
}

void walk(mv::Study& st) {
  mvtest::Capture console;
  mv::CAMERATRAPEFFORT(st, st, console.writer);
  EXPECT_EQ(console.lines(), std::vector<std::string>{" CAMERA TRAP DAYS"});
}

struct MonthDays {
  int year;
  int month;
  int days;
};

// A location with the one operating period walked through the calendar in
// the study years of the period: the days it gives two months, and in all.
void expectWalk(const Period& period, MonthDays a, MonthDays b, int total) {
  mv::Study st = withPeriods(period[0], period[3], {{period}});
  walk(st);
  EXPECT_EQ(st.LOCATIONTRAPDAYS(1, a.year, a.month), a.days);
  EXPECT_EQ(st.LOCATIONTRAPDAYS(1, b.year, b.month), b.days);
  EXPECT_EQ(totalDays(st, 1), total);
}

}  // namespace

TEST(CameraTrapDays, CalendarWalkAcrossMonthEnds) {
  // 30 January to 2 February of a common year.
  expectWalk({2011, 1, 30, 2011, 2, 2}, {2011, 1, 2}, {2011, 2, 2}, 4);
}

TEST(CameraTrapDays, FebruaryHas29DaysInEveryYearDivisibleByFour) {
  for (int year : {1900, 2100, 2012}) {
    SCOPED_TRACE(year);
    expectWalk({year, 2, 27, year, 3, 1}, {year, 2, 3}, {year, 3, 1}, 4);
  }
  expectWalk({2011, 2, 27, 2011, 3, 1}, {2011, 2, 2}, {2011, 3, 1}, 3);
}

TEST(CameraTrapDays, WalkCrossesIntoTheNextYear) {
  expectWalk({2010, 12, 30, 2011, 1, 2}, {2010, 12, 2}, {2011, 1, 2}, 4);
}

TEST(CameraTrapDays, StopBeforeStartGivesNothingAndOneDayGivesOne) {
  mv::Study st = withPeriods(2011, 2011, {{{2011, 3, 5, 2011, 3, 1}}, {{2011, 3, 5, 2011, 3, 5}}});
  walk(st);
  EXPECT_EQ(totalDays(st, 1), 0);
  EXPECT_EQ(st.LOCATIONTRAPDAYS(2, 2011, 3), 1);
  EXPECT_EQ(totalDays(st, 2), 1);
}

TEST(CameraTrapDays, OverlappingPeriodsBothCount) {
  mv::Study st = withPeriods(2011, 2011, {{{2011, 1, 1, 2011, 1, 31}, {2011, 1, 20, 2011, 2, 3}}});
  walk(st);
  EXPECT_EQ(st.LOCATIONTRAPDAYS(1, 2011, 1), 43);  // more days than January has
  EXPECT_EQ(st.LOCATIONTRAPDAYS(1, 2011, 2), 3);
}

TEST(CameraTrapDays, DatesOutsideTheCalendarCountNoCellAndNeverCrash) {
  // Period dates are not validated: 40 December runs past the last study year.
  mv::Study st = withPeriods(2011, 2011, {{{2011, 12, 30, 2011, 12, 40}}});
  walk(st);
  EXPECT_EQ(st.LOCATIONTRAPDAYS(1, 2011, 12), 2);
  EXPECT_EQ(totalDays(st, 1), 2);
}

namespace {

// Three groups over 2010..2012: Alpha (location 1), Beta (locations 2 and 3,
// nothing in 2011), Gamma (location 4, no operating period).
mv::Study effortStudy() {
  mv::Study st = withPeriods(2010, 2012,
                             {{{2010, 11, 29, 2010, 12, 2}},
                              {{2012, 1, 30, 2012, 2, 2}, {2012, 2, 27, 2012, 3, 1}},
                              {{2010, 12, 1, 2010, 12, 10}},
                              {}});
  st.NGROUPS = 3;
  st.sizeGroupTables();
  st.GROUPNAME(1) = N("Alpha");
  st.GROUPNAME(2) = N("Beta");
  st.GROUPNAME(3) = N("Gamma");
  st.GROUPSIZE(1) = 1;
  st.GROUPLOCATIONS(1, 1) = 1;
  st.GROUPSIZE(2) = 2;
  st.GROUPLOCATIONS(2, 1) = 2;
  st.GROUPLOCATIONS(2, 2) = 3;
  st.GROUPSIZE(3) = 1;
  st.GROUPLOCATIONS(3, 1) = 4;
  st.sizeGroupDates();
  return st;
}

// Builds the effort tables as the run does and returns the section lines.
std::vector<std::string> effortSection(mv::Study& st) {
  mvtest::Capture console;
  mv::GROUPSTARTSTOP(st, st, console.writer);
  mv::countTrapDays(st, st, console.writer);
  mvtest::Capture report;
  mv::WRITEGROUPTRAPDAYS(st, st, report.writer, console.writer);
  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{" GROUP START-STOP DATES", " CAMERA TRAP DAYS", " GROUP CAMERA TRAP DAYS"}));
  return report.lines();
}

}  // namespace

TEST(GroupStartStop, EarliestStartAndLatestStopOfTheGroupsLocations) {
  mv::Study st = effortStudy();
  mvtest::Capture console;
  mv::GROUPSTARTSTOP(st, st, console.writer);
  // Beta: the start comes from its second location, the stop from the
  // second period of its first location.
  EXPECT_EQ(st.GROUPSTART(2, mv::kYear), 2010);
  EXPECT_EQ(st.GROUPSTART(2, mv::kMonth), 12);
  EXPECT_EQ(st.GROUPSTART(2, mv::kDay), 1);
  EXPECT_EQ(st.GROUPSTART(2, mv::kDayNumber), 335);
  EXPECT_EQ(st.GROUPSTOP(2, mv::kYear), 2012);
  EXPECT_EQ(st.GROUPSTOP(2, mv::kMonth), 3);
  EXPECT_EQ(st.GROUPSTOP(2, mv::kDay), 1);
  EXPECT_EQ(st.GROUPSTOP(2, mv::kDayNumber), 791);
  // Gamma never operated: dates 0, day numbers 9999999 and 0.
  for (int f = mv::kYear; f <= mv::kDay; ++f) {
    EXPECT_EQ(st.GROUPSTART(3, f), 0);
    EXPECT_EQ(st.GROUPSTOP(3, f), 0);
  }
  EXPECT_EQ(st.GROUPSTART(3, mv::kDayNumber), 9999999);
  EXPECT_EQ(st.GROUPSTOP(3, mv::kDayNumber), 0);
}

TEST(GroupCameraTrapDays, GroupSumsItsLocations) {
  mv::Study st = effortStudy();
  effortSection(st);
  EXPECT_EQ(st.GROUPTRAPDAYS(2, 2010, 12), 10);
  EXPECT_EQ(st.GROUPTRAPDAYS(2, 2012, 1), 2);
  EXPECT_EQ(st.GROUPTRAPDAYS(2, 2012, 2), 5);
  EXPECT_EQ(st.GROUPTRAPDAYS(2, 2012, 3), 1);
  EXPECT_EQ(st.GROUPTRAPDAYS(1, 2010, 11), 2);
  EXPECT_EQ(st.GROUPTRAPDAYS(3, 2010, 12), 0);
}

namespace {
// clang-format off
const std::string kMonthHeader =
    "                 "
    "Jan    Feb    Mar    Apr    May    Jun    Jul    Aug    Sep    Oct    Nov    Dec    Total";
// clang-format on
}  // namespace

TEST(WriteGroupTrapDays, SectionWithInactiveGroupEmptyYearAndSummary) {
  mv::Study st = effortStudy();
  // clang-format off
  const std::vector<std::string> expected = {
      "GROUP CAMERA TRAP DAYS",
      "Group                      Start date  Stop date   Total days",
      N("Alpha") + "  2010 11 29  2010 12  2         4",
      N("Beta") + "  2010 12  1  2012  3  1        18",
      N("Gamma") + "     0  0  0     0  0  0         0",
      "Total group camera trap days " + std::string(23, ' ') + "     22",
      "",
      "GROUP CAMERA LOCATIONS NOT ACTIVE",
      N("Gamma"),
      "",
      "GROUP CAMERA TRAP EFFORT",
      "Year 2010",
      "Group (  2)" + kMonthHeader,
      N("Alpha") + "  "
                   "   0   " "   0   " "   0   " "   0   " "   0   " "   0   "
                   "   0   " "   0   " "   0   " "   0   " "   2   " "   2   "
                   " " "    4",
      N("Beta") + "  "
                  "   0   " "   0   " "   0   " "   0   " "   0   " "   0   "
                  "   0   " "   0   " "   0   " "   0   " "   0   " "  10   "
                  " " "   10",
      "Total days              "
      "      0" "      0" "      0" "      0" "      0" "      0"
      "      0" "      0" "      0" "      0" "      2" "     12"
      "    " "   14",
      "",
      "Year 2011",
      "Group (  0)" + kMonthHeader,
      "Total days              "
      "      0" "      0" "      0" "      0" "      0" "      0"
      "      0" "      0" "      0" "      0" "      0" "      0"
      "    " "    0",
      "",
      "Year 2012",
      "Group (  1)" + kMonthHeader,
      N("Beta") + "  "
                  "   2   " "   5   " "   1   " "   0   " "   0   " "   0   "
                  "   0   " "   0   " "   0   " "   0   " "   0   " "   0   "
                  " " "    8",
      "Total days              "
      "      2" "      5" "      1" "      0" "      0" "      0"
      "      0" "      0" "      0" "      0" "      0" "      0"
      "    " "    8",
      "",
      "GROUP CAMERA TRAP EFFORT SUMMARY",
      "Years 2010 to 2012",
      "Group (  2)" + kMonthHeader,
      N("Alpha") + "  "
                   "   0   " "   0   " "   0   " "   0   " "   0   " "   0   "
                   "   0   " "   0   " "   0   " "   0   " "   2   " "   2   "
                   " " "    4",
      N("Beta") + "  "
                  "   2   " "   5   " "   1   " "   0   " "   0   " "   0   "
                  "   0   " "   0   " "   0   " "   0   " "   0   " "  10   "
                  " " "   18",
      "Total days              "
      "      2" "      5" "      1" "      0" "      0" "      0"
      "      0" "      0" "      0" "      0" "      2" "     12"
      "   " "    22",
      "",
  };
  // clang-format on
  mvtest::expectLines(effortSection(st), expected);
}

TEST(WriteGroupTrapDays, SingleYearStudyHasNoSummaryAndEndsWithTwoEmptyLines) {
  mv::Study st = withPeriods(2015, 2015, {{{2015, 3, 1, 2015, 3, 3}}});
  st.NGROUPS = 1;
  st.sizeGroupTables();
  st.GROUPNAME(1) = N("Solo");
  st.GROUPSIZE(1) = 1;
  st.GROUPLOCATIONS(1, 1) = 1;
  st.sizeGroupDates();
  // clang-format off
  const std::vector<std::string> expected = {
      "GROUP CAMERA TRAP DAYS",
      "Group                      Start date  Stop date   Total days",
      N("Solo") + "  2015  3  1  2015  3  3         3",
      "Total group camera trap days " + std::string(23, ' ') + "      3",
      "",
      "GROUP CAMERA TRAP EFFORT",
      "Year 2015",
      "Group (  1)" + kMonthHeader,
      N("Solo") + "  "
                  "   0   " "   0   " "   3   " "   0   " "   0   " "   0   "
                  "   0   " "   0   " "   0   " "   0   " "   0   " "   0   "
                  " " "    3",
      "Total days              "
      "      0" "      0" "      3" "      0" "      0" "      0"
      "      0" "      0" "      0" "      0" "      0" "      0"
      "    " "    3",
      "",
      "",
  };
  // clang-format on
  mvtest::expectLines(effortSection(st), expected);
}
