#include <sstream>

#include "input/input.hpp"
#include "support/test_support.hpp"

TEST(Calendar, WorkedValues) {
  EXPECT_EQ(mv::FINDDAY(2010, 2010, 1, 1), 1);
  EXPECT_EQ(mv::FINDDAY(2010, 2010, 12, 31), 365);
  EXPECT_EQ(mv::FINDDAY(2010, 2011, 1, 1), 366);
  EXPECT_EQ(mv::FINDDAY(2010, 2012, 3, 1), 791);
  EXPECT_EQ(mv::FINDHOUR(2010, 2010, 1, 1, 13), 37);
  EXPECT_EQ(mv::FINDMINUTE(2010, 2010, 1, 1, 13, 5), 2225);
  EXPECT_EQ(mv::FINDMINUTE(2010, 2010, 1, 1, 0, 0), 1440);
}

TEST(Calendar, LeapYearsAreEveryFourthYear) {
  EXPECT_EQ(mv::FINDDAY(2100, 2100, 3, 1), 61);  // no century rule
  EXPECT_EQ(mv::FINDDAY(1900, 1900, 3, 1), 61);
  EXPECT_EQ(mv::FINDDAY(2011, 2011, 3, 1), 60);
  EXPECT_EQ(mv::monthLength(2100, 2), 29);
}

TEST(Calendar, DayIsNotCheckedAgainstTheMonth) {
  EXPECT_EQ(mv::FINDDAY(2010, 2010, 2, 31), mv::FINDDAY(2010, 2010, 3, 3));
  EXPECT_EQ(mv::FINDDAY(2010, 2010, 3, 0), 59);  // last day of February
  EXPECT_EQ(mv::FINDDAY(2010, 2010, 1, 5), 5);
}

namespace {
void addPeriod(mv::Study& st, int loc, int p, int y1, int m1, int d1, int y2, int m2, int d2) {
  st.PERIODSTART(loc, p, mv::kYear) = y1;
  st.PERIODSTART(loc, p, mv::kMonth) = m1;
  st.PERIODSTART(loc, p, mv::kDay) = d1;
  st.PERIODSTOP(loc, p, mv::kYear) = y2;
  st.PERIODSTOP(loc, p, mv::kMonth) = m2;
  st.PERIODSTOP(loc, p, mv::kDay) = d2;
}
}  // namespace

TEST(Calendar, StudyYearsAndDaysFromPeriods) {
  mv::Study st;
  st.NLOCATIONS = 3;
  st.MAXPERIODS = 2;
  st.sizeLocationTables();
  st.NPERIODS(1) = 2;
  addPeriod(st, 1, 1, 2010, 3, 15, 2010, 9, 1);
  addPeriod(st, 1, 2, 2011, 1, 1, 2012, 6, 20);
  st.NPERIODS(2) = 0;
  st.NPERIODS(3) = 1;
  addPeriod(st, 3, 1, 2010, 4, 1, 2011, 2, 2);
  std::ostringstream out;
  std::istringstream in;
  mv::Console console(out, in);
  mv::STARTSTOPDAYS(st, console);
  EXPECT_EQ(out.str(), " CALCULATE BEGIN & END YEARS\r\n");
  EXPECT_EQ(st.FIRSTYEAR, 2010);
  EXPECT_EQ(st.LASTYEAR, 2012);
  EXPECT_EQ(st.FIRSTDAY, 74);
  EXPECT_EQ(st.LASTDAY, 902);
  EXPECT_EQ(st.PERIODSTART(3, 1, mv::kDayNumber), 91);
}

TEST(Calendar, NoPeriodsLeavesStartingValues) {
  mv::Study st;
  st.NLOCATIONS = 1;
  st.sizeLocationTables();
  std::ostringstream out;
  std::istringstream in;
  mv::Console console(out, in);
  mv::STARTSTOPDAYS(st, console);
  EXPECT_EQ(st.FIRSTYEAR, 3000);
  EXPECT_EQ(st.LASTYEAR, 1000);
  EXPECT_EQ(st.FIRSTDAY, 366);
  EXPECT_EQ(st.LASTDAY, 1);
}
