#include <string>
#include <vector>

#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"
#include "tallies/tallies.hpp"

using namespace sectiontest;

namespace {

constexpr int kInd = mv::kIndependentPictures;

// clang-format off
const std::string kMonthHeader =
    "    Jan    Feb    Mar    Apr    May    Jun    Jul    Aug    Sep    Oct    Nov    Dec   Total";
// clang-format on
const std::string kSpeciesHead = "Species" + blanks(19) + "Total Percent";

// "(i6,2x,f6.2)" pairs of section 1, 18 blanks between two groups.
// clang-format off
std::string pair(const char* count, const char* percent) { return rj(count, 6) + "  " + rj(percent, 6); }

}  // namespace

TEST(GroupSpeciesPics, SevenGroupsInBlocksOfThreeThenTheYearTable) {
  mv::Study st =
      makeStudy({"Alto", "Bajo", "Cima", "Delta", "Este", "Faro", "Gruta"}, {"Ocelot", "Tapir"}, 2015, 2015);
  // clang-format on
  st.PICCOUNT(1, 1, 2015, 1, kInd) = 2;
  st.PICCOUNT(1, 1, 2015, 7, kInd) = 1;
  st.PICCOUNT(1, 2, 2015, 3, kInd) = 1;
  st.PICCOUNT(3, 1, 2015, 5, kInd) = 1;
  st.PICCOUNT(3, 2, 2015, 5, kInd) = 2;
  st.PICCOUNT(7, 2, 2015, 11, kInd) = 5;
  st.PICCOUNT(7, 2, 2015, 11, mv::kAllPictures) = 9;  // other kinds are not read
  // Bajo operated in January but photographed nothing.
  st.GROUPTRAPDAYS(2, 2015, 1) = 31;

  const std::string b18 = blanks(18);
  const std::string b7 = blanks(7);
  const std::string b19 = blanks(19);
  std::vector<std::string> console;
  // clang-format off
  const std::vector<std::string> expected = {
      "FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES",
      "  Use independent picture",
      blanks(26) + name25("Alto") + b7 + name25("Bajo") + b7 + name25("Cima"),
      kSpeciesHead + b19 + "Total Percent" + b19 + "Total Percent",
      name25("Ocelot") + pair("3", "75.00") + b18 + pair("0", "0.00") + b18 + pair("1", "33.33"),
      name25("Tapir") + pair("1", "25.00") + b18 + pair("0", "0.00") + b18 + pair("2", "66.67"),
      "Total pictures" + blanks(11) + pair("4", "100.00") + b18 + pair("0", "100.00") + b18 + pair("3", "100.00"),
      "",
      blanks(26) + name25("Delta") + b7 + name25("Este") + b7 + name25("Faro"),
      kSpeciesHead + b19 + "Total Percent" + b19 + "Total Percent",
      name25("Ocelot") + pair("0", "0.00") + b18 + pair("0", "0.00") + b18 + pair("0", "0.00"),
      name25("Tapir") + pair("0", "0.00") + b18 + pair("0", "0.00") + b18 + pair("0", "0.00"),
      "Total pictures" + blanks(11) + pair("0", "100.00") + b18 + pair("0", "100.00") + b18 + pair("0", "100.00"),
      "",
      blanks(26) + name25("Gruta"),
      kSpeciesHead,
      name25("Ocelot") + pair("0", "0.00"),
      name25("Tapir") + pair("5", "100.00"),
      "Total pictures" + blanks(11) + pair("5", "100.00"),
      "",
      "FOR EACH GROUP AND MONTH TOTAL NUMBER EACH SPECIES",
      "  Use independent picture",
      "2015",
      // Only Bajo operated: its block has no species line.
      name25("Bajo") + " " + kMonthHeader,
      "Total pictures" + blanks(12) + times(12, "      0") + "       0",
      "Total effort" + blanks(14) + "     31" + times(11, "      0") + "      31",
      "Total pics/Total effort" + blanks(3) + times(12, "   0.00") + "    0.00",
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::GROUPSPECIESPICS, st, &console), expected);
  // clang-format off
  EXPECT_EQ(console, (std::vector<std::string>{" FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES",
                                               " FOR EACH GOUP AND MONTH TOTAL NUMBER EACH SPECIES"}));
  // clang-format on
}

TEST(GroupSpeciesPics, SingleSpeciesOverTwoYears) {
  mv::Study st = makeStudy({"North"}, {"Puma"}, 2014, 2015);
  st.GROUPTRAPDAYS(1, 2014, 1) = 31;
  st.GROUPTRAPDAYS(1, 2014, 2) = 28;
  st.GROUPTRAPDAYS(1, 2015, 1) = 10;
  st.PICCOUNT(1, 1, 2014, 1, kInd) = 3;
  st.PICCOUNT(1, 1, 2015, 1, kInd) = 2;
  st.PICCOUNT(1, 1, 2015, 3, kInd) = 1;  // March 2015 has pictures but no camera trap days

  std::vector<std::string> console;
  // clang-format off
  const std::vector<std::string> expected = {
      "FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES",
      "  Use independent picture",
      blanks(26) + name25("North"),
      kSpeciesHead,
      name25("Puma") + pair("6", "100.00"),
      // No "Total pictures" line with a single species.
      "",
      "FOR EACH GROUP AND MONTH TOTAL NUMBER EACH SPECIES",
      "  Use independent picture",
      "2014",
      name25("North") + " " + kMonthHeader,
      name25("Puma") + " " + "      3" + times(11, "      0") + "       3",
      "Total effort" + blanks(14) + "     31     28" + times(10, "      0") + "      59",
      // 3/31 = 0.097, 3/59 = 0.051
      "Total pics/Total effort" + blanks(3) + "   0.10   0.00" + times(10, "   0.00") + "    0.05",
      "",
      "2015",
      name25("North") + " " + kMonthHeader,
      name25("Puma") + " " + "      2      0      1" + times(9, "      0") + "       3",
      "Total effort" + blanks(14) + "     10" + times(11, "      0") + "      10",
      // 2/10 = 0.20; March without days 0.00; year 3/10 = 0.30
      "Total pics/Total effort" + blanks(3) + "   0.20   0.00   0.00" + times(9, "   0.00") + "    0.30",
      "",
      "ALL GROUPS ALL SPECIES FOR EACH MONTH FOR ALL YEARS",
      "  Use independent picture",
      "2014 to 2015",
      name25("North") + " " + kMonthHeader,
      name25("Puma") + " " + "      5      0      1" + times(9, "      0") + "       6",
      // Written here whatever the number of species.
      "Total pictures" + blanks(12) + "      5      0      1" + times(9, "      0") + "       6",
      "Total effort" + blanks(14) + "     41     28      0" + times(9, "      0") + "      69",
      // 5/41 = 0.122, 6/69 = 0.087
      "Total pics/Total effort" + blanks(3) + "   0.12   0.00   0.00" + times(9, "   0.00") + "    0.09",
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::GROUPSPECIESPICS, st, &console), expected);
  // clang-format off
  EXPECT_EQ(console, (std::vector<std::string>{" FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES",
                                               " FOR EACH GOUP AND MONTH TOTAL NUMBER EACH SPECIES",
                                               " ALL GROUPS ALL SPECIES FOR EACH MONTH FOR ALL YEARS"}));
  // clang-format on
}
