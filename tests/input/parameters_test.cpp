#include <string>
#include <utility>
#include <vector>

#include "input/input.hpp"
#include "input_test_support.hpp"

using inputtest::ConsoleRun;
using inputtest::endStatus;
using inputtest::pad;

namespace {

// Both passes over Input.txt, as the run driver makes them.
int readInputFile(mv::Study& st, const mvtest::TempDir& dir, ConsoleRun& run) {
  return endStatus([&] {
    mv::READINPUTPARAMETERS(st, dir.path(), run.console);
    st.sizeLocationTables();
    mv::READINPUT(st, dir.path(), run.console);
  });
}

const std::string kTerminate = " Hit enter to TERMINATE WITH ERROR";

}  // namespace

TEST(InputParameters, BothPassesFillCountsAndTables) {
  mvtest::TempDir dir;
  const std::string longTitle =
      "A study title that runs on past the seventy-five characters of the title field: cut here";
  // CR LF and LF line ends mixed; a period line separated by commas; the third
  // location name fills all 25 columns.
  mvtest::writeFile(dir / "Input.txt", longTitle +
                                           "\r\n"
                                           "3\r\n"
                                           "Ridge A                   512340 4012200  1450\r\n"
                                           "2\r\n"
                                           "2010 3 15 2010 11 30\r\n"
                                           "2011,4,1, 2011 , 10,31\n"
                                           "Creek B                   -15700       7    -3\n"
                                           "0\n"
                                           "Meadow with a long name x 509800 4015600  1750\r\n"
                                           "1 periods\r\n"
                                           "2010 4 1 2011 6 30 extra words are ignored\r\n"
                                           "2\r\n"
                                           "Black bear\r\n"
                                           "Puma with a name of more than 25 characters\r\n"
                                           "Anything after the last species is not read\r\n");
  mv::Study st;
  ConsoleRun run;
  ASSERT_EQ(readInputFile(st, dir, run), -1) << run.out.str();
  EXPECT_EQ(run.lines(), std::vector<std::string>{" READ INPUT.TXT"});
  EXPECT_EQ(st.NLOCATIONS, 3);
  EXPECT_EQ(st.MAXPERIODS, 2);
  EXPECT_EQ(st.NSPECIES, 2);

  EXPECT_EQ(st.TITLE, longTitle.substr(0, 75));
  EXPECT_EQ(st.LOCATIONNAME(1), pad("Ridge A"));
  EXPECT_EQ(st.LOCATIONNAME(2), pad("Creek B"));
  EXPECT_EQ(st.LOCATIONNAME(3), "Meadow with a long name x");
  EXPECT_EQ(st.LOCATIONUTM(1, 1), 512340);
  EXPECT_EQ(st.LOCATIONUTM(1, 2), 4012200);
  EXPECT_EQ(st.LOCATIONELEV(1), 1450);
  EXPECT_EQ(st.LOCATIONUTM(2, 1), -15700);
  EXPECT_EQ(st.LOCATIONUTM(2, 2), 7);
  EXPECT_EQ(st.LOCATIONELEV(2), -3);
  EXPECT_EQ(st.NPERIODS(1), 2);
  EXPECT_EQ(st.NPERIODS(2), 0);
  EXPECT_EQ(st.NPERIODS(3), 1);
  const int start12[] = {st.PERIODSTART(1, 2, mv::kYear), st.PERIODSTART(1, 2, mv::kMonth),
                         st.PERIODSTART(1, 2, mv::kDay)};
  const int stop12[] = {st.PERIODSTOP(1, 2, mv::kYear), st.PERIODSTOP(1, 2, mv::kMonth), st.PERIODSTOP(1, 2, mv::kDay)};
  EXPECT_EQ(std::vector<int>(start12, start12 + 3), (std::vector<int>{2011, 4, 1}));
  EXPECT_EQ(std::vector<int>(stop12, stop12 + 3), (std::vector<int>{2011, 10, 31}));
  EXPECT_EQ(st.PERIODSTART(1, 1, mv::kDay), 15);
  EXPECT_EQ(st.PERIODSTOP(3, 1, mv::kYear), 2011);
  EXPECT_EQ(st.SPECIESNAME(1), pad("Black bear"));
  EXPECT_EQ(st.SPECIESNAME(2), "Puma with a name of more ");
}

TEST(InputParameters, NoPeriodsAnywhereGivesNoPeriodSlots) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Input.txt", "Short title\n1\nRidge A                   1 2 3\n0\n1\nPuma\n");
  mv::Study st;
  ConsoleRun run;
  ASSERT_EQ(readInputFile(st, dir, run), -1);
  EXPECT_EQ(st.MAXPERIODS, 0);
  EXPECT_EQ(st.PERIODSTART.size(), 0u);
  EXPECT_EQ(st.TITLE, pad("Short title", 75));
  // Columns 27-32 hold "1 2 3": blanks inside a number field are ignored.
  EXPECT_EQ(st.LOCATIONUTM(1, 1), 123);
  EXPECT_EQ(st.LOCATIONUTM(1, 2), 0);
  EXPECT_EQ(st.LOCATIONELEV(1), 0);
  EXPECT_EQ(st.SPECIESNAME(1), pad("Puma"));
}

TEST(InputParameters, MissingInputTxtWaitsAndEnds) {
  mvtest::TempDir dir;
  mv::Study st;
  ConsoleRun run("\nnot read\n");
  EXPECT_EQ(endStatus([&] { mv::READINPUTPARAMETERS(st, dir.path(), run.console); }), 1);
  // clang-format off
  EXPECT_EQ(run.lines(), (std::vector<std::string>{" Input.txt was not present",
                                                   " File Input.txt must be in the same folder as Morvelstrand",
                                                   kTerminate}));
  // clang-format on
  EXPECT_EQ(run.unread(), "not read\n");  // the wait took one line
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

namespace {

struct BadInput {
  const char* file;
  std::vector<std::string> messages;  // console lines after any "READ INPUT.TXT"
};

const char* const kLoc1 = "Ridge A                   512340 4012200  1450\n";
const std::string kLocationText =
    " (name in columns 1-25, UTM east-west in 27-32, UTM north-south in 34-40, elevation in 42-46)";
const std::string kPeriodText = " (six integers on one line: start year, month, day, stop year, month, day)";

// Creek B, the second location, with the one operating period `period`:
// the run ends with `message` on the console, and only the answer to the
// wait is read.
void expectPeriodEndsTheRun(const std::string& period, const std::string& message) {
  SCOPED_TRACE(period);
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Input.txt", std::string("Title\n2\n") + kLoc1 + "0\nCreek B\n1\n" + period + "\n0\n");
  mv::Study st;
  ConsoleRun run("\nnot read\n");
  EXPECT_EQ(readInputFile(st, dir, run), 1);
  EXPECT_EQ(run.lines(), (std::vector<std::string>{" READ INPUT.TXT", message, kTerminate}));
  EXPECT_EQ(run.unread(), "not read\n");
}

}  // namespace

TEST(InputParameters, BadCountsPeriodsAndEarlyEndsNameTheLine) {
  const std::string loc1 = kLoc1;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", " Input.txt ends before line 1: expected the study title"},
      {"Title\n", " Input.txt ends before line 2: expected the number of locations (one whole number, 0 or more)"},
      {"Title\nsix\n", " Input.txt line 2: expected the number of locations (one whole number, 0 or more)"},
      {"Title\n-1\n", " Input.txt line 2: expected the number of locations (one whole number, 0 or more)"},
      {"Title\n\n1\n", " Input.txt line 2: expected the number of locations (one whole number, 0 or more)"},
      {"Title\n2\n" + loc1 + "0\n", " Input.txt ends before line 5: expected the line of location 2" + kLocationText},
      {"Title\n1\n" + loc1 + "1.5\n",
       " Input.txt line 4: expected the number of operating periods of location 1 (one whole number, 0 or more)"},
      {"Title\n1\n" + loc1 + "2\n2010 3 15 2010 11 30\n",
       " Input.txt ends before line 6: expected operating period 2 of location 1" + kPeriodText},
      {"Title\n1\n" + loc1 + "0\nmany\n",
       " Input.txt line 5: expected the number of species (one whole number, 0 or more)"},
      {"Title\n1\n" + loc1 + "0\n",
       " Input.txt ends before line 5: expected the number of species (one whole number, 0 or more)"},
      {"Title\n1\n" + loc1 + "0\n2\nPuma\n", " Input.txt ends before line 7: expected species name 2 of 2"},
      // Found by the second pass, which reads the period and location lines.
      {"Title\n1\n" + loc1 + "1\n2010 3 15 2010 11\n0\n",
       " Input.txt line 5: expected operating period 1 of location 1" + kPeriodText},
      {"Title\n1\n" + loc1 + "1\n2010 3 15 2010 11 3O\n0\n",
       " Input.txt line 5: expected operating period 1 of location 1" + kPeriodText},
      {"Title\n1\nRidge A                   512340 4012200  14x0\n0\n0\n",
       " Input.txt line 3: expected the line of location 1" + kLocationText},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    mvtest::TempDir dir;
    mvtest::writeFile(dir / "Input.txt", text);
    mv::Study st;
    ConsoleRun run("\nnot read\n");
    EXPECT_EQ(readInputFile(st, dir, run), 1);
    std::vector<std::string> lines = run.lines();
    if (!lines.empty() && lines.front() == " READ INPUT.TXT") lines.erase(lines.begin());
    EXPECT_EQ(lines, (std::vector<std::string>{message, kTerminate}));
    EXPECT_EQ(run.unread(), "not read\n");
  }
}

TEST(InputParameters, PeriodMonthOutOfRangeNamesTheLocation) {
  for (const char* period : {"2010 13 15 2010 11 30", "2010 3 15 2010 0 30"})
    expectPeriodEndsTheRun(period, " Input.txt period month out of range for location Creek B" + std::string(18, ' '));
}

namespace {

const std::string kAsk = " Enter PERIOD in minutes for independent pictures; 60 means 60 minutes";
const std::string kBadPeriod = " PERIOD must be greater than 1 minute and less than 60*24 minutes ... TERMINATING";

// " PERIOD = " with the value right-justified in 12 columns and " minutes".
std::string periodLine(const std::string& digits) {
  return " PERIOD = " + std::string(13 - digits.size(), ' ') + digits + "  minutes";
}

}  // namespace

TEST(InputParameters, PeriodFromOneToOneDayIsAccepted) {
  for (const char* answer : {"60", "1", "1440", "  60 minutes please"}) {
    SCOPED_TRACE(answer);
    mv::Study st;
    ConsoleRun run(std::string(answer) + "\nnot read\n");
    EXPECT_EQ(endStatus([&] { mv::GETPERIOD(st, run.console); }), -1);
    const std::string digits = std::to_string(st.PERIOD);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{"", kAsk, periodLine(digits)}));
    EXPECT_EQ(run.unread(), "not read\n");
  }
}

TEST(InputParameters, PeriodValuesShownThenRefused) {
  for (const char* answer : {"0", "1441", "-5"}) {
    SCOPED_TRACE(answer);
    mv::Study st;
    ConsoleRun run(std::string(answer) + "\nnot read\n");
    EXPECT_EQ(endStatus([&] { mv::GETPERIOD(st, run.console); }), 1);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{"", kAsk, periodLine(answer), kBadPeriod}));
    EXPECT_EQ(run.unread(), "not read\n");  // no wait for Enter
  }
}

TEST(InputParameters, PeriodThatIsNoIntegerEndsAtOnce) {
  for (const char* answers : {"sixty\nnot read\n", "60.5\nnot read\n", ""}) {
    SCOPED_TRACE(answers);
    mv::Study st;
    ConsoleRun run(answers);
    EXPECT_EQ(endStatus([&] { mv::GETPERIOD(st, run.console); }), 1);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{"", kAsk, kBadPeriod}));
    EXPECT_EQ(run.unread(), *answers ? "not read\n" : "");
  }
}

TEST(InputParameters, PeriodAnswerMayFollowEmptyLines) {
  mv::Study st;
  ConsoleRun run("\n  \n90\n");
  EXPECT_EQ(endStatus([&] { mv::GETPERIOD(st, run.console); }), -1);
  EXPECT_EQ(st.PERIOD, 90);
  EXPECT_EQ(run.lines().back(), periodLine("90"));
}

TEST(InputParameters, PeriodYearOutOfRangeNamesTheLocation) {
  // Years are four-digit calendar years; anything else would make the study
  // span absurd and its tables enormous.
  for (const char* period : {"0 3 15 2010 11 30", "2010 3 15 10000 1 30", "2010 3 15 -5 1 30"})
    expectPeriodEndsTheRun(period, " Input.txt period year out of range for location Creek B" + std::string(18, ' '));
}

TEST(InputParameters, PeriodDayOutsideOneToThirtyOneEndsTheRun) {
  const std::pair<const char*, const char*> cases[] = {
      {"2010 3 15 2011 2 2147483647",
       "stop day 2147483647 of operating period 1 of location Creek B is not a day of a month (1 to 31)"},
      {"2010 3 -2000000000 2010 11 30",
       "start day -2000000000 of operating period 1 of location Creek B is not a day of a month (1 to 31)"},
      {"2012 2 29 2013 4 32",
       "stop day 32 of operating period 1 of location Creek B is not a day of a month (1 to 31)"},
      {"2100 2 29 2100 6 0", "stop day 0 of operating period 1 of location Creek B is not a day of a month (1 to 31)"},
  };
  for (const auto& [period, message] : cases)
    expectPeriodEndsTheRun(period, " Input.txt line 7: " + std::string(message));
}

TEST(InputParameters, PeriodDayBeyondItsMonthIsTakenWithAWarning) {
  // Day 1 to 31 is taken for any month and runs on into the next one, as the
  // day arithmetic counts it; leap years are those divisible by 4.
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Input.txt", std::string("Title\n2\n") + kLoc1 +
                                           "0\nCreek B\n3\n"
                                           "2017 9 31 2017 11 31\n"
                                           "2011 2 31 2012 2 31\n"
                                           "2100 2 29 2100 12 31\n"
                                           "0\n");
  mv::Study st;
  ConsoleRun run;
  ASSERT_EQ(readInputFile(st, dir, run), -1) << run.out.str();
  const std::string location = " of location Creek B is not a day of ";
  EXPECT_EQ(run.lines(),
            (std::vector<std::string>{" READ INPUT.TXT",
                                      " Warning: Input.txt line 7: start day 31 of operating period 1" + location +
                                          "9/2017 (1 to 30): "
                                          "counted as 1/10/2017",
                                      " Warning: Input.txt line 7: stop day 31 of operating period 1" + location +
                                          "11/2017 (1 to 30): "
                                          "counted as 1/12/2017",
                                      " Warning: Input.txt line 8: start day 31 of operating period 2" + location +
                                          "2/2011 (1 to 28): "
                                          "counted as 3/3/2011",
                                      " Warning: Input.txt line 8: stop day 31 of operating period 2" + location +
                                          "2/2012 (1 to 29): "
                                          "counted as 2/3/2012"}));
  // The dates are stored as written.
  EXPECT_EQ(st.PERIODSTART(2, 1, mv::kDay), 31);
  EXPECT_EQ(st.PERIODSTOP(2, 2, mv::kDay), 31);
  mv::STARTSTOPDAYS(st, run.console);
  // Day numbers from 1 January 2011: 1 October 2017 and 3 March 2011.
  EXPECT_EQ(st.PERIODSTART(2, 1, mv::kDayNumber), mv::FINDDAY(2011, 2017, 10, 1));
  EXPECT_EQ(st.PERIODSTART(2, 2, mv::kDayNumber), 31 + 28 + 3);
}

TEST(InputParameters, ManyPeriodDaysBeyondTheirMonthAreCounted) {
  std::string periods;
  for (int p = 0; p < 12; ++p) periods += "2013 4 31 2013 5 1\n";
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Input.txt", std::string("Title\n1\n") + kLoc1 + "12\n" + periods + "0\n");
  mv::Study st;
  ConsoleRun run;
  ASSERT_EQ(readInputFile(st, dir, run), -1) << run.out.str();
  const std::vector<std::string> lines = run.lines();
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[10],
            " Warning: Input.txt line 14: start day 31 of operating period 10 of location Ridge A is not a "
            "day of 4/2013 (1 to 30): counted as 1/5/2013");
  EXPECT_EQ(lines[11], " Warning: 2 more lines of Input.txt with a day its month does not have");
}

TEST(Calendar, CountedDateRunsOnIntoTheNextMonth) {
  const auto counted = [](int y, int m, int d) {
    const mv::CalendarDate c = mv::countedDate(y, m, d);
    return std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day);
  };
  EXPECT_EQ(counted(2017, 9, 30), "2017-9-30");
  EXPECT_EQ(counted(2017, 9, 31), "2017-10-1");
  EXPECT_EQ(counted(2017, 2, 31), "2017-3-3");
  EXPECT_EQ(counted(2016, 2, 31), "2016-3-2");
  EXPECT_EQ(counted(1900, 2, 29), "1900-2-29");  // every fourth year is a leap year
  EXPECT_EQ(counted(2017, 12, 31), "2017-12-31");
}
