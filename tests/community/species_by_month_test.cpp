#include <algorithm>
#include <string>
#include <vector>

#include "community/community.hpp"
#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"

using namespace sectiontest;

namespace {

constexpr int kInd = mv::kIndependentPictures;
constexpr int kIndiv = mv::kIndividuals;

const std::string kNote = "  One record of each species per location per period";
const std::string kMonths = "Jan   Feb   Mar   Apr   May   Jun   Jul   Aug   Sep   Oct   Nov   Dec   Total";
const std::string kSpeciesHeader = "Species" + blanks(22) + kMonths;
const std::string kPicturesHeader = "Group" + blanks(21) + "Elevation" + blanks(2) + kMonths;
const std::string kIndividualsHeader = "Group" + blanks(20) + "Elevation" + blanks(3) + kMonths;
const std::string kEffortHeader =
    "Group" + blanks(21) + "Elevation" + blanks(3) + "# pics/Effort" + blanks(3) + "Percent";
const std::string kZero5 = "    0 ";
const std::string kRate0 = "  0.0 ";

// "(a25,2x,12(i5,1x),2x,i5)" and its like: twelve i5 cells with a blank after
// each, then two blanks and the total.
std::string months5(std::initializer_list<std::string_view> first, int zeros, const char* total) {
  // clang-format off
  return fields(5, first, " ") + times(zeros, kZero5) + "  " + rj(total, 5);
  // clang-format on
}

void append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
  to.insert(to.end(), lines.begin(), lines.end());
}

}  // namespace

TEST(SpeciesByMonth, SingleYearStudyInElevationOrder) {
  // Elevations 300, 900 and 600 are visited as Loma (900), Valle (600), Cerro (300).
  mv::Study st = makeStudy({"Cerro", "Loma", "Valle"}, {"Ocelot", "Tapir", "Jaguar"}, 2015, 2015);
  st.GROUPELEV(1) = 300;
  st.GROUPELEV(2) = 900;
  st.GROUPELEV(3) = 600;
  st.GROUPTRAPDAYS(2, 2015, 1) = 100;
  st.GROUPTRAPDAYS(3, 2015, 1) = 150;
  st.GROUPTRAPDAYS(3, 2015, 2) = 150;
  st.GROUPTRAPDAYS(1, 2015, 3) = 31;
  // Ocelot: 10 pictures at Loma (100 days) and 10 at Valle (300 days).
  st.PICCOUNT(2, 1, 2015, 1, kInd) = 10;
  st.PICCOUNT(2, 1, 2015, 1, kIndiv) = 12;
  st.PICCOUNT(3, 1, 2015, 1, kInd) = 4;
  st.PICCOUNT(3, 1, 2015, 1, kIndiv) = 4;
  st.PICCOUNT(3, 1, 2015, 2, kInd) = 6;
  st.PICCOUNT(3, 1, 2015, 2, kIndiv) = 7;
  // Tapir at Cerro, once in April when Cerro had no camera trap days.
  st.PICCOUNT(1, 2, 2015, 3, kInd) = 2;
  st.PICCOUNT(1, 2, 2015, 3, kIndiv) = 3;
  st.PICCOUNT(1, 2, 2015, 4, kInd) = 1;
  st.PICCOUNT(1, 2, 2015, 4, kIndiv) = 1;
  // Jaguar has no picture.

  const std::string totalDays = "Total days" + blanks(25) + months5({"250", "150", "31"}, 9, "431");
  // clang-format off
  std::vector<std::string> expected = {
      "SPECIES AND SPECIES RICHNESS BY YEAR AND MONTH",
      kNote,
      "2015",
      kSpeciesHeader,
      name25("Ocelot") + "  " + months5({"14", "6"}, 10, "20"),
      name25("Tapir") + "  " + months5({"0", "0", "2", "1"}, 8, "3"),
      "Total pics" + blanks(17) + months5({"14", "6", "2", "1"}, 8, "23"),
      "Total days" + blanks(17) + months5({"250", "150", "31"}, 9, "431"),
      // 10 x 14/250 = 0.56, 10 x 6/150 = 0.4, 10 x 2/31 = 0.65, April without days 0.0
      "10*Pic/effort   " + blanks(11) + "  0.6   0.4   0.6 " + times(8, kRate0) + kRate0.substr(0, 5),
      "Species richness" + blanks(11) + "    1     1     1     1 " + times(7, kZero5) + "    0",
      "",
      // Section 3.
      "   SPECIES BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION",
      kNote,
      name25("Ocelot"),
      "2015",
      kPicturesHeader,
      name25("Loma") + "  " + "  900" + "   " + months5({"10"}, 11, "10"),
      name25("Valle") + "  " + "  600" + "   " + months5({"4", "6"}, 10, "10"),
      "Total pics" + blanks(25) + months5({"14", "6"}, 10, "20"),
      // Cerro's March days count although it has no Ocelot picture.
      totalDays,
      "10*Pic/period    " + blanks(18) + "  0.6   0.4 " + times(9, kRate0) + kRate0.substr(0, 5),
      "",
      name25("Tapir"),
      "2015",
      kPicturesHeader,
      name25("Cerro") + "  " + "  300" + "   " + months5({"0", "0", "2", "1"}, 8, "3"),
      // The April picture had no camera trap days: not in "Total pics".
      "Total pics" + blanks(25) + months5({"0", "0", "2"}, 9, "2"),
      totalDays,
      "10*Pic/period    " + blanks(18) + "  0.0   0.0   0.6 " + times(8, kRate0) + kRate0.substr(0, 5),
      "",
      name25("Jaguar"),
      // Section 4.
      "SPECIES ABUNDANCE BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION",
      kNote,
      "  Use maximum number of individuals per period",
      name25("Ocelot"),
      "2015",
      kIndividualsHeader,
      name25("Loma") + "  " + "  900" + "   " + months5({"12"}, 11, "12"),
      name25("Valle") + "  " + "  600" + "   " + months5({"4", "7"}, 10, "11"),
      "Total pics" + blanks(25) + months5({"16", "7"}, 10, "23"),
      totalDays,
      // 10 x 16/250 = 0.64, 10 x 7/150 = 0.47
      "10*Pic/period    " + blanks(18) + "  0.6   0.5 " + times(9, kRate0) + kRate0.substr(0, 5),
      "",
      name25("Tapir"),
      "2015",
      kIndividualsHeader,
      name25("Cerro") + "  " + "  300" + "   " + months5({"0", "0", "3", "1"}, 8, "4"),
      "Total pics" + blanks(25) + months5({"0", "0", "3"}, 9, "3"),
      totalDays,
      // 10 x 3/31 = 0.97
      "10*Pic/period    " + blanks(18) + "  0.0   0.0   1.0 " + times(8, kRate0) + kRate0.substr(0, 5),
      "",
      name25("Jaguar"),
      // Section 5.
      "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT",
      kNote,
      "",
      "SUMMARY ALL YEARS",
      "2015 to 2015",
      kEffortHeader,
      name25("Ocelot"),
      // Rates 0.1 and 0.0333, sum 0.1333.
      name25("Loma") + blanks(3) + "  900" + blanks(8) + "  0.100" + blanks(6) + "  75.00",
      name25("Valle") + blanks(3) + "  600" + blanks(8) + "  0.033" + blanks(6) + "  25.00",
      "",
      kEffortHeader,
      name25("Tapir"),
      // 3/31 = 0.097
      name25("Cerro") + blanks(3) + "  300" + blanks(8) + "  0.097" + blanks(6) + " 100.00",
      "",
      kEffortHeader,
      name25("Jaguar"),
      "",
      // Section 6.
      "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT TABLE",
      kNote,
      "  Table shows frequency of all pictures normalized by effort for each species",
      "",
      "SUMMARY ALL YEARS",
      "2015 to 2015",
      "Group" + blanks(21) + "Elevation" + " " + "Ocelot" + " " + "Tapir " + " " + "Jaguar",
      name25("Loma") + blanks(3) + "  900" + blanks(3) + " 50.00 " + "  0.00 " + "  0.00",
      name25("Valle") + blanks(3) + "  600" + blanks(3) + " 50.00 " + "  0.00 " + "  0.00",
      name25("Cerro") + blanks(3) + "  300" + blanks(3) + "  0.00 " + "100.00 " + "  0.00",
      "",
  };
  // clang-format on
  std::vector<std::string> console;
  EXPECT_EQ(mvtest::runSection(mv::SPECIESBYMONTH, st, &console), expected);
  // No section 2 in a single-year study.
  // clang-format off
  EXPECT_EQ(console, (std::vector<std::string>{
                         " SPECIES AND SPECIES RICHNESS BY YEAR AND MONTH",
                         " SPECIES BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION",
                         " SPECIES ABUNDANCE BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION",
                         " SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT",
                     }));
  // clang-format on
}

TEST(SpeciesByMonth, TwoYearsAddTheAllYearsTableAndSummaries) {
  mv::Study st = makeStudy({"Loma"}, {"Ocelot", "Tapir"}, 2014, 2015);
  st.GROUPELEV(1) = 900;
  st.GROUPTRAPDAYS(1, 2014, 1) = 31;
  st.GROUPTRAPDAYS(1, 2015, 1) = 20;
  st.GROUPTRAPDAYS(1, 2015, 2) = 28;
  st.PICCOUNT(1, 1, 2014, 1, kInd) = 3;
  st.PICCOUNT(1, 1, 2014, 1, kIndiv) = 4;
  st.PICCOUNT(1, 1, 2015, 2, kInd) = 2;
  st.PICCOUNT(1, 1, 2015, 2, kIndiv) = 2;
  // Tapir has no picture.

  const std::string loma = name25("Loma");
  const std::string rateEnd = kRate0.substr(0, 5);
  // clang-format off
  std::vector<std::string> expected = {
      "SPECIES AND SPECIES RICHNESS BY YEAR AND MONTH",
      kNote,
      "2014",
      kSpeciesHeader,
      name25("Ocelot") + "  " + months5({"3"}, 11, "3"),
      "Total pics" + blanks(17) + months5({"3"}, 11, "3"),
      "Total days" + blanks(17) + months5({"31"}, 11, "31"),
      // 10 x 3/31 = 0.97
      "10*Pic/effort   " + blanks(11) + "  1.0 " + times(10, kRate0) + rateEnd,
      "Species richness" + blanks(11) + "    1 " + times(10, kZero5) + "    0",
      "",
      "2015",
      kSpeciesHeader,
      name25("Ocelot") + "  " + months5({"0", "2"}, 10, "2"),
      "Total pics" + blanks(17) + months5({"0", "2"}, 10, "2"),
      "Total days" + blanks(17) + months5({"20", "28"}, 10, "48"),
      // 10 x 2/28 = 0.71
      "10*Pic/effort   " + blanks(11) + "  0.0   0.7 " + times(9, kRate0) + rateEnd,
      "Species richness" + blanks(11) + "    0     1 " + times(9, kZero5) + "    0",
      "",
      // Section 2: every species has a row, i6 cells without blanks between.
      "SPECIES ALL YEARS BY MONTH",
      kNote,
      kSpeciesHeader,
      name25("Ocelot") + " " + fields(6, {"3", "2"}) + times(10, "     0") + "  " + "     5",
      name25("Tapir") + " " + times(12, "     0") + "  " + "     0",
      "Total pics" + blanks(16) + fields(6, {"3", "2"}) + times(10, "     0") + "  " + "     5",
      "Total days" + blanks(16) + fields(6, {"51", "28"}) + times(10, "     0") + "  " + "    79",
      // 10 x 3/51 = 0.59, 10 x 2/28 = 0.71
      "10*Pic/period   " + blanks(10) + "   0.6   0.7" + times(10, "   0.0"),
      "Species richness" + blanks(11) + "    1     1 " + times(9, kZero5) + "    0",
      "",
  };
  // clang-format on
  const std::vector<std::string> section3 = {
      "   SPECIES BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION",
      kNote,
      name25("Ocelot"),
      "2014",
      kPicturesHeader,
      // clang-format off
      loma + "  " + "  900" + "   " + months5({"3"}, 11, "3"),
      "Total pics" + blanks(25) + months5({"3"}, 11, "3"),
      "Total days" + blanks(25) + months5({"31"}, 11, "31"),
      "10*Pic/period    " + blanks(18) + "  1.0 " + times(10, kRate0) + rateEnd,
      "",
      "2015",
      kPicturesHeader,
      loma + "  " + "  900" + "   " + months5({"0", "2"}, 10, "2"),
      "Total pics" + blanks(25) + months5({"0", "2"}, 10, "2"),
      "Total days" + blanks(25) + months5({"20", "28"}, 10, "48"),
      "10*Pic/period    " + blanks(18) + "  0.0   0.7 " + times(9, kRate0) + rateEnd,
      "",
      "SUMMARY ALL YEARS",
      "2014 to 2015",
      name25("Ocelot"),
      kPicturesHeader,
      // The summary rows are shifted: 3 blanks before the elevation, 2 after.
      loma + "   " + "  900" + "  " + months5({"3", "2"}, 10, "5"),
      "Total pics" + blanks(25) + months5({"3", "2"}, 10, "5"),
      "Total days" + blanks(25) + months5({"51", "28"}, 10, "79"),
      "10*Pic/period    " + blanks(18) + "  0.6   0.7 " + times(9, kRate0) + rateEnd,
      "",
      name25("Tapir"),
      // No year block, but the summary with its headers and three total lines.
      "SUMMARY ALL YEARS",
      "2014 to 2015",
      name25("Tapir"),
      kPicturesHeader,
      "Total pics" + blanks(25) + months5({}, 12, "0"),
      "Total days" + blanks(25) + months5({"51", "28"}, 10, "79"),
      "10*Pic/period    " + blanks(18) + times(11, kRate0) + rateEnd,
      "",
  };
  // clang-format on
  append(expected, section3);
  const std::vector<std::string> section4 = {
      "SPECIES ABUNDANCE BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION",
      kNote,
      "  Use maximum number of individuals per period",
      name25("Ocelot"),
      "2014",
      kIndividualsHeader,
      // clang-format off
      loma + "  " + "  900" + "   " + months5({"4"}, 11, "4"),
      "Total pics" + blanks(25) + months5({"4"}, 11, "4"),
      "Total days" + blanks(25) + months5({"31"}, 11, "31"),
      // 10 x 4/31 = 1.29
      "10*Pic/period    " + blanks(18) + "  1.3 " + times(10, kRate0) + rateEnd,
      "",
      "2015",
      kIndividualsHeader,
      loma + "  " + "  900" + "   " + months5({"0", "2"}, 10, "2"),
      "Total pics" + blanks(25) + months5({"0", "2"}, 10, "2"),
      "Total days" + blanks(25) + months5({"20", "28"}, 10, "48"),
      "10*Pic/period    " + blanks(18) + "  0.0   0.7 " + times(9, kRate0) + rateEnd,
      "",
      "SUMMARY ALL YEARS",
      "2014 to 2015",
      name25("Ocelot"),
      kIndividualsHeader,
      loma + "   " + "  900" + "  " + months5({"4", "2"}, 10, "6"),
      "Total pics" + blanks(25) + months5({"4", "2"}, 10, "6"),
      "Total days" + blanks(25) + months5({"51", "28"}, 10, "79"),
      // 10 x 4/51 = 0.78
      "10*Pic/period    " + blanks(18) + "  0.8   0.7 " + times(9, kRate0) + rateEnd,
      "",
      name25("Tapir"),
      "SUMMARY ALL YEARS",
      "2014 to 2015",
      name25("Tapir"),
      kIndividualsHeader,
      "Total pics" + blanks(25) + months5({}, 12, "0"),
      "Total days" + blanks(25) + months5({"51", "28"}, 10, "79"),
      "10*Pic/period    " + blanks(18) + times(11, kRate0) + rateEnd,
      "",
  };
  // clang-format on
  append(expected, section4);
  const std::vector<std::string> sections56 = {
      "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT",
      kNote,
      "",
      "SUMMARY ALL YEARS",
      "2014 to 2015",
      kEffortHeader,
      name25("Ocelot"),
      // 5/79 = 0.063
      loma + blanks(3) + "  900" + blanks(8) + "  0.063" + blanks(6) + " 100.00",
      "",
      kEffortHeader,
      name25("Tapir"),
      "",
      "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT TABLE",
      kNote,
      "  Table shows frequency of all pictures normalized by effort for each species",
      "",
      "SUMMARY ALL YEARS",
      "2014 to 2015",
      // clang-format off
      "Group" + blanks(21) + "Elevation" + " " + "Ocelot" + " " + "Tapir ",
      loma + blanks(3) + "  900" + blanks(3) + "100.00 " + "  0.00",
      "",
  };
  // clang-format on
  append(expected, sections56);
  std::vector<std::string> console;
  EXPECT_EQ(mvtest::runSection(mv::SPECIESBYMONTH, st, &console), expected);
  EXPECT_EQ(console.size(), 5u);
  EXPECT_EQ(console[1], " SPECIES ALL YEARS BY MONTH");
}

TEST(SpeciesByMonth, GroupWithPicturesButNoDaysGetsNoEffortLine) {
  mv::Study st = makeStudy({"Cerro", "Loma"}, {"Ocelot"}, 2015, 2015);
  st.GROUPELEV(1) = 300;
  st.GROUPELEV(2) = 900;
  st.GROUPTRAPDAYS(1, 2015, 5) = 40;
  st.PICCOUNT(1, 1, 2015, 5, kInd) = 2;
  st.PICCOUNT(2, 1, 2015, 5, kInd) = 3;  // Loma never operated
  const std::vector<std::string> lines = mvtest::runSection(mv::SPECIESBYMONTH, st);
  auto at = std::find(lines.begin(), lines.end(), "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT");
  ASSERT_NE(at, lines.end());
  ASSERT_LE(at + 9, lines.end());
  // clang-format off
  const std::vector<std::string> expected = {
      "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT",
      kNote,
      "",
      "SUMMARY ALL YEARS",
      "2015 to 2015",
      kEffortHeader,
      name25("Ocelot"),
      // 2/40 = 0.050, the whole of the rates' sum.
      name25("Cerro") + blanks(3) + "  300" + blanks(8) + "  0.050" + blanks(6) + " 100.00",
      "",
  };
  // clang-format on
  EXPECT_EQ(std::vector<std::string>(at, at + 9), expected);
}
