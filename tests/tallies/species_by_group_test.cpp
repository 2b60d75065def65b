#include <string>
#include <vector>

#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"
#include "tallies/tallies.hpp"

using namespace sectiontest;

namespace {

constexpr int kInd = mv::kIndependentPictures;
constexpr int kIndiv = mv::kIndividuals;

const std::vector<std::string> kTitle = {
    "SPECIES AVERAGE ABUNDANCE BY YEAR AND GROUP",
    "  One record of each species per location per PERIOD",
    "  Use maximum number of individuals per location per PERIOD",
};

}  // namespace

TEST(SpeciesByGroup, ThirteenGroupsMakeBlocksOfTwelveAndOne) {
  std::vector<std::string> groups;
  for (int g = 1; g <= 13; ++g) groups.push_back((g < 10 ? "Station0" : "Station") + std::to_string(g) + " north");
  mv::Study st = makeStudy(groups, {"Ocelot", "Tapir"}, 2015, 2015);
  // Two records at Station01, with 1 and 3 individuals as their largest counts.
  st.PICCOUNT(1, 1, 2015, 2, kInd) = 1;
  st.PICCOUNT(1, 1, 2015, 2, kIndiv) = 1;
  st.PICCOUNT(1, 1, 2015, 9, kInd) = 1;
  st.PICCOUNT(1, 1, 2015, 9, kIndiv) = 3;
  st.PICCOUNT(13, 2, 2015, 4, kInd) = 1;
  st.PICCOUNT(13, 2, 2015, 4, kIndiv) = 1;

  // Names cut to their first 10 characters, one blank after each.
  std::string header = "Species" + blanks(20);
  for (int g = 1; g <= 12; ++g)
    // clang-format off
    header += (g < 10 ? "Station0" : "Station") + std::to_string(g) + " " + (g < 12 ? " " : "");
  // clang-format on
  const std::string zero = " 0.00" + blanks(6);
  std::vector<std::string> expected = kTitle;
  const std::vector<std::string> rest = {
      "2015",
      header,
      // clang-format off
      name25("Ocelot") + " " + " 2.00" + blanks(6) + times(10, zero) + " 0.00",
      name25("Tapir") + " " + times(11, zero) + " 0.00",
      "",
      "Species" + blanks(20) + "Station13 ",
      name25("Ocelot") + " " + " 0.00",
      name25("Tapir") + " " + " 1.00",
      "",
  };
  // clang-format on
  expected.insert(expected.end(), rest.begin(), rest.end());
  std::vector<std::string> console;
  EXPECT_EQ(mvtest::runSection(mv::SPECIESBYGROUP, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" SPECIES AVERAGE ABUNDANCE BY YEAR AND GROUP"});
}

TEST(SpeciesByGroup, AllYearsCellIsTheRatioOfTheSums) {
  mv::Study st = makeStudy({"Ridge"}, {"Puma"}, 2014, 2015);
  st.PICCOUNT(1, 1, 2014, 5, kInd) = 2;
  st.PICCOUNT(1, 1, 2014, 5, kIndiv) = 4;
  st.PICCOUNT(1, 1, 2015, 6, kInd) = 1;
  st.PICCOUNT(1, 1, 2015, 6, kIndiv) = 1;
  const std::string header = "Species" + blanks(20) + "Ridge     ";
  std::vector<std::string> expected = kTitle;
  const std::vector<std::string> rest = {
      "2014",
      header,
      // clang-format off
      name25("Puma") + " " + " 2.00",
      "",
      "2015",
      header,
      name25("Puma") + " " + " 1.00",
      "",
      "SPECIES AVERAGE ABUNDANCE BY GROUP ALL YEARS",
      "2014 to 2015",
      header,
      // 5 individuals in 3 records, not the mean of 2.00 and 1.00.
      name25("Puma") + " " + " 1.67",
      "",
  };
  // clang-format on
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(mvtest::runSection(mv::SPECIESBYGROUP, st), expected);
}
