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

TEST(Calendar, WholeYearsAgreeWithCountingYearByYear) {
  for (int base = -9; base <= 2030; base += (base < 10 ? 1 : 7))
    for (int year = base; year <= base + 40; ++year) {
      int days = 0;
      for (int a = base; a < year; ++a) days += (a % 4 == 0) ? 366 : 365;
      ASSERT_EQ(mv::FINDDAY(base, year, 1, 0), days) << base << " " << year;
    }
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

TEST(Calendar, StudyMustFitTheSevenDigitMinuteNumbers) {
  // Day 6943 ends at minute 6943*1440 + 1439 = 9999359; day 6944 would reach 10000799.
  for (int lastDay : {6943, 6944}) {
    mv::Study st;
    st.FIRSTYEAR = 2000;
    st.LASTYEAR = 2019;
    st.FIRSTDAY = 1;
    st.LASTDAY = lastDay;
    std::ostringstream out;
    std::istringstream in("\nnot read\n");
    mv::Console console(out, in);
    int status = 0;
    try {
      mv::checkStudySpan(st, console);
    } catch (const mv::RunEnded& e) {
      status = e.status;
    }
    if (lastDay == 6943) {
      EXPECT_EQ(status, 0);
      EXPECT_EQ(out.str(), "");
    } else {
      EXPECT_EQ(status, 1);
      EXPECT_EQ(out.str(),
                " Study too long for FinalPicsList.txt: last day number 6944 counted from 1 January 2000, at most "
                "6943 (the study spans too many years)\r\n Hit enter to TERMINATE WITH ERROR\r\n");
      std::string rest;
      std::getline(in, rest);
      EXPECT_EQ(rest, "not read");
    }
  }
}
