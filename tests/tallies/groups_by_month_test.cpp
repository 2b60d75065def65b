#include <string>
#include <vector>

#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"
#include "tallies/tallies.hpp"

using namespace sectiontest;

namespace {

constexpr int kInd = mv::kIndependentPictures;

const std::string kMonths = "Jan   Feb   Mar   Apr   May   Jun   Jul   Aug   Sep   Oct   Nov   Dec   Total";

}  // namespace

TEST(GroupsByMonth, ThreeYearsWithSummary) {
  mv::Study st = makeStudy({"East", "West"}, {"Ocelot", "Tapir"}, 2013, 2015);
  st.GROUPTRAPDAYS(1, 2013, 3) = 31;
  st.GROUPTRAPDAYS(1, 2013, 4) = 30;
  st.GROUPTRAPDAYS(2, 2013, 3) = 31;  // West photographed nothing in 2013
  // No camera operated in 2014.
  st.GROUPTRAPDAYS(1, 2015, 3) = 10;
  st.GROUPTRAPDAYS(2, 2015, 3) = 20;
  st.GROUPTRAPDAYS(2, 2015, 4) = 5;
  st.PICCOUNT(1, 1, 2013, 3, kInd) = 2;
  st.PICCOUNT(1, 2, 2013, 3, kInd) = 1;
  st.PICCOUNT(1, 1, 2013, 4, kInd) = 1;
  st.PICCOUNT(1, 2, 2014, 6, kInd) = 1;
  st.PICCOUNT(1, 1, 2015, 3, kInd) = 5;
  st.PICCOUNT(2, 1, 2015, 3, kInd) = 1;
  st.PICCOUNT(2, 2, 2015, 4, kInd) = 2;
  st.PICCOUNT(2, 2, 2015, 4, mv::kIndividuals) = 7;  // not read

  const std::string zero5 = "    0 ";
  const std::string zeroRate = " 0.00 ";
  std::vector<std::string> console;
  // clang-format off
  const std::vector<std::string> expected = {
      "PICTURES FOR EACH GROUP BY MONTH AND YEAR ",
      "  Number of independent pictures per group",
      "2013",
      "Location" + blanks(21) + kMonths,
      name25("East") + "  " + fields(5, {"0", "0", "3", "1"}, " ") + times(8, zero5) + "  " + "    4",
      "Total pictures" + blanks(13) + fields(5, {"0", "0", "3", "1"}, " ") + times(8, zero5) + "  " + "    4",
      // West's days count although it has no line.
      "Total days" + blanks(17) + fields(5, {"0", "0", "62", "30"}, " ") + times(8, zero5) + "  " + "   92",
      // 3/62 = 0.048, 1/30 = 0.033, 4/92 = 0.043
      "Pictures/day" + blanks(15) + " 0.00  0.00  0.05  0.03 " + times(8, zeroRate) + "  " + " 0.04",
      "",
      "2014",
      "Location" + blanks(21) + kMonths,
      name25("East") + "  " + times(5, zero5) + "    1 " + times(6, zero5) + "  " + "    1",
      "Total pictures" + blanks(13) + times(5, zero5) + "    1 " + times(6, zero5) + "  " + "    1",
      "Total days" + blanks(17) + times(12, zero5) + "  " + "    0",
      // No camera trap days in the whole year: the year value is 0.00 too.
      "Pictures/day" + blanks(15) + times(12, zeroRate) + "  " + " 0.00",
      "",
      "2015",
      "Location" + blanks(21) + kMonths,
      name25("East") + "  " + fields(5, {"0", "0", "5", "0"}, " ") + times(8, zero5) + "  " + "    5",
      name25("West") + "  " + fields(5, {"0", "0", "1", "2"}, " ") + times(8, zero5) + "  " + "    3",
      "Total pictures" + blanks(13) + fields(5, {"0", "0", "6", "2"}, " ") + times(8, zero5) + "  " + "    8",
      "Total days" + blanks(17) + fields(5, {"0", "0", "30", "5"}, " ") + times(8, zero5) + "  " + "   35",
      // 6/30 = 0.20, 2/5 = 0.40, 8/35 = 0.229
      "Pictures/day" + blanks(15) + " 0.00  0.00  0.20  0.40 " + times(8, zeroRate) + "  " + " 0.23",
      "",
      "PICTURES FOR EACH GROUP BY MONTH AND YEAR SUMMARY",
      "  One record of each species per location per PERIOD",
      "2013 to 2015",
      "Group" + blanks(24) + kMonths,
      name25("East") + "  " + fields(5, {"0", "0", "8", "1", "0", "1"}, " ") + times(6, zero5) + " " + "    10",
      name25("West") + "  " + fields(5, {"0", "0", "1", "2"}, " ") + times(8, zero5) + " " + "     3",
      "Total pictures" + blanks(13) + fields(5, {"0", "0", "9", "3", "0", "1"}, " ") + times(6, zero5) + " " +
          "    13",
      "Total days" + blanks(17) + fields(5, {"0", "0", "92", "35"}, " ") + times(8, zero5) + "  " + "  127",
      // 9/92 = 0.098, 3/35 = 0.086, June without days 0.00, 13/127 = 0.102
      "Pictures/day" + blanks(15) + " 0.00  0.00  0.10  0.09 " + times(8, zeroRate) + "  " + " 0.10",
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::GROUPSBYMONTH, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" PICTURES FOR EACH GROUP BY MONTH AND YEAR"});
}

TEST(GroupsByMonth, SingleYearWritesNoSummary) {
  mv::Study st = makeStudy({"East", "West"}, {"Ocelot"}, 2015, 2015);
  st.GROUPTRAPDAYS(1, 2015, 12) = 4;
  st.PICCOUNT(1, 1, 2015, 12, kInd) = 1;
  const std::string zero5 = "    0 ";
  // clang-format off
  const std::vector<std::string> expected = {
      "PICTURES FOR EACH GROUP BY MONTH AND YEAR ",
      "  Number of independent pictures per group",
      "2015",
      "Location" + blanks(21) + kMonths,
      name25("East") + "  " + times(11, zero5) + "    1 " + "  " + "    1",
      "Total pictures" + blanks(13) + times(11, zero5) + "    1 " + "  " + "    1",
      "Total days" + blanks(17) + times(11, zero5) + "    4 " + "  " + "    4",
      "Pictures/day" + blanks(15) + times(11, " 0.00 ") + " 0.25 " + "  " + " 0.25",
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::GROUPSBYMONTH, st), expected);
}
