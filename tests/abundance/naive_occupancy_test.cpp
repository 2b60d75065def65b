#include <string>
#include <vector>

#include "abundance/abundance.hpp"
#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"

using namespace sectiontest;

namespace {

std::vector<std::string> head(const char* groups) {
  return {
      "NAIVE OCCUPANCY",
      "  Species naive group occupancy proportion",
      "   To create occupancy matrix run program Dastrowelquine",
      blanks(30) + "Proportion of groups" + blanks(6) + "Number of groups",
      // clang-format off
      "Species" + blanks(30) + "Occupied" + blanks(13) + "Occupied" + " " + "(" + rj(groups, 3) + ")",
  };
  // clang-format on
}

// "(a25,13x,f6.3,18x,i3)"
std::string row(const char* name, const char* proportion, const char* count) {
  return name25(name) + blanks(13) + rj(proportion, 6) + blanks(18) + rj(count, 3);
}

// Marks a picture (kind 1) of the species at the group.
void photographed(mv::Study& st, int g, int s) { st.PICCOUNT(g, s, st.LASTYEAR, 6, mv::kAllPictures) = 1; }

}  // namespace

TEST(NaiveOccupancy, CountsTwoThreeThreeGiveOrderBCA) {
  mv::Study st = makeStudy({"East", "North", "West"}, {"A", "B", "C"}, 2014, 2015);
  photographed(st, 1, 1);
  photographed(st, 3, 1);
  for (int g = 1; g <= 3; ++g) {
    photographed(st, g, 2);
    photographed(st, g, 3);
  }
  st.PICCOUNT(2, 1, 2014, 1, mv::kIndependentPictures) = 5;  // other kinds do not occupy
  std::vector<std::string> expected = head("3");
  expected.push_back(row("B", "1.000", "3"));
  expected.push_back(row("C", "1.000", "3"));
  expected.push_back(row("A", "0.667", "2"));
  expected.push_back("");
  std::vector<std::string> console;
  EXPECT_EQ(mvtest::runSection(mv::NAIVEOCCUPANCY, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" NAIVE OCCUPANCY"});
}

TEST(NaiveOccupancy, CountsOneOneTwoGiveOrderCBAAndUnseenLast) {
  mv::Study st = makeStudy({"East", "North", "West", "Zenith"}, {"A", "B", "C", "D"}, 2015, 2015);
  photographed(st, 2, 1);
  photographed(st, 4, 2);
  photographed(st, 1, 3);
  photographed(st, 3, 3);
  std::vector<std::string> expected = head("4");
  expected.push_back(row("C", "0.500", "2"));
  expected.push_back(row("B", "0.250", "1"));
  expected.push_back(row("A", "0.250", "1"));
  expected.push_back(row("D", "0.000", "0"));
  expected.push_back("");
  EXPECT_EQ(mvtest::runSection(mv::NAIVEOCCUPANCY, st), expected);
}
