#include "input/picture_checker.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string pad(const std::string& text) { return mv::padded(text, 25); }

// Years 2010 and 2011, cameras from day 74 to day 669 everywhere. Group
// North (1) holds Ridge A; Orphan has no group. Species Puma (1).
mv::Study checkedStudy() {
  mv::Study st;
  st.NLOCATIONS = 2;
  st.NSPECIES = 1;
  st.MAXPERIODS = 1;
  st.sizeLocationTables();
  for (int l = 1; l <= 2; ++l) {
    st.NPERIODS(l) = 1;
    st.PERIODSTART(l, 1, mv::kDayNumber) = 74;
    st.PERIODSTOP(l, 1, mv::kDayNumber) = 669;
  }
  st.LOCATIONNAME(1) = pad("Ridge A");
  st.LOCATIONNAME(2) = pad("Orphan");
  st.SPECIESNAME(1) = pad("Puma");
  st.FIRSTYEAR = 2010;
  st.LASTYEAR = 2011;
  st.FIRSTDAY = 74;
  st.LASTDAY = 669;
  st.NMAPLINES = 1;
  st.sizeMapTables();
  st.LOCATIONGROUP(1) = pad("North");
  st.LOCATIONGROUP(2) = pad("Nowhere");
  st.NGROUPS = 1;
  st.sizeGroupTables();
  st.GROUPNAME(1) = pad("North");
  return st;
}

std::string picture(const std::string& location, const std::string& species, const std::string& numbers) {
  return pad(location) + " " + pad(species) + " " + numbers;
}

}  // namespace

TEST(PictureChecker, RejectedLinesGiveTheirLineTheTrimmedReasonAndTheLineAsRead) {
  const mv::Study st = checkedStudy();
  mv::PictureChecker checker(st);
  mv::CheckedLines out;
  out.keepRejected = true;
  const std::string wolf = picture("Ridge A", "Wolf", "2010  7 12  3 15  0  1");
  const std::string orphan = picture("Orphan", "Puma", "2010  7 12  3 15  0  1");
  const std::string day = picture("Ridge A", "Puma", "2010  7 32  3 15  0  1");
  const std::string letter = picture("Ridge A", "Puma", "2O10  7 12  3 15  0  1");
  checker.check(wolf + "\r\n" + orphan + "\r\r\n" + day + "\r" + letter, out);
  EXPECT_EQ(out.lines, 4);
  EXPECT_EQ(out.processed, 4);
  EXPECT_EQ(out.rejected, 4);
  EXPECT_EQ(out.used, 0);
  ASSERT_EQ(out.rejectedLines.size(), 4u);
  EXPECT_EQ(out.rejectedLines[0].line, 1);
  EXPECT_EQ(out.rejectedLines[0].reason, "Species not found or not included: Wolf");
  EXPECT_EQ(out.rejectedLines[0].text, wolf);
  EXPECT_EQ(out.rejectedLines[1].reason, "Site not found or not included: Orphan");
  EXPECT_EQ(out.rejectedLines[2].reason, "Day out of range: 32");
  EXPECT_EQ(out.rejectedLines[3].line, 4);
  EXPECT_EQ(out.rejectedLines[3].reason, "Unreadable number in picture line");
  EXPECT_EQ(out.rejects.substr(0, 62), "Species not found or not included: " + pad("Wolf") + "\r\n");
  EXPECT_TRUE(out.list.empty());
}

TEST(PictureChecker, AcceptedLinesAreListedAndKeptAsAsked) {
  const mv::Study st = checkedStudy();
  mv::PictureChecker checker(st);
  mv::CheckedLines out;
  out.keepAccepted = true;
  // 12 July 2010 is day 193; 14 March 2010 (day 73) is before the cameras.
  checker.check(picture("Ridge A", "Puma", "2010  7 12  3 15  0  1") + "\n" +
                    picture("Ridge A", "Puma", "2010  3 14  0  0  0  1") + "\n",
                out);
  EXPECT_EQ(out.list, "  1   1 2010  7 12  3 15  0  1     193    4635  278115\r\n");
  ASSERT_EQ(out.accepted.size(), 1u);
  EXPECT_EQ(out.accepted[0].minuteNumber, 278115);
  EXPECT_EQ(out.used, 2);  // the dropped picture stays counted as used
  EXPECT_EQ(out.outside, 1);
  EXPECT_EQ(out.untallied, 1);
  EXPECT_TRUE(out.rejects.empty());

  // A second run starts its results afresh and keeps the settings.
  out.keepList = false;
  checker.check(picture("Ridge A", "Puma", "2011  1  1  0  0  0  2"), out);
  EXPECT_TRUE(out.list.empty());
  ASSERT_EQ(out.accepted.size(), 1u);
  EXPECT_EQ(out.accepted[0].individuals, 2);
  EXPECT_EQ(out.lines, 1);
  EXPECT_EQ(out.used, 1);
  EXPECT_EQ(out.outside, 0);
}

TEST(PictureChecker, TooLongLineOrMinuteEndsTheRunWhereItIs) {
  mv::Study st = checkedStudy();
  mv::PictureChecker checker(st);
  mv::CheckedLines out;
  const std::string good = picture("Ridge A", "Puma", "2010  7 12  3 15  0  1");
  checker.check(good + "\n" + std::string(mv::kMaxLineBytes + 1, 'x') + "\n" + good + "\n", out);
  EXPECT_EQ(out.tooLongLine, 2);
  EXPECT_EQ(out.tooLargeLine, 0);
  EXPECT_EQ(out.processed, 1);
  EXPECT_EQ(out.list.size(), mv::kListedPictureLength + 2);

  // 5 January 2029 is day 6945 counted from 2010, the first whose minute
  // numbers need eight columns.
  st.LASTYEAR = 2030;
  st.LASTDAY = 8000;
  st.PERIODSTOP(1, 1, mv::kDayNumber) = 8000;
  mv::PictureChecker later(st);
  later.check(good + "\n" + picture("Ridge A", "Puma", "2029  1  5  0  0  0  1") + "\n" + good, out);
  EXPECT_EQ(out.tooLongLine, 0);
  EXPECT_EQ(out.tooLargeLine, 2);
  EXPECT_EQ(out.tooLargeMinute, std::int64_t{6945} * 1440);
  EXPECT_EQ(out.used, 2);
  EXPECT_EQ(out.list.size(), mv::kListedPictureLength + 2);
}

TEST(PictureChecker, LookupsAnswerAsTheLinearOnesAndRememberTheLastName) {
  const mv::Study st = checkedStudy();
  mv::NameLookup species = mv::speciesLookup(st);
  mv::NameLookup sites = mv::siteLookup(st);
  for (const char* name : {"Puma", "Wolf", "Puma", "Ridge A", "Orphan", "Ridge A", "North"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(species.find(pad(name)), mv::GETSPECIESID(st, pad(name)));
    EXPECT_EQ(sites.find(pad(name)), mv::GETSITEID(st, pad(name)));
  }
  mv::DayNumbers days(2010);
  EXPECT_EQ(days.find(2010, 7, 12), mv::FINDDAY(2010, 2010, 7, 12));
  EXPECT_EQ(days.find(2010, 7, 31), 212);
  EXPECT_EQ(days.find(2011, 2, 29), mv::FINDDAY(2010, 2011, 2, 29));
}
