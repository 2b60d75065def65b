#include <string>
#include <vector>

#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"
#include "tallies/tallies.hpp"

using namespace sectiontest;

namespace {}  // namespace

TEST(AccumulationCurve, ThreeSpeciesOnDay12AndOneOnDay40) {
  mv::Study st = makeStudy({"North"}, {"Agouti", "Bush dog", "Coati", "Deer", "Eira"}, 2015, 2015);
  st.SPECIESFIRSTDAY(1) = 12;
  st.SPECIESFIRSTDAY(2) = 40;
  st.SPECIESFIRSTDAY(3) = 12;
  st.SPECIESFIRSTDAY(4) = mv::kNoFirstDay;  // only rejected pictures
  st.SPECIESFIRSTDAY(5) = 12;
  std::vector<std::string> console;
  // clang-format off
  const std::vector<std::string> expected = {
      "SPECIES INCLUDED BUT NOT PHOTOGRAPHED OR ALL REJECTED",
      name25("Deer"),
      "",
      "SPECIES ACCUMULATION CURVE",
      "  DAY    NUMBER    SPECIES",
      // i5, 4x, i4, 6x, then the names 25 wide with one blank between.
      "   12" + blanks(4) + "   3" + blanks(6) + name25("Agouti") + " " + name25("Coati") + " " + name25("Eira"),
      "   40" + blanks(4) + "   4" + blanks(6) + name25("Bush dog"),
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::ACCUMULATIONCURVE, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" SPECIES ACCUMULATION CURVE"});
}

TEST(AccumulationCurve, NamesOfOneDayComeInExchangeOrder) {
  // Days 3, 3, 1: the first exchange puts the third species first and the
  // first species last, so day 3 lists the second species before the first.
  mv::Study st = makeStudy({"North"}, {"Agouti", "Bush dog", "Coati"}, 2015, 2015);
  st.SPECIESFIRSTDAY(1) = 3;
  st.SPECIESFIRSTDAY(2) = 3;
  st.SPECIESFIRSTDAY(3) = 1;
  // clang-format off
  const std::vector<std::string> expected = {
      "SPECIES ACCUMULATION CURVE",
      "  DAY    NUMBER    SPECIES",
      "    1" + blanks(4) + "   1" + blanks(6) + name25("Coati"),
      "    3" + blanks(4) + "   3" + blanks(6) + name25("Bush dog") + " " + name25("Agouti"),
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::ACCUMULATIONCURVE, st), expected);
}

TEST(AccumulationCurve, EighteenSpeciesOnOneDayContinueOnASecondLine) {
  std::vector<std::string> names;
  for (int i = 1; i <= 18; ++i) names.push_back("Species " + std::to_string(i));
  mv::Study st = makeStudy({"North"}, names, 2015, 2015);
  for (int s = 1; s <= 18; ++s) st.SPECIESFIRSTDAY(s) = 5;

  std::string first = "    5" + blanks(4) + "  18" + blanks(6);
  for (int i = 1; i <= 15; ++i) first += name25("Species " + std::to_string(i)) + (i < 15 ? " " : "");
  // clang-format off
  const std::string second = name25("Species 16") + " " + name25("Species 17") + " " + name25("Species 18");
  const std::vector<std::string> expected = {
      "SPECIES ACCUMULATION CURVE", "  DAY    NUMBER    SPECIES", first, second, "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::ACCUMULATIONCURVE, st), expected);
}

TEST(AccumulationCurve, StudyWithoutPicturesListsEverySpeciesAndNoRows) {
  mv::Study st = makeStudy({"North"}, {"Agouti", "Bush dog"}, 2015, 2015);
  // clang-format off
  const std::vector<std::string> expected = {
      "SPECIES INCLUDED BUT NOT PHOTOGRAPHED OR ALL REJECTED",
      name25("Agouti"),
      name25("Bush dog"),
      "",
      "SPECIES ACCUMULATION CURVE",
      "  DAY    NUMBER    SPECIES",
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::ACCUMULATIONCURVE, st), expected);
}
