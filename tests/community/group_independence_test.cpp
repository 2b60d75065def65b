#include <string>
#include <vector>

#include "community/community.hpp"
#include "community/community_study.hpp"
#include "support/test_support.hpp"

using mvtest::CommunityStudy;
using mvtest::numbered;

namespace {

const std::vector<std::string> kTitle = {
    "CHI-SQUARE ANALYSIS OF PAIRED GROUPS SPECIES FREQUENCIES",
    "H0: Species frequencies are independent of site",
    "Reject null hypothesis = R, Accept null hypothesis = -",
};

// Mark cells: 3 blanks, the mark, 3 blanks (the last cell's trailing blanks
// are not written).
// clang-format off
const std::string kEmpty = "       ";
// clang-format on
const std::string kR = "   R   ";
const std::string kA = "   -   ";
const std::string kLastR = "   R";
const std::string kLastA = "   -";

// The whole section for the groups North and South, their pair marked
// `mark` (kLastR or kLastA).
std::vector<std::string> northSouth(const std::string& mark) {
  std::vector<std::string> lines = kTitle;
  lines.insert(lines.end(),
               {"Groups                    North  South ", "North                     " + kEmpty + mark, ""});
  return lines;
}

// Groups 1..n where odd groups photograph only species 1 and even groups
// only species 2: pairs of unlike parity are rejected (X = 20), alike
// parity accepted (X = 0).
CommunityStudy alternating(int n) {
  CommunityStudy cs(numbered("Group", n), {"Agouti", "Brocket deer"});
  for (int g = 1; g <= n; ++g) cs.pics(g, g % 2 == 1 ? 1 : 2, 10);
  return cs;
}

}  // namespace

// 3 species (df 2, c = 5.991): 10 and 0 pictures against 0 and 10 give
// X = 5 + 5 + 5 + 5 = 20, rejected; species 3, absent from both, adds nothing.
TEST(GroupIndependence, TwentyIsRejectedWithThreeSpecies) {
  CommunityStudy cs({"North", "South"}, {"Agouti", "Brocket deer", "Coati"});
  cs.pics(1, 1, 4, 2010, 2);
  cs.pics(1, 1, 6, 2010, 11);
  cs.pics(2, 2, 10, 2010, 5);
  std::vector<std::string> console;
  const auto lines = mvtest::runSection(mv::GROUPINDEPENDENCE, cs.st, &console);
  EXPECT_EQ(lines, northSouth(kLastR));
  EXPECT_EQ(console, std::vector<std::string>{" CHI-SQUARE ANALYSIS OF PAIRED GROUPS SPECIES FREQUENCIES"});
}

// Equal counts give X = 0: accepted. Two groups without pictures (T = 0)
// add nothing either.
TEST(GroupIndependence, SameCountsAndEmptyGroupsAreAccepted) {
  CommunityStudy cs({"Alder", "Birch", "Cedar", "Dogwood"}, {"Agouti", "Brocket deer", "Coati"});
  cs.pics(1, 1, 3);
  cs.pics(1, 2, 7);
  cs.pics(2, 1, 3);
  cs.pics(2, 2, 7);
  const auto lines = mvtest::runSection(mv::GROUPINDEPENDENCE, cs.st);
  std::vector<std::string> expected = kTitle;
  // clang-format off
  expected.insert(expected.end(), {
                                      "Groups                    Alder  Birch  Cedar  Dogwoo",
                                      "Alder                     " + kEmpty + kA + kA + kLastA,
                                      "Birch                     " + kEmpty + kEmpty + kA + kLastA,
                                      "Cedar                     " + kEmpty + kEmpty + kEmpty + kLastA,
                                      "",
                                  });
  // clang-format on
  EXPECT_EQ(lines, expected);
}

// With one species the test has no meaning (0 degrees of freedom): every
// pair is accepted, even groups with very different totals; with no species
// likewise.
TEST(GroupIndependence, OneSpeciesOrNoneMarksEveryPairAccepted) {
  CommunityStudy one({"North", "South"}, {"Agouti"});
  one.pics(1, 1, 100);
  one.pics(2, 1, 1);
  EXPECT_EQ(mvtest::runSection(mv::GROUPINDEPENDENCE, one.st), northSouth(kLastA));

  CommunityStudy none({"North", "South"}, {});
  EXPECT_EQ(mvtest::runSection(mv::GROUPINDEPENDENCE, none.st), northSouth(kLastA));
}

// More than 36 species use the value for 35 degrees of freedom (49.802):
// X = 25 + 25 = 50 is rejected there (it would not be at 36, 50.998).
TEST(GroupIndependence, DegreesOfFreedomStopAtThirtyFive) {
  CommunityStudy cs({"North", "South"}, numbered("Species", 37));
  cs.pics(1, 1, 25);
  cs.pics(2, 2, 25);
  EXPECT_EQ(mvtest::runSection(mv::GROUPINDEPENDENCE, cs.st), northSouth(kLastR));
}

// 10 groups: one block of 9 rows and 10 columns. Names are cut to 6
// characters in the header, written in full at the start of the rows.
TEST(GroupIndependence, TenGroupsOneMatrix) {
  const auto lines = mvtest::runSection(mv::GROUPINDEPENDENCE, alternating(10).st);
  std::vector<std::string> expected = kTitle;
  const std::string pad = "                   ";  // "GroupNN" to 25 columns, then 1x
  // clang-format off
  expected.insert(
      expected.end(),
      {
          "Groups                    Group0 Group0 Group0 Group0 Group0 Group0 Group0 Group0 Group0 Group1",
          "Group01" + pad + kEmpty + kR + kA + kR + kA + kR + kA + kR + kA + kLastR,
          "Group02" + pad + kEmpty + kEmpty + kR + kA + kR + kA + kR + kA + kR + kLastA,
          "Group03" + pad + kEmpty + kEmpty + kEmpty + kR + kA + kR + kA + kR + kA + kLastR,
          "Group04" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kR + kA + kR + kA + kR + kLastA,
          "Group05" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kR + kA + kR + kA + kLastR,
          "Group06" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kR + kA + kR + kLastA,
          "Group07" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kR + kA + kLastR,
          "Group08" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kR + kLastA,
          "Group09" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kLastR,
          "",
      });
  // clang-format on
  EXPECT_EQ(lines, expected);
}

// 11 groups: H = 5; the first matrix has columns 1 to 5 and rows 1 to 4, the
// second columns 6 to 11 and rows 1 to 10, separated by an empty line.
TEST(GroupIndependence, ElevenGroupsTwoMatrices) {
  const auto lines = mvtest::runSection(mv::GROUPINDEPENDENCE, alternating(11).st);
  std::vector<std::string> expected = kTitle;
  const std::string pad = "                   ";
  // clang-format off
  expected.insert(expected.end(),
                  {
                      "Groups                    Group0 Group0 Group0 Group0 Group0",
                      "Group01" + pad + kEmpty + kR + kA + kR + kLastA,
                      "Group02" + pad + kEmpty + kEmpty + kR + kA + kLastR,
                      "Group03" + pad + kEmpty + kEmpty + kEmpty + kR + kLastA,
                      "Group04" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kLastR,
                      "",
                      "Groups                    Group0 Group0 Group0 Group0 Group1 Group1",
                      "Group01" + pad + kR + kA + kR + kA + kR + kLastA,
                      "Group02" + pad + kA + kR + kA + kR + kA + kLastR,
                      "Group03" + pad + kR + kA + kR + kA + kR + kLastA,
                      "Group04" + pad + kA + kR + kA + kR + kA + kLastR,
                      "Group05" + pad + kR + kA + kR + kA + kR + kLastA,
                      "Group06" + pad + kEmpty + kR + kA + kR + kA + kLastR,
                      "Group07" + pad + kEmpty + kEmpty + kR + kA + kR + kLastA,
                      "Group08" + pad + kEmpty + kEmpty + kEmpty + kR + kA + kLastR,
                      "Group09" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kR + kLastA,
                      "Group10" + pad + kEmpty + kEmpty + kEmpty + kEmpty + kEmpty + kLastR,
                      "",
                  });
  // clang-format on
  EXPECT_EQ(lines, expected);
}
