#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "events/events.hpp"
#include "input/input.hpp"
#include "support/test_support.hpp"

namespace {

using Kinds = std::array<int, 4>;

// A study of 2010 with `groups` groups and `species` species, tables sized
// and set to their starting values; no moon days unless a test sets them.
mv::Study makeStudy(int groups, int species, int period, int firstDay = 1) {
  mv::Study st;
  st.NGROUPS = groups;
  st.NSPECIES = species;
  st.FIRSTYEAR = 2010;
  st.LASTYEAR = 2011;
  st.FIRSTDAY = firstDay;
  st.LASTDAY = 730;
  st.PERIOD = period;
  st.sizeTallies();
  return st;
}

// A picture-list line with its day, hour and minute numbers worked out from
// the date as the picture reader does (base year 2010).
mv::ListedPicture pic(int g, int s, int Y, int M, int D, int H, int N, int n) {
  mv::ListedPicture p;
  p.group = g;
  p.species = s;
  p.year = Y;
  p.month = M;
  p.day = D;
  p.hour = H;
  p.minute = N;
  p.second = 0;
  p.individuals = n;
  p.dayNumber = mv::FINDDAY(2010, Y, M, D);
  p.hourNumber = mv::FINDHOUR(2010, Y, M, D, H);
  p.minuteNumber = mv::FINDMINUTE(2010, Y, M, D, H, N);
  return p;
}

Kinds kinds(const mv::Study& st, int g, int s, int Y, int M) {
  return {st.PICCOUNT(g, s, Y, M, 1), st.PICCOUNT(g, s, Y, M, 2), st.PICCOUNT(g, s, Y, M, 3),
          st.PICCOUNT(g, s, Y, M, 4)};
}

std::array<int, 7> firstPic(const mv::Study& st, int g, int s) {
  std::array<int, 7> v{};
  for (int f = 1; f <= 7; ++f) v[static_cast<std::size_t>(f - 1)] = st.FIRSTLASTPIC(g, s, f, 1);
  return v;
}

std::array<int, 7> lastPic(const mv::Study& st, int g, int s) {
  std::array<int, 7> v{};
  for (int f = 1; f <= 7; ++f) v[static_cast<std::size_t>(f - 1)] = st.FIRSTLASTPIC(g, s, f, 2);
  return v;
}

}  // namespace

TEST(PictureLoop, FourLineExampleWithPeriod60) {
  mv::Study st = makeStudy(1, 1, 60);
  mv::PictureLoop loop(st, st);
  // 4 January 2010 is day 4: 04:00 is hour number 100, minute number 6000.
  const mv::ListedPicture lines[] = {pic(1, 1, 2010, 1, 4, 4, 0, 1), pic(1, 1, 2010, 1, 4, 4, 10, 3),
                                     pic(1, 1, 2010, 1, 4, 5, 5, 2), pic(1, 1, 2010, 1, 4, 5, 15, 2)};
  ASSERT_EQ(lines[0].hourNumber, 100);
  ASSERT_EQ(lines[0].minuteNumber, 6000);
  ASSERT_EQ(lines[2].hourNumber, 101);
  ASSERT_EQ(lines[3].minuteNumber, 6075);

  loop.add(lines[0]);  // new run: +1 activity, +1 event, 1 individual
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1), (Kinds{1, 1, 1, 1}));
  loop.add(lines[1]);  // same hour, same event, individuals rise by 2; event minute moves to 10
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1), (Kinds{2, 1, 1, 3}));
  loop.add(lines[2]);  // new hour: +1 activity; 65 < 10 + 60: same event, no rise
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1), (Kinds{3, 2, 1, 3}));
  loop.add(lines[3]);  // 75 >= 70: a new event with 2 individuals
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1), (Kinds{4, 2, 2, 5}));

  EXPECT_EQ(st.SPECIESFIRSTDAY(1), 4);
  EXPECT_EQ(firstPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 4, 0, 4, 6000}));
  EXPECT_EQ(lastPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 5, 15, 4, 6075}));
  // The two activity pictures, at 04 and 05 o'clock in January (season 1).
  EXPECT_EQ(st.ACTMONTHHOUR(1, 1, 4), 1);
  EXPECT_EQ(st.ACTMONTHHOUR(1, 1, 5), 1);
  EXPECT_EQ(st.ACTSEASONHOUR(1, 1, 4), 1);
  EXPECT_EQ(st.ACTSEASONHOUR(1, 1, 5), 1);
  int all = 0;
  for (int M = 1; M <= 12; ++M)
    for (int H = 0; H <= 23; ++H) all += st.ACTMONTHHOUR(1, M, H);
  EXPECT_EQ(all, 2);
}

TEST(PictureLoop, TwoLocationsOfOneGroupFormOneRun) {
  // The list knows only the group: a picture from the group's second location
  // right after one from its first continues the run, even when earlier.
  mv::Study st = makeStudy(1, 1, 60);
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 1, 2010, 3, 10, 10, 30, 1));
  loop.add(pic(1, 1, 2010, 3, 10, 10, 0, 2));  // earlier: same event, one more individual
  EXPECT_EQ(kinds(st, 1, 1, 2010, 3), (Kinds{2, 1, 1, 2}));
  // The event minute moved back to 10:00, so 11:00 opens a new event ...
  loop.add(pic(1, 1, 2010, 3, 10, 11, 0, 1));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 3), (Kinds{3, 2, 2, 3}));
  // ... and 11:59 belongs to that new event.
  loop.add(pic(1, 1, 2010, 3, 10, 11, 59, 1));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 3), (Kinds{4, 2, 2, 3}));
  // First and last by minute number, whatever the order read.
  EXPECT_EQ(firstPic(st, 1, 1)[4], 0);
  EXPECT_EQ(firstPic(st, 1, 1)[3], 10);
  EXPECT_EQ(lastPic(st, 1, 1)[3], 11);
  EXPECT_EQ(lastPic(st, 1, 1)[4], 59);
}

TEST(PictureLoop, AnotherSpeciesOrGroupBetweenStartsANewRun) {
  mv::Study st = makeStudy(2, 2, 60);
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 1, 2010, 5, 1, 10, 0, 2));
  loop.add(pic(1, 2, 2010, 5, 1, 10, 0, 4));
  loop.add(pic(1, 1, 2010, 5, 1, 10, 1, 1));  // one minute later, but a new run
  EXPECT_EQ(kinds(st, 1, 1, 2010, 5), (Kinds{2, 2, 2, 3}));
  EXPECT_EQ(kinds(st, 1, 2, 2010, 5), (Kinds{1, 1, 1, 4}));
  EXPECT_EQ(st.ACTMONTHHOUR(1, 5, 10), 2);   // both runs' first pictures
  EXPECT_EQ(st.ACTSEASONHOUR(1, 2, 10), 2);  // May: season 2
  EXPECT_EQ(st.ACTMONTHHOUR(2, 5, 10), 1);

  loop.add(pic(2, 1, 2010, 5, 1, 10, 2, 1));  // the same species at another group
  loop.add(pic(1, 1, 2010, 5, 1, 10, 3, 5));
  EXPECT_EQ(kinds(st, 2, 1, 2010, 5), (Kinds{1, 1, 1, 1}));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 5), (Kinds{3, 3, 3, 8}));
  EXPECT_EQ(st.ACTMONTHHOUR(1, 5, 10), 4);
}

TEST(PictureLoop, LinesOutOfTimeOrder) {
  mv::Study st = makeStudy(1, 1, 60);
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 1, 2010, 6, 2, 5, 0, 1));
  loop.add(pic(1, 1, 2010, 6, 2, 4, 30, 1));  // smaller hour number: no activity picture
  loop.add(pic(1, 1, 2010, 6, 2, 5, 40, 1));  // the hour of the last activity picture: none either
  EXPECT_EQ(kinds(st, 1, 1, 2010, 6), (Kinds{3, 1, 1, 1}));
  loop.add(pic(1, 1, 2010, 6, 2, 6, 10, 1));  // a later hour, 70 minutes after 05:00
  EXPECT_EQ(kinds(st, 1, 1, 2010, 6), (Kinds{4, 2, 2, 2}));
  EXPECT_EQ(st.ACTMONTHHOUR(1, 6, 5), 1);
  EXPECT_EQ(st.ACTMONTHHOUR(1, 6, 4), 0);
  EXPECT_EQ(st.ACTMONTHHOUR(1, 6, 6), 1);
  EXPECT_EQ(st.ACTSEASONHOUR(1, 3, 6), 1);
  EXPECT_EQ(firstPic(st, 1, 1)[3], 4);
  EXPECT_EQ(firstPic(st, 1, 1)[4], 30);
}

TEST(PictureLoop, TalliesGoToTheMonthOfTheLineThatCausesThem) {
  // One event from 31 January 23:50 to 1 February 00:20.
  mv::Study st = makeStudy(1, 1, 60);
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 1, 2010, 1, 31, 23, 50, 1));
  loop.add(pic(1, 1, 2010, 2, 1, 0, 20, 3));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1), (Kinds{1, 1, 1, 1}));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 2), (Kinds{1, 1, 0, 2}));
  // And across a year: 31 December 2010 to 1 January 2011, 30 minutes apart.
  loop.add(pic(1, 1, 2010, 12, 31, 23, 50, 2));  // 2010-12-31 is a new event (far later)
  loop.add(pic(1, 1, 2011, 1, 1, 0, 20, 2));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 12), (Kinds{1, 1, 1, 2}));
  EXPECT_EQ(kinds(st, 1, 1, 2011, 1), (Kinds{1, 1, 0, 0}));
}

TEST(PictureLoop, EventMinuteStaysUnlessIndividualsRise) {
  // Pictures every 40 minutes with the same count: the event minute stays at
  // the first, so the third picture (80 minutes on) opens a new event.
  mv::Study st = makeStudy(1, 1, 60);
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 1, 2010, 7, 1, 12, 0, 2));
  loop.add(pic(1, 1, 2010, 7, 1, 12, 40, 2));
  loop.add(pic(1, 1, 2010, 7, 1, 13, 20, 1));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 7), (Kinds{3, 2, 2, 3}));
  // 59 minutes after that event's minute: same event; 60: a new one.
  loop.add(pic(1, 1, 2010, 7, 1, 14, 19, 1));
  EXPECT_EQ(kinds(st, 1, 1, 2010, 7), (Kinds{4, 3, 2, 3}));
  loop.add(pic(1, 1, 2010, 7, 1, 14, 20, 0));  // 0 individuals still opens an event
  EXPECT_EQ(kinds(st, 1, 1, 2010, 7), (Kinds{5, 3, 3, 3}));
}

TEST(PictureLoop, SpeciesFirstDay) {
  // The study starts on 15 March 2010 (day 74).
  mv::Study st = makeStudy(1, 3, 60, 74);
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 2, 2010, 4, 1, 8, 0, 1));   // day 91: study day 18
  loop.add(pic(1, 1, 2010, 3, 15, 8, 0, 1));  // the first study day
  loop.add(pic(1, 2, 2010, 3, 20, 8, 0, 1));  // day 79: study day 6
  loop.add(pic(1, 2, 2010, 5, 1, 8, 0, 1));
  EXPECT_EQ(st.SPECIESFIRSTDAY(1), 1);
  EXPECT_EQ(st.SPECIESFIRSTDAY(2), 6);
  EXPECT_EQ(st.SPECIESFIRSTDAY(3), 999999);  // never listed
  EXPECT_EQ(firstPic(st, 1, 3)[6], 9999999);
  EXPECT_EQ(lastPic(st, 1, 3)[6], 0);
}

TEST(PictureLoop, MoonActivity) {
  mv::Study st = makeStudy(1, 1, 60);
  st.LASTYEAR = 2010;
  st.sizeTallies();
  mv::MOONPHASES(st, st);  // 2010: full moon 29 January (day 29), new moon 15 January (day 15)
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 1, 2010, 1, 3, 20, 0, 1));   // day 3: no phase within 5 days
  loop.add(pic(1, 1, 2010, 1, 10, 21, 0, 1));  // day 10 = 15 - 5: new moon
  loop.add(pic(1, 1, 2010, 1, 24, 22, 0, 1));  // day 24 = 29 - 5: full moon
  loop.add(pic(1, 1, 2010, 2, 3, 23, 0, 1));   // day 34 = 29 + 5: full moon
  loop.add(pic(1, 1, 2010, 2, 4, 23, 0, 1));   // day 35: later hour number, nothing near
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1)[1], 3);
  EXPECT_EQ(kinds(st, 1, 1, 2010, 2)[1], 2);
  EXPECT_EQ(st.ACTMOONHOUR(1, 2, 21), 1);
  EXPECT_EQ(st.ACTMOONHOUR(1, 1, 22), 1);
  EXPECT_EQ(st.ACTMOONHOUR(1, 1, 23), 1);
  int moon = 0;
  for (int phase = 1; phase <= 2; ++phase)
    for (int H = 0; H <= 23; ++H) moon += st.ACTMOONHOUR(1, phase, H);
  EXPECT_EQ(moon, 3);
}

TEST(PictureLoop, ComputedFullMoonOf25January2024) {
  // A study of 2010 to 2024: the calendar's moons up to 2016, computed ones
  // after. Full moon 25 January 2024 17:54 UTC, new moon 11 January 11:57.
  mv::Study st = makeStudy(1, 1, 60);
  st.LASTYEAR = 2024;
  st.sizeTallies();
  mv::MOONPHASES(st, st);
  mv::PictureLoop loop(st, st);
  loop.add(pic(1, 1, 2024, 1, 19, 4, 0, 1));  // 8 days after the new moon, 6 before the full
  loop.add(pic(1, 1, 2024, 1, 25, 3, 0, 1));
  EXPECT_EQ(st.ACTMOONHOUR(1, 1, 3), 1);
  EXPECT_EQ(st.ACTMOONHOUR(1, 2, 3), 0);
  EXPECT_EQ(st.ACTMOONHOUR(1, 1, 4) + st.ACTMOONHOUR(1, 2, 4), 0);
}

TEST(FirstLast, EqualMinuteNumbersKeepTheFirstRead) {
  mv::Study st = makeStudy(1, 1, 60);
  mv::FIRSTLAST(st.FIRSTLASTPIC, 1, 1, 2010, 1, 4, 4, 0, 4, 6000);  // sets both columns
  EXPECT_EQ(firstPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 4, 0, 4, 6000}));
  EXPECT_EQ(lastPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 4, 0, 4, 6000}));
  // Another picture of the same minute number (its other fields marked apart)
  // replaces neither.
  mv::FIRSTLAST(st.FIRSTLASTPIC, 1, 1, 2011, 2, 5, 5, 1, 5, 6000);
  EXPECT_EQ(firstPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 4, 0, 4, 6000}));
  EXPECT_EQ(lastPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 4, 0, 4, 6000}));
  mv::FIRSTLAST(st.FIRSTLASTPIC, 1, 1, 2010, 1, 4, 4, 1, 4, 6001);
  EXPECT_EQ(firstPic(st, 1, 1)[6], 6000);
  EXPECT_EQ(lastPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 4, 1, 4, 6001}));
}

TEST(UpdateActivity, SeasonsAndMoon) {
  mv::Study st = makeStudy(1, 2, 60);
  st.MOONDAYS(1, 3) = 40;
  st.MOONDAYS(2, 1) = 32;
  const mv::MoonWindows moon(st.MOONDAYS);
  // One picture per month at hour = month, on day 36 (near both phases).
  for (int M = 1; M <= 12; ++M)
    mv::UPDATEACTIVITY(2, moon, M, M, 36, st.ACTMONTHHOUR, st.ACTSEASONHOUR, st.ACTMOONHOUR);
  const int season[13] = {0, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 1};
  for (int M = 1; M <= 12; ++M) {
    EXPECT_EQ(st.ACTMONTHHOUR(2, M, M), 1);
    EXPECT_EQ(st.ACTSEASONHOUR(2, season[M], M), 1) << "month " << M;
    EXPECT_EQ(st.ACTMOONHOUR(2, 1, M), 1);  // the full moon only
    EXPECT_EQ(st.ACTMOONHOUR(2, 2, M), 0);
  }
  mv::UPDATEACTIVITY(2, moon, 0, 12, 3, st.ACTMONTHHOUR, st.ACTSEASONHOUR, st.ACTMOONHOUR);
  EXPECT_EQ(st.ACTSEASONHOUR(2, 1, 0), 1);
  EXPECT_EQ(st.ACTMOONHOUR(2, 1, 0) + st.ACTMOONHOUR(2, 2, 0), 0);  // day 3: neither
  mv::UPDATEACTIVITY(2, moon, 0, 12, 27, st.ACTMONTHHOUR, st.ACTSEASONHOUR, st.ACTMOONHOUR);
  EXPECT_EQ(st.ACTMOONHOUR(2, 2, 0), 1);                              // 32 - 5
  EXPECT_EQ(st.ACTMOONHOUR(1, 1, 0) + st.ACTMONTHHOUR(1, 12, 0), 0);  // species 1 untouched
}

TEST(PictureListLine, FixedColumns) {
  // The layout of the list, checked against a line written by hand, and the
  // record's own reading and writing of it.
  const std::string line = "  3  12 2010 11  4 23 59  7 99    1403   33695 2021759";
  ASSERT_EQ(mvtest::lines("(2(i3,1x),i4,6(1x,i2),3(1x,i7))", 3, 12, 2010, 11, 4, 23, 59, 7, 99, 1403, 33695, 2021759),
            std::vector<std::string>{line});
  mv::ListedPicture p;
  ASSERT_TRUE(mv::parseListedPicture(line, p));
  EXPECT_EQ(p.group, 3);
  EXPECT_EQ(p.species, 12);
  EXPECT_EQ(p.year, 2010);
  EXPECT_EQ(p.month, 11);
  EXPECT_EQ(p.day, 4);
  EXPECT_EQ(p.hour, 23);
  EXPECT_EQ(p.minute, 59);
  EXPECT_EQ(p.second, 7);
  EXPECT_EQ(p.individuals, 99);
  EXPECT_EQ(p.dayNumber, 1403);
  EXPECT_EQ(p.hourNumber, 33695);
  EXPECT_EQ(p.minuteNumber, 2021759);
  // Written back, the record gives the same line.
  std::string written;
  mv::formatListedPicture(p, written);
  EXPECT_EQ(written, line);

  // Blank fields read 0, a short line reads as if padded with blanks, and
  // characters after column 54 are ignored.
  ASSERT_TRUE(mv::parseListedPicture("  1   2 2010  1  1  0  0  0  0       1", p));
  EXPECT_EQ(p.dayNumber, 1);
  EXPECT_EQ(p.hourNumber, 0);
  EXPECT_EQ(p.minuteNumber, 0);
  ASSERT_TRUE(mv::parseListedPicture("  1   1 2010  1  1  0  0  0  0       1      24    1440xyz", p));
  EXPECT_EQ(p.minuteNumber, 1440);
  EXPECT_FALSE(mv::parseListedPicture("  1   x 2010  1  1  0  0  0  0       1      24    1440", p));
}

TEST(ReadPictureList, TalliesFromTheFile) {
  mvtest::TempDir dir;
  // Group 1 species 1: the four-line example (4 January 2010, PERIOD 60);
  // then group 2 species 2 on 15 January (new moon, day 15) at 18:20.
  mvtest::writeFile(dir / "FinalPicsList.txt",
                    mvtest::crlf("  1   1 2010  1  4  4  0  0  1       4     100    6000\n"
                                 "  1   1 2010  1  4  4 10 30  3       4     100    6010\n"
                                 "  1   1 2010  1  4  5  5  0  2       4     101    6065\n"
                                 "  1   1 2010  1  4  5 15  0  2       4     101    6075\n"
                                 "  2   2 2010  1 15 18 20  0  0      15     378   22700\n"));
  mv::Study st = makeStudy(2, 2, 60);
  st.LASTYEAR = 2010;
  st.sizeTallies();
  mv::MOONPHASES(st, st);
  mv::READPICTURELIST(st, st, dir.path());
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1), (Kinds{4, 2, 2, 5}));
  EXPECT_EQ(kinds(st, 2, 2, 2010, 1), (Kinds{1, 1, 1, 0}));
  EXPECT_EQ(kinds(st, 1, 2, 2010, 1), (Kinds{0, 0, 0, 0}));
  EXPECT_EQ(st.SPECIESFIRSTDAY(1), 4);
  EXPECT_EQ(st.SPECIESFIRSTDAY(2), 15);
  EXPECT_EQ(firstPic(st, 2, 2), (std::array<int, 7>{2010, 1, 15, 18, 20, 15, 22700}));
  EXPECT_EQ(lastPic(st, 1, 1), (std::array<int, 7>{2010, 1, 4, 5, 15, 4, 6075}));
  EXPECT_EQ(st.ACTMONTHHOUR(1, 1, 4) + st.ACTMONTHHOUR(1, 1, 5), 2);
  EXPECT_EQ(st.ACTMOONHOUR(2, 2, 18), 1);
  EXPECT_EQ(st.ACTMOONHOUR(1, 1, 4) + st.ACTMOONHOUR(1, 2, 4), 0);
  // The file stays where it is.
  EXPECT_TRUE(std::filesystem::exists(dir / "FinalPicsList.txt"));
}

TEST(ReadPictureList, AListThatCannotBeReadEndsTheRun) {
  // Silently empty tallies would make a report of a study without pictures.
  mvtest::TempDir dir;
  mv::Study st = makeStudy(1, 1, 60);
  try {
    mv::READPICTURELIST(st, st, dir.path());
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot read FinalPicsList.txt: ", 0), 0u) << e.what();
  }
  EXPECT_EQ(kinds(st, 1, 1, 2010, 1), (Kinds{0, 0, 0, 0}));
}

TEST(ReadPictureList, NoLinesLeavesTheTallies) {
  mvtest::TempDir dir;
  mv::Study st = makeStudy(1, 1, 60);
  mvtest::writeFile(dir / "FinalPicsList.txt", "");
  mv::READPICTURELIST(st, st, dir.path());
  EXPECT_EQ(st.SPECIESFIRSTDAY(1), 999999);
  EXPECT_EQ(firstPic(st, 1, 1)[6], 9999999);
}
