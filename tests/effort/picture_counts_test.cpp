#include <vector>

#include "effort/effort.hpp"
#include "effort/expect_lines.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace {

std::string N(const char* name) { return mv::makeName(name); }

// Groups without names.
mv::Study countStudy(int groups, const std::vector<std::string>& species, int firstYear, int lastYear, int locations) {
  return mvtest::makeStudy(std::vector<std::string>(static_cast<std::size_t>(groups)), species, firstYear, lastYear,
                           locations);
}

void tally(mv::Study& st, int g, int s, int y, int m, int all, int activity, int independent, int individuals) {
  st.PICCOUNT(g, s, y, m, 1) = all;
  st.PICCOUNT(g, s, y, m, 2) = activity;
  st.PICCOUNT(g, s, y, m, 3) = independent;
  st.PICCOUNT(g, s, y, m, 4) = individuals;
}

std::vector<std::string> run(const mv::Study& st) {
  return mvtest::runSectionExpecting(mv::COUNTPICS, st, {" NUMBER OF PICTURES AND FILTERED PICTURES PER YEAR"});
}

}  // namespace

// Independent pictures 1, 2, 1, 2 in species-list order; Puma is seen at two
// groups in 2011 and a third in 2012.
TEST(CountPics, ThreeSectionsWithGroupsColumnAndUnstableRanking) {
  mv::Study st = countStudy(3, {"Ocelot", "Puma", "Tapir", "Margay"}, 2011, 2012, 5);
  tally(st, 1, 1, 2011, 3, 3, 2, 1, 1);
  tally(st, 1, 2, 2011, 1, 1, 1, 1, 2);
  tally(st, 2, 2, 2011, 6, 2, 1, 0, 0);
  tally(st, 3, 2, 2012, 12, 1, 1, 1, 1);
  tally(st, 2, 3, 2012, 7, 1, 1, 1, 1);
  tally(st, 3, 4, 2012, 2, 4, 3, 2, 5);
  const std::string heading = "        Year       All Activity   Period Abundance  Groups";
  // clang-format off
  const std::vector<std::string> expected = {
      "NUMBER OF PICTURES AND FILTERED PICTURES PER YEAR",
      "        Year       All Activity   Period Abundance",
      "        2011         6        4        2        3",
      "        2012         6        5        4        7",
      "        Total       12        9        6       10",
      "",
      "NUMBER OF PICTURES BY SPECIES BY YEAR",
      "  " + N("Ocelot"),
      heading,
      "        2011         3        2        1        1        1",
      "        2012         0        0        0        0        0",
      "        Total        3        2        1        1        1",
      "",
      "  " + N("Puma"),
      heading,
      "        2011         3        2        1        2        2",
      "        2012         1        1        1        1        1",
      "        Total        4        3        2        3        3",
      "",
      "  " + N("Tapir"),
      heading,
      "        2011         0        0        0        0        0",
      "        2012         1        1        1        1        1",
      "        Total        1        1        1        1        1",
      "",
      "  " + N("Margay"),
      heading,
      "        2011         0        0        0        0        0",
      "        2012         4        3        2        5        1",
      "        Total        4        3        2        5        1",
      "",
      "  All species",
      "        Total       12        9        6       10        5",  // 5 locations, not 3 groups
      "",
      "SPECIES RANKED BY NUMBER OF INDEPENTDENT PICTURES AND PERCENT OF TOTAL",
      "     Species                  Total   Percent",
      // Exchange procedure on 1, 2, 1, 2: species 2, 4, 3, 1.
      "  " + N("Puma") + "       2   33.3333",
      "  " + N("Margay") + "       2   33.3333",
      "  " + N("Tapir") + "       1   16.6667",
      "  " + N("Ocelot") + "       1   16.6667",
      "  Total" + std::string(21, ' ') + "      6  100.0000",
      "",
  };
  // clang-format on
  mvtest::expectLines(run(st), expected);
}

TEST(CountPics, SingleSpeciesWithoutIndependentPictures) {
  mv::Study st = countStudy(1, {"Tayra"}, 2015, 2015, 2);
  tally(st, 1, 1, 2015, 4, 2, 1, 0, 0);
  // clang-format off
  const std::vector<std::string> expected = {
      "NUMBER OF PICTURES AND FILTERED PICTURES PER YEAR",
      "        Year       All Activity   Period Abundance",
      "        2015         2        1        0        0",
      "        Total        2        1        0        0",
      "",
      "NUMBER OF PICTURES BY SPECIES BY YEAR",
      "  " + N("Tayra"),
      "        Year       All Activity   Period Abundance  Groups",
      "        2015         2        1        0        0        1",
      "        Total        2        1        0        0        1",
      "",
      // One species: no "All species" block and no ranking total; no
      // independent picture at all: the percent shows 0.
      "SPECIES RANKED BY NUMBER OF INDEPENTDENT PICTURES AND PERCENT OF TOTAL",
      "     Species                  Total   Percent",
      "  " + N("Tayra") + "       0    0.0000",
      "",
  };
  // clang-format on
  mvtest::expectLines(run(st), expected);
}
