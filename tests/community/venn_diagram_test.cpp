#include <string>
#include <vector>

#include "community/community.hpp"
#include "community/community_study.hpp"
#include "support/test_support.hpp"

using mvtest::CommunityStudy;
using mvtest::numbered;
using mvtest::section;

namespace {

const std::string kAgouti = "Agouti                   ";
const std::string kBrocket = "Brocket deer             ";
const std::string kCoati = "Coati                    ";

}  // namespace

// Elevations 900, 300, 600 are listed as groups 2, 3, 1. Agouti (groups at
// 300 and 900) gets its range, Coati (600 and 900) too, Brocket deer (only
// 600) none. Brocket deer (January 2010) and Coati (July 2011) co-occur at
// West although never in the same month.
TEST(VennDiagram, ThreeGroupsWholeReport) {
  CommunityStudy cs({"East", "North", "West"}, {"Agouti", "Brocket deer", "Coati"}, 2010, 2011);
  cs.pics(1, 1, 2, 2010, 1);
  cs.pics(2, 1, 1, 2011, 3);
  cs.pics(3, 2, 1, 2010, 1);
  cs.pics(3, 3, 3, 2011, 7);
  cs.pics(1, 3, 1, 2010, 2);
  cs.st.PICCOUNT(1, 2, 2010, 1, mv::kAllPictures) = 4;  // only independent pictures count
  cs.st.GROUPELEV(1) = 900;
  cs.st.GROUPELEV(2) = 300;
  cs.st.GROUPELEV(3) = 600;
  std::vector<std::string> console;
  const auto lines = mvtest::runSection(mv::VENNDIAGRAM, cs.st, &console);

  const std::vector<std::string> presence = {
      "          Species (  3)                  Groups (  3)",
      "                          East       North      West      ",
      kAgouti + "     1          1          0",
      kBrocket + "     0          0          1",
      kCoati + "     1          0          1",
      "",
  };
  // clang-format off
  std::vector<std::string> expected = {
      "SPECIES CO-OCCURRENCE MATRIX",
      "  The number of groups each species pair co-occurs",
      "                          Agouti Brocke Coati ",
      kAgouti + "   2      0      1",
      kBrocket + "   0      1      1",
      kCoati + "   1      1      2",
      "",
      "ABSENCE-PRESENCE MATRIX",
      "  Species vs groups matrix",
  };
  // clang-format on
  expected.insert(expected.end(), presence.begin(), presence.end());
  expected.insert(expected.end(), {"SPECIES MIN AND MAX ELEVATION", "  Species vs groups matrix"});
  expected.insert(expected.end(), presence.begin(), presence.end());
  // clang-format off
  expected.insert(expected.end(), {
                                      "  List of elevations and groups",
                                      "  1   300  North                    ",
                                      "  2   600  West                     ",
                                      "  3   900  East                     ",
                                      "",
                                      "  Minimum and maximum elevation for each species",
                                      "   SPECIES                 Min  Max",
                                      kAgouti + "  300  900",
                                      kCoati + "  600  900",
                                      "",
                                  });
  // clang-format on
  EXPECT_EQ(lines, expected);
  // clang-format off
  EXPECT_EQ(console, (std::vector<std::string>{" SPECIES CO-OCCURRENCES", " SPECIES CO-OCCURRENCE MATRIX",
                                               " ABSENCE-PRESENCE MATRIX", " SPECIES MIN AND MAX ELEVATION"}));
  // clang-format on
}

// 25 groups: one presence block; 26 groups: two, the second with one column,
// each with its own line of counts.
TEST(VennDiagram, PresenceBlocksOfTwentyFiveGroups) {
  const std::string names25 =
      "                          Group01    Group02    Group03    Group04    Group05    Group06    Group07    "
      "Group08    Group09    Group10    Group11    Group12    Group13    Group14    Group15    Group16    "
      "Group17    Group18    Group19    Group20    Group21    Group22    Group23    Group24    Group25   ";
  const std::string ones25 =
      "     1          1          1          1          1          1          1          1          1          1"
      "          1          1          1          1          1          1          1          1          1"
      "          1          1          1          1          1          1";
  {
    CommunityStudy cs(numbered("Group", 25), {"Agouti"});
    for (int g = 1; g <= 25; ++g) cs.pics(g, 1, 1);
    // clang-format off
    const std::vector<std::string> expected = {
        "ABSENCE-PRESENCE MATRIX",
        "  Species vs groups matrix",
        "          Species (  1)                  Groups ( 25)",
        names25,
        kAgouti + ones25,
        "",
        "SPECIES MIN AND MAX ELEVATION",
    };
    // clang-format on
    EXPECT_EQ(section(mvtest::runSection(mv::VENNDIAGRAM, cs.st), expected[0], expected.size()), expected);
  }
  {
    CommunityStudy cs(numbered("Group", 26), {"Agouti"});
    for (int g = 1; g <= 25; ++g) cs.pics(g, 1, 1);
    // clang-format off
    const std::vector<std::string> expected = {
        "ABSENCE-PRESENCE MATRIX",
        "  Species vs groups matrix",
        "          Species (  1)                  Groups ( 26)",
        names25,
        kAgouti + ones25,
        "",
        "          Species (  1)                  Groups ( 26)",
        "                          Group26   ",
        kAgouti + "     0",
        "",
        "SPECIES MIN AND MAX ELEVATION",
    };
    // clang-format on
    EXPECT_EQ(section(mvtest::runSection(mv::VENNDIAGRAM, cs.st), expected[0], expected.size()), expected);
  }
}

// Equal elevations keep the order the exchange procedure gives them: with
// 5, 5, 1 the first pass swaps groups 1 and 3, and group 2 then stays before
// group 1.
TEST(VennDiagram, EqualElevationsInExchangeOrder) {
  CommunityStudy cs({"Alder", "Birch", "Cedar"}, {"Agouti"});
  cs.st.GROUPELEV(1) = 5;
  cs.st.GROUPELEV(2) = 5;
  cs.st.GROUPELEV(3) = 1;
  // clang-format off
  const std::vector<std::string> expected = {
      "  List of elevations and groups",
      "  1     1  Cedar                    ",
      "  2     5  Birch                    ",
      "  3     5  Alder                    ",
      "",
  };
  // clang-format on
  EXPECT_EQ(section(mvtest::runSection(mv::VENNDIAGRAM, cs.st), expected[0], expected.size()), expected);
}

// Elevations of five digits show asterisks; a species seen only at negative
// elevations keeps the maximum 0 of its start value, and one seen at 12000
// gets that as its maximum.
TEST(VennDiagram, ElevationBounds) {
  CommunityStudy cs({"Alder", "Birch", "Cedar", "Dogwood"}, {"Agouti", "Brocket deer", "Coati"});
  cs.st.GROUPELEV(1) = -20;
  cs.st.GROUPELEV(2) = -5;
  cs.st.GROUPELEV(3) = 12000;
  cs.st.GROUPELEV(4) = 40;
  cs.pics(1, 1, 1);
  cs.pics(2, 1, 1);
  cs.pics(2, 2, 1);
  cs.pics(3, 2, 1);
  cs.pics(4, 3, 1);
  // clang-format off
  const std::vector<std::string> expected = {
      "  List of elevations and groups",
      "  1   -20  Alder                    ",
      "  2    -5  Birch                    ",
      "  3    40  Dogwood                  ",
      "  4  ****  Cedar                    ",
      "",
      "  Minimum and maximum elevation for each species",
      "   SPECIES                 Min  Max",
      kAgouti + "  -20    0",
      kBrocket + "   -5 ****",
      "",
  };
  // clang-format on
  const auto lines = mvtest::runSection(mv::VENNDIAGRAM, cs.st);
  EXPECT_EQ(section(lines, expected[0], expected.size() + 1), expected);
}

// No groups: no presence blocks and an empty elevation list.
TEST(VennDiagram, NoGroups) {
  CommunityStudy cs({}, {"Agouti"});
  // clang-format off
  const std::vector<std::string> expected = {
      "SPECIES CO-OCCURRENCE MATRIX",
      "  The number of groups each species pair co-occurs",
      "                          Agouti",
      kAgouti + "   0",
      "",
      "ABSENCE-PRESENCE MATRIX",
      "  Species vs groups matrix",
      "SPECIES MIN AND MAX ELEVATION",
      "  Species vs groups matrix",
      "  List of elevations and groups",
      "",
      "  Minimum and maximum elevation for each species",
      "   SPECIES                 Min  Max",
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::VENNDIAGRAM, cs.st), expected);
}
