#include <algorithm>
#include <string>
#include <vector>

#include "community/community.hpp"
#include "community/community_study.hpp"
#include "community/groups_by_species.hpp"
#include "support/test_support.hpp"

using mvtest::CommunityStudy;
using mvtest::numbered;
using mvtest::section;

namespace {

// 25-column names as the report shows them in a25 fields.
const std::string kNorth = "North                    ";
const std::string kSouth = "South                    ";
const std::string kAgouti19 = "Agouti             ";
const std::string kBrocket19 = "Brocket deer       ";

std::string blanks(std::size_t n) { return std::string(n, ' '); }

}  // namespace

TEST(GroupsBySpecies, NamesAreTwentyFiveColumns) {
  EXPECT_EQ(kNorth.size(), 25u);
  EXPECT_EQ(kSouth.size(), 25u);
  EXPECT_EQ(kAgouti19.size(), 19u);
  EXPECT_EQ(kBrocket19.size(), 19u);
}

// Two groups, each with one species of two: distance 10*sqrt(2)/2 = 7.071,
// which is not below the start value 2.0 of the most-similar list, so that
// list stays empty; the Jaccard index 0.0 does not get past 0.0 into the
// most-similar composition list.
TEST(GroupsBySpecies, TwoGroupsWithDisjointSpeciesWholeReport) {
  CommunityStudy cs({"North", "South"}, {"Agouti", "Brocket deer"});
  cs.pics(1, 1, 6, 2010, 1);
  cs.pics(1, 1, 4, 2010, 7);
  cs.pics(2, 2, 10, 2010, 3);
  cs.st.PICCOUNT(1, 2, 2010, 1, mv::kAllPictures) = 5;  // other kinds are not counted
  cs.st.GROUPUTM(1, 1) = 500000;
  cs.st.GROUPUTM(1, 2) = 9100000;
  cs.st.GROUPELEV(1) = 1200;
  cs.st.GROUPUTM(2, 1) = 512345;
  cs.st.GROUPUTM(2, 2) = 9087654;
  cs.st.GROUPELEV(2) = 850;
  std::vector<std::string> console;
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st, &console);

  // clang-format off
  const std::vector<std::string> expected = {
      "GROUPS BY SPECIES AND GROUP AND SPECIES RICHNESS",
      "  One record of each species per location per PERIOD",
      "Location" + blanks(26) + "Agou  Broc  Rich",
      kNorth + blanks(8) + "   10     0     1",
      kSouth + blanks(8) + "    0    10     1",
      "Richness" + blanks(24) + "     1     1",
      "",
      "GROUP SPECIES FREQUENCY SIMILARITY (LOWER IS MORE SIMILAR)",
      "   One picture of each species per camera per PERIOD",
      "   Squart root of sums of squared difference in frequency",
      "",
      "Top 10 group pairs most similar in species frequency",
      "",
      "Top 10 group pairs most different in species frequency",
      "     " + kNorth + "  " + kSouth + "  10*R^2 =   7.071",
      "",
      "     Locations              South     ",
      kNorth + "      7.071",
      "",
      "GROUP-SPECIES COMPOSITION SIMILARITY (Jaccard Similarity Index)",
      "  Is species present at this group? yes=1, no=0",
      "  1.00 means groups are identical; 0.00 means groups have no species in common",
      "  Group, group, JSI, number of species at each group, and number of species in common",
      "",
      "  Top 10 location pairs most similar in species composition",
      "     Location                   Location                      JSI   N1  N2 N1&2",
      "",
      "  Top 10 group pairs most different in species composition",
      "     Group                      Group                         JSI   N1  N2 N1&2",
      "     " + kNorth + "  " + kSouth + "    0.000   1   1   0",
      "",
      "     Locations              South     ",
      kNorth + "      0.000",
      "",
      "SPECIES BY GROUP WITH UTM AND ELEVATION",
      "Agouti                   ",
      "Group                      UTMe-w  UTMn-s Elevation",
      kNorth + "  500000 9100000   1200",
      "",
      "Brocket deer             ",
      "Group                      UTMe-w  UTMn-s Elevation",
      kSouth + "  512345 9087654    850",
      "",
      "SPECIES OVERLAP AT GROUPS",
      "  Number of groups  2",
      "  Species and in () the number of groups where it was photographed",
      "",
      "    Species               Agouti       Brocket deer",
      kAgouti19 + " (  1)   1 ( 100.0)   0 (   0.0)",
      kBrocket19 + " (  1)   0 (   0.0)   1 ( 100.0)",
      "",
  };
  // clang-format on
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(console, std::vector<std::string>{" GROUPS BY SPECIES AND GROUP AND SPECIES RICHNESS"});
}

// Birch and Dogwood have no pictures: their frequency distances stay -1.000,
// their Jaccard index with each other (and Birch's diagonal cell) is 0/0 and
// shows NaN, and neither -1.0 nor NaN enters a top list.
TEST(GroupsBySpecies, GroupsWithoutPicturesShowMinusOneAndNaN) {
  CommunityStudy cs({"Alder", "Birch", "Cedar", "Dogwood"}, {"Agouti", "Brocket deer"});
  cs.pics(1, 1, 4);
  cs.pics(3, 1, 2);
  cs.pics(3, 2, 2);
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st);
  const std::string alder = "Alder                    ";
  const std::string birch = "Birch                    ";
  const std::string cedar = "Cedar                    ";
  const std::string dogwood = "Dogwood                  ";

  // Alder (1, 0) against Cedar (0.5, 0.5): sqrt(0.5) * 10 / 2 = 3.536, which
  // is above the start value 2.0 of the most-similar list.
  EXPECT_EQ(section(lines, "Top 10 group pairs most similar in species frequency", 13),
            // clang-format off
            (std::vector<std::string>{
                "Top 10 group pairs most similar in species frequency",
                "",
                "Top 10 group pairs most different in species frequency",
                "     " + alder + "  " + cedar + "  10*R^2 =   3.536",
                "",
                "     Locations              Birch      Cedar      Dogwood   ",
                alder + "     -1.000      3.536     -1.000",
                birch + "     -1.000     -1.000     -1.000",
                cedar + "     -1.000     -1.000     -1.000",
                "",
                "GROUP-SPECIES COMPOSITION SIMILARITY (Jaccard Similarity Index)",
                "  Is species present at this group? yes=1, no=0",
                "  1.00 means groups are identical; 0.00 means groups have no species in common",
            }));
  // clang-format on

  // Jaccard: (1,2) 0, (1,3) 0.5, (1,4) 0, (2,3) 0, (2,4) NaN, (3,4) 0. The
  // most-similar list takes only 0.5 (0.0 never passes the start value 0.0);
  // the most-different list (K = 4) takes the four 0.0 pairs in scan order.
  EXPECT_EQ(section(lines, "  Top 10 location pairs most similar in species composition", 15),
            // clang-format off
            (std::vector<std::string>{
                "  Top 10 location pairs most similar in species composition",
                "     Location                   Location                      JSI   N1  N2 N1&2",
                "     " + alder + "  " + cedar + "    0.500   1   2   1",
                "",
                "  Top 10 group pairs most different in species composition",
                "     Group                      Group                         JSI   N1  N2 N1&2",
                "     " + alder + "  " + birch + "    0.000   1   0   0",
                "     " + alder + "  " + dogwood + "    0.000   1   0   0",
                "     " + birch + "  " + cedar + "    0.000   0   2   0",
                "     " + cedar + "  " + dogwood + "    0.000   2   0   0",
                "",
                "     Locations              Birch      Cedar      Dogwood   ",
                alder + "      0.000      0.500      0.000",
                birch + "        NaN      0.000        NaN",
                cedar + "      0.000      1.000      0.000",
            }));
  // clang-format on
}

// With 11 groups both pair tables are one block (rows 1 to 10, columns 2 to
// 11); the Jaccard block has 10 columns and its layouts 8 fields, so each
// header and each row continues on a second line with the 9th and 10th.
TEST(GroupsBySpecies, ElevenGroupsOneBlockJaccardOnTwoLines) {
  CommunityStudy cs(numbered("Group", 11), {"Agouti"});
  for (int g = 1; g <= 11; ++g) cs.pics(g, 1, 1);
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st);
  const std::string header =
      "     Locations              Group02    Group03    Group04    Group05    Group06    "
      "Group07    Group08    Group09    Group10    Group11   ";
  // Every pair has distance 0.000; cells on and below the diagonal -1.000.
  const std::vector<std::string> frequency = {
      header,
      "Group01                        0.000      0.000      0.000      0.000      0.000      0.000      0.000"
      "      0.000      0.000      0.000",
      "Group02                       -1.000      0.000      0.000      0.000      0.000      0.000      0.000"
      "      0.000      0.000      0.000",
      "Group03                       -1.000     -1.000      0.000      0.000      0.000      0.000      0.000"
      "      0.000      0.000      0.000",
      "Group04                       -1.000     -1.000     -1.000      0.000      0.000      0.000      0.000"
      "      0.000      0.000      0.000",
      "Group05                       -1.000     -1.000     -1.000     -1.000      0.000      0.000      0.000"
      "      0.000      0.000      0.000",
      "Group06                       -1.000     -1.000     -1.000     -1.000     -1.000      0.000      0.000"
      "      0.000      0.000      0.000",
      "Group07                       -1.000     -1.000     -1.000     -1.000     -1.000     -1.000      0.000"
      "      0.000      0.000      0.000",
      "Group08                       -1.000     -1.000     -1.000     -1.000     -1.000     -1.000     -1.000"
      "      0.000      0.000      0.000",
      "Group09                       -1.000     -1.000     -1.000     -1.000     -1.000     -1.000     -1.000"
      "     -1.000      0.000      0.000",
      "Group10                       -1.000     -1.000     -1.000     -1.000     -1.000     -1.000     -1.000"
      "     -1.000     -1.000      0.000",
      "",
      "GROUP-SPECIES COMPOSITION SIMILARITY (Jaccard Similarity Index)",
  };
  auto got = section(lines, header, 13);
  EXPECT_EQ(got, frequency);

  // Jaccard: 1.000 on and above the diagonal, 0.000 below it.
  const std::vector<std::string> jaccard = {
      "     Locations              Group02    Group03    Group04    Group05    Group06    "
      "Group07    Group08    Group09   ",
      "Group10    Group11   ",
      "Group01                        1.000      1.000      1.000      1.000      1.000      1.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group02                        1.000      1.000      1.000      1.000      1.000      1.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group03                        0.000      1.000      1.000      1.000      1.000      1.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group04                        0.000      0.000      1.000      1.000      1.000      1.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group05                        0.000      0.000      0.000      1.000      1.000      1.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group06                        0.000      0.000      0.000      0.000      1.000      1.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group07                        0.000      0.000      0.000      0.000      0.000      1.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group08                        0.000      0.000      0.000      0.000      0.000      0.000      1.000"
      "      1.000",
      "     1.000      1.000",
      "Group09                        0.000      0.000      0.000      0.000      0.000      0.000      0.000"
      "      1.000",
      "     1.000      1.000",
      "Group10                        0.000      0.000      0.000      0.000      0.000      0.000      0.000"
      "      0.000",
      "     1.000      1.000",
      "",
      "SPECIES BY GROUP WITH UTM AND ELEVATION",
  };
  got = section(lines, jaccard[0], jaccard.size());
  EXPECT_EQ(got, jaccard);
}

// With 12 groups the pair tables have three blocks: rows 1 to 10 against
// columns 2 to 11, rows 1 to 10 against column 12, row 11 against column 12.
// All groups alike: every top list that admits 0.000 (frequency, start value
// NSPECIES = 1) or 1.000 (Jaccard, start value 0) shows exactly ten pairs.
TEST(GroupsBySpecies, TwelveGroupsThreeBlocksAndFullTopLists) {
  CommunityStudy cs(numbered("Group", 12), {"Agouti"});
  for (int g = 1; g <= 12; ++g) cs.pics(g, 1, 3);
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st);
  const std::string g01 = "Group01                  ";

  std::vector<std::string> top = {"Top 10 group pairs most similar in species frequency"};
  // clang-format off
  for (int j = 2; j <= 11; ++j) top.push_back("     " + g01 + "  " + numbered("Group", j).back() + blanks(18) +
                                             "  10*R^2 =   0.000");
  // clang-format on
  top.insert(top.end(), {"", "Top 10 group pairs most different in species frequency", ""});
  EXPECT_EQ(section(lines, top[0], top.size()), top);

  const std::string block1 =
      "     Locations              Group02    Group03    Group04    Group05    Group06    "
      "Group07    Group08    Group09    Group10    Group11   ";
  const auto first = section(lines, block1, 12);
  ASSERT_EQ(first.size(), 12u);
  EXPECT_EQ(first[1].substr(0, 7), "Group01");
  EXPECT_EQ(first[10].substr(0, 7), "Group10");
  EXPECT_EQ(first[11], "");
  const std::vector<std::string> rest = {
      "     Locations              Group12   ",
      "Group01                        0.000",
      "Group02                        0.000",
      "Group03                        0.000",
      "Group04                        0.000",
      "Group05                        0.000",
      "Group06                        0.000",
      "Group07                        0.000",
      "Group08                        0.000",
      "Group09                        0.000",
      "Group10                        0.000",
      "",
      "     Locations              Group12   ",
      "Group11                        0.000",
      "",
      "GROUP-SPECIES COMPOSITION SIMILARITY (Jaccard Similarity Index)",
  };
  const auto it = std::find(lines.begin(), lines.end(), block1);
  ASSERT_NE(it, lines.end());
  EXPECT_EQ(std::vector<std::string>(it + 12, it + 12 + static_cast<std::ptrdiff_t>(rest.size())), rest);

  std::vector<std::string> similar = {
      "  Top 10 location pairs most similar in species composition",
      "     Location                   Location                      JSI   N1  N2 N1&2"};
  for (int j = 2; j <= 11; ++j)
    // clang-format off
    similar.push_back("     " + g01 + "  " + numbered("Group", j).back() + blanks(18) + "    1.000   1   1   1");
  // clang-format on
  similar.insert(similar.end(),
                 {"", "  Top 10 group pairs most different in species composition",
                  "     Group                      Group                         JSI   N1  N2 N1&2", ""});
  EXPECT_EQ(section(lines, similar[0], similar.size()), similar);
}

// 20 species: one table ending in the richness column.
TEST(GroupsBySpecies, TwentySpeciesOneRichnessTable) {
  CommunityStudy cs({"North", "South"}, numbered("Tayra", 20));
  for (int s = 1; s <= 20; ++s) cs.pics(1, s, s);
  cs.pics(2, 20, 100000);  // too wide for i5
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st);
  // clang-format off
  const std::vector<std::string> expected = {
      "  One record of each species per location per PERIOD",
      "Location                          Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  "
      "Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Tayr  Rich",
      kNorth + "            1     2     3     4     5     6     7     8     9    10    11    12    13    14    15"
               "    16    17    18    19    20    20",
      kSouth + "            0     0     0     0     0     0     0     0     0     0     0     0     0     0     0"
               "     0     0     0     0 *****     1",
      "Richness                             1     1     1     1     1     1     1     1     1     1     1     1"
      "     1     1     1     1     1     1     1     2",
      "",
      "GROUP SPECIES FREQUENCY SIMILARITY (LOWER IS MORE SIMILAR)",
  };
  // clang-format on
  EXPECT_EQ(section(lines, expected[0], expected.size()), expected);
}

// 21 species: species 1 to 10 without richness, an empty line, "Species list
// continued", then species 11 to 21 with the richness column.
TEST(GroupsBySpecies, TwentyOneSpeciesTwoRichnessTables) {
  std::vector<std::string> species;
  for (char c = 'A'; c <= 'U'; ++c) species.push_back(std::string(1, c) + "bcde");
  CommunityStudy cs({"North", "South"}, species);
  for (int s = 1; s <= 21; ++s) cs.pics(1, s, 1);
  cs.pics(2, 1, 7);
  cs.pics(2, 21, 8);
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st);
  // clang-format off
  const std::vector<std::string> expected = {
      "  One record of each species per location per PERIOD",
      "Location                          Abcd  Bbcd  Cbcd  Dbcd  Ebcd  Fbcd  Gbcd  Hbcd  Ibcd  Jbcd",
      kNorth + "            1     1     1     1     1     1     1     1     1     1",
      kSouth + "            7     0     0     0     0     0     0     0     0     0",
      "Richness                             2     1     1     1     1     1     1     1     1     1",
      "",
      "Species list continued",
      "Location                          Kbcd  Lbcd  Mbcd  Nbcd  Obcd  Pbcd  Qbcd  Rbcd  Sbcd  Tbcd  Ubcd  Rich",
      kNorth + "            1     1     1     1     1     1     1     1     1     1     1    21",
      kSouth + "            0     0     0     0     0     0     0     0     0     0     8     2",
      "Richness                             1     1     1     1     1     1     1     1     1     1     2",
      "",
      "GROUP SPECIES FREQUENCY SIMILARITY (LOWER IS MORE SIMILAR)",
  };
  // clang-format on
  EXPECT_EQ(section(lines, expected[0], expected.size()), expected);
}

// 11 species: overlap blocks of 5 and 6 columns, each with a row for every
// species. Species 1 is at 3 groups: "(  3)" after its name and "  3 ( 100.0)"
// in its own column; species 2 shares 2 of them (2 * 100 / 3 = 66.7) and
// species 11 one (1 * 100 / 3 = 33.3, while 11 against 1 is 1 * 100 / 1).
TEST(GroupsBySpecies, ElevenSpeciesOverlapBlocksOfFiveAndSix) {
  CommunityStudy cs({"East", "North", "South"}, numbered("Species number ", 11));
  cs.pics(1, 1, 1);
  cs.pics(2, 1, 4);
  cs.pics(3, 1, 2);
  cs.pics(1, 2, 1);
  cs.pics(2, 2, 1);
  cs.pics(3, 11, 5);
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st);
  const std::string name = "Species number 0";  // 19 columns with the 3 below
  // clang-format off
  std::vector<std::string> expected = {
      "SPECIES OVERLAP AT GROUPS",
      "  Number of groups  3",
      "  Species and in () the number of groups where it was photographed",
      "",
      "    Species               Species numb Species numb Species numb Species numb Species numb",
  };
  // clang-format on
  expected.push_back("Species number 01   (  3)   3 ( 100.0)   2 (  66.7)   0 (   0.0)   0 (   0.0)   0 (   0.0)");
  expected.push_back("Species number 02   (  2)   2 ( 100.0)   2 ( 100.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)");
  for (int s = 3; s <= 9; ++s)
    expected.push_back(name + std::to_string(s) + "   (  0)" +
                       "   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)"
                       "   0 (   0.0)");
  expected.push_back("Species number 10   (  0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)");
  expected.push_back("Species number 11   (  1)   1 ( 100.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)");
  expected.push_back("");
  expected.push_back(
      "    Species               Species numb Species numb Species numb Species numb Species numb Species numb");
  expected.push_back(
      "Species number 01   (  3)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   1 (  33.3)");
  expected.push_back(
      "Species number 02   (  2)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)");
  for (int s = 3; s <= 9; ++s)
    expected.push_back(name + std::to_string(s) + "   (  0)" +
                       "   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)");
  expected.push_back(
      "Species number 10   (  0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)");
  expected.push_back(
      "Species number 11   (  1)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   0 (   0.0)   1 ( 100.0)");
  expected.push_back("");
  EXPECT_EQ(section(lines, expected[0], expected.size() + 1), expected);
}

// One group and no species: no pairs, so no top-list lines and no pair-table
// blocks; the tables still have their headers.
TEST(GroupsBySpecies, OneGroupNoSpecies) {
  CommunityStudy cs({"North"}, {});
  const auto lines = mvtest::runSection(mv::GROUPSBYSPECIES, cs.st);
  // clang-format off
  const std::vector<std::string> expected = {
      "GROUPS BY SPECIES AND GROUP AND SPECIES RICHNESS",
      "  One record of each species per location per PERIOD",
      "Location                          Rich",
      kNorth + "            0",
      "Richness",
      "",
      "GROUP SPECIES FREQUENCY SIMILARITY (LOWER IS MORE SIMILAR)",
      "   One picture of each species per camera per PERIOD",
      "   Squart root of sums of squared difference in frequency",
      "",
      "Top 10 group pairs most similar in species frequency",
      "",
      "Top 10 group pairs most different in species frequency",
      "",
      "GROUP-SPECIES COMPOSITION SIMILARITY (Jaccard Similarity Index)",
      "  Is species present at this group? yes=1, no=0",
      "  1.00 means groups are identical; 0.00 means groups have no species in common",
      "  Group, group, JSI, number of species at each group, and number of species in common",
      "",
      "  Top 10 location pairs most similar in species composition",
      "     Location                   Location                      JSI   N1  N2 N1&2",
      "",
      "  Top 10 group pairs most different in species composition",
      "     Group                      Group                         JSI   N1  N2 N1&2",
      "",
      "SPECIES BY GROUP WITH UTM AND ELEVATION",
      "SPECIES OVERLAP AT GROUPS",
      "  Number of groups  1",
      "  Species and in () the number of groups where it was photographed",
      "",
      "    Species",
      "",
  };
  // clang-format on
  EXPECT_EQ(lines, expected);
}
