#include <algorithm>
#include <string>
#include <vector>

#include "abundance/abundance.hpp"
#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"

using namespace sectiontest;

namespace {

constexpr int kInd = mv::kIndependentPictures;

const std::string kNote = "  One record of each species per location per PERIOD";
const std::string kTotal = "Total days pics; Avg rate";
const std::string kSpeciesHead1 =
    blanks(28) + "Total" + blanks(3) + "Total" + blanks(5) + "Pics" + blanks(10) + "Species";
const std::string kMonthsHead1 =
    blanks(28) + "Total" + blanks(3) + "Total" + blanks(5) + "Pics" + blanks(10) + "Months ";
const std::string kSpeciesHead2 = "Group" + blanks(24) + "days" + blanks(3) + " pics" + blanks(5) + "/prd";
const std::string kMonthHead2 =
    "Group" + blanks(24) + "days" + blanks(4) + "pics" + blanks(5) + "/prd" + blanks(7) +
    "Jan     Feb     Mar     Apr     May     Jun     Jul     Aug     Sep     Oct     Nov     Dec";

// "(a25,2x,i6,2x,i6,1x,f8.2,2x,...)": label, days, records, rate; cells follow.
std::string row(const std::string& label, const char* days, const char* records, const char* rate) {
  // clang-format off
  return label + "  " + rj(days, 6) + "  " + rj(records, 6) + " " + rj(rate, 8);
  // clang-format on
}

}  // namespace

TEST(DetectionRates, OneSpeciesOverTwoYears) {
  mv::Study st = makeStudy({"Alto", "Bajo", "Cima"}, {"Margay"}, 2014, 2015);
  st.GROUPTRAPDAYS(1, 2014, 1) = 100;
  st.GROUPTRAPDAYS(1, 2014, 2) = 60;
  st.GROUPTRAPDAYS(2, 2015, 1) = 30;
  // Cima never operated.
  st.PICCOUNT(1, 1, 2014, 1, kInd) = 15;
  st.PICCOUNT(1, 1, 2014, 2, kInd) = 6;
  st.PICCOUNT(2, 1, 2015, 1, kInd) = 3;

  const std::string margayHead = kSpeciesHead2 + blanks(3) + " Margay";
  const std::string zero8 = "    0.00";
  std::vector<std::string> console;
  // clang-format off
  const std::vector<std::string> expected = {
      "DETECTION RATE FOR EACH SPECIES PER YEAR",
      kNote,
      "  Number of pictures/prd multiplied by 100",
      "Year 2014",
      kSpeciesHead1,
      margayHead,
      // 21 x 100 / 160 = 13.125 exactly: 13.13
      row(name25("Alto"), "160", "21", "13.13") + "  " + "   13.13",
      // The Total row's species cell divides first: (21 / 160) x 100 = 13.124999
      row(kTotal, "160", "21", "13.13") + "  " + "   13.12",
      "",
      "Year 2015",
      kSpeciesHead1,
      margayHead,
      // Alto had no days in 2015: no row and nothing in the Total row.
      row(name25("Bajo"), "30", "3", "10.00") + "  " + "   10.00",
      row(kTotal, "30", "3", "10.00") + "  " + "   10.00",
      "",
      "DETECTION RATE SUMMARY FOR EACH SPECIES",
      kNote,
      "  Number of pictures/PERIOD multiplied by 100",
      "Years 2014 to 2015",
      // First block: species 1 to 0, no species columns.
      kSpeciesHead1,
      kSpeciesHead2,
      row(name25("Alto"), "160", "21", "13.13"),
      row(name25("Bajo"), "30", "3", "10.00"),
      row(name25("Cima"), "0", "0", "0.00"),
      // 24 x 100 / 190 = 12.63
      row(kTotal, "190", "24", "12.63"),
      "",
      "Species list continued",
      kSpeciesHead1,
      margayHead,
      row(name25("Alto"), "160", "21", "13.13") + "  " + "   13.13",
      row(name25("Bajo"), "30", "3", "10.00") + "  " + "   10.00",
      // A group without days over the study: its cell is 0.00.
      row(name25("Cima"), "0", "0", "0.00") + "  " + zero8,
      // Here the cell multiplies first, as all other cells: 13.125 would give 13.13
      row(kTotal, "190", "24", "12.63") + "  " + "   12.63",
      "",
      "DETECTION RATE FOR EACH GROUP BY MONTH",
      kNote,
      "Year 2014",
      kMonthsHead1,
      kMonthHead2,
      // 21/160 = 0.131, 15/100 = 0.15, 6/60 = 0.10
      row(name25("Alto"), "160", "21", "0.13") + "  " + "    0.15    0.10" + times(10, zero8),
      row(kTotal, "160", "21", "0.13") + "  " + "    0.15    0.10" + times(10, zero8),
      "",
      "Year 2015",
      kMonthsHead1,
      kMonthHead2,
      row(name25("Bajo"), "30", "3", "0.10") + "  " + "    0.10" + times(11, zero8),
      row(kTotal, "30", "3", "0.10") + "  " + "    0.10" + times(11, zero8),
      "",
      "DETECTION RATE SUMMARY FOR EACH GROUP BY MONTH",
      kNote,
      "Years 2014 to 2015",
      kMonthsHead1,
      kMonthHead2,
      row(name25("Alto"), "160", "21", "0.13") + "  " + "    0.15    0.10" + times(10, zero8),
      row(name25("Bajo"), "30", "3", "0.10") + "  " + "    0.10" + times(11, zero8),
      // 24/190 = 0.126, January 18/130 = 0.138, February 6/60 = 0.10
      row(kTotal, "190", "24", "0.13") + "  " + "    0.14    0.10" + times(10, zero8),
      "",
  };
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::DETECTIONRATES, st, &console), expected);
  // clang-format off
  EXPECT_EQ(console, (std::vector<std::string>{" DETECTION RATE FOR EACH SPECIES PER YEAR",
                                               " DETECTION RATE FOR EACH GROUP BY MONTH"}));
  // clang-format on
}

namespace {

// A single-year study of one group with 10 camera trap days in January and
// one record of the first species; species k is named "S<k>abcdefgh".
mv::Study manySpecies(int n) {
  std::vector<std::string> names;
  for (int k = 1; k <= n; ++k) names.push_back((k < 10 ? "S0" : "S") + std::to_string(k) + "abcdefgh");
  mv::Study st = makeStudy({"Alto"}, names, 2015, 2015);
  st.GROUPTRAPDAYS(1, 2015, 1) = 10;
  st.PICCOUNT(1, 1, 2015, 1, kInd) = 1;
  return st;
}

// The species head and the two rows of one block of species first..last.
std::vector<std::string> speciesBlock(int first, int last) {
  std::string head = kSpeciesHead2 + blanks(3);
  std::string cells;
  for (int k = first; k <= last; ++k) {
    // Each abbreviation is the first 6 characters between two blanks; the
    // last blank of the line is not written.
    // Appended piece by piece: GCC 12 at -O3 takes `" " + std::string` (an
    // insert at the front) for an overlapping copy and warns (-Wrestrict).
    head += ' ';
    head += k < 10 ? "S0" : "S";
    head += std::to_string(k);
    head += "abc";
    if (k < last) head += ' ';
    cells += k == 1 ? "   10.00" : "    0.00";
  }
  // clang-format off
  return {kSpeciesHead1, head, row(name25("Alto"), "10", "1", "10.00") + "  " + cells,
          row(kTotal, "10", "1", "10.00") + "  " + cells};
  // clang-format on
}

}  // namespace

TEST(DetectionRates, TwentySpeciesMakeOneBlockAndTwentyOneTwo) {
  std::vector<std::string> expected20 = {"DETECTION RATE FOR EACH SPECIES PER YEAR", kNote,
                                         "  Number of pictures/prd multiplied by 100", "Year 2015"};
  for (const std::string& line : speciesBlock(1, 20)) expected20.push_back(line);
  expected20.push_back("");
  expected20.push_back("DETECTION RATE FOR EACH GROUP BY MONTH");
  std::vector<std::string> lines = mvtest::runSection(mv::DETECTIONRATES, manySpecies(20));
  lines.resize(expected20.size());
  EXPECT_EQ(lines, expected20);

  std::vector<std::string> expected21 = {"DETECTION RATE FOR EACH SPECIES PER YEAR", kNote,
                                         "  Number of pictures/prd multiplied by 100", "Year 2015"};
  for (const std::string& line : speciesBlock(1, 10)) expected21.push_back(line);
  expected21.push_back("");
  expected21.push_back("Species list continued");
  for (const std::string& line : speciesBlock(11, 21)) expected21.push_back(line);
  expected21.push_back("");
  expected21.push_back("DETECTION RATE FOR EACH GROUP BY MONTH");
  lines = mvtest::runSection(mv::DETECTIONRATES, manySpecies(21));
  lines.resize(expected21.size());
  EXPECT_EQ(lines, expected21);
}

TEST(DetectionRates, YearWithoutAnyCameraShowsZeroTotals) {
  mv::Study st = makeStudy({"Alto"}, {"Margay"}, 2013, 2015);
  st.GROUPTRAPDAYS(1, 2013, 12) = 31;
  st.GROUPTRAPDAYS(1, 2015, 1) = 31;
  st.PICCOUNT(1, 1, 2014, 6, kInd) = 2;  // pictures, but no camera trap days in 2014
  const std::string zero8 = "    0.00";
  const std::vector<std::string> lines = mvtest::runSection(mv::DETECTIONRATES, st);
  const std::string margayHead = kSpeciesHead2 + blanks(3) + " Margay";

  // The 2014 block of the species section: no group row, a Total row of zeros.
  const std::vector<std::string> year2014 = {"Year 2014", kSpeciesHead1, margayHead,
                                             // clang-format off
                                             row(kTotal, "0", "0", "0.00") + "  " + zero8, ""};
  // clang-format on
  ASSERT_GE(lines.size(), 18u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 9, lines.begin() + 14), year2014);

  // The 2014 block of the month section: the Total row counts the records of
  // every group, with 0 days its rate and cells are 0.00.
  const std::vector<std::string> months2014 = {"Year 2014", kMonthsHead1, kMonthHead2,
                                               // clang-format off
                                               row(kTotal, "0", "2", "0.00") + "  " + times(12, zero8), ""};
  // clang-format on
  auto at = std::find(lines.begin(), lines.end(), "DETECTION RATE FOR EACH GROUP BY MONTH");
  ASSERT_NE(at, lines.end());
  at += 8;  // the title, the note and the 2013 block of six lines
  ASSERT_LE(at + 5, lines.end());
  EXPECT_EQ(std::vector<std::string>(at, at + 5), months2014);
}

// A study without operating periods has years 3000 to 1000: no year section
// and no species summary, but the month summary, as the first and last
// study years differ.
TEST(DetectionRates, StudyWithoutPeriodsWritesTheMonthSummary) {
  mv::Study st = makeStudy({"Alto"}, {"Margay"}, 3000, 1000);
  const std::vector<std::string> lines = mvtest::runSection(mv::DETECTIONRATES, st);
  const auto at = std::find(lines.begin(), lines.end(), "DETECTION RATE SUMMARY FOR EACH GROUP BY MONTH");
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(*(at + 2), "Years 3000 to 1000");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DETECTION RATE SUMMARY FOR EACH SPECIES"), 0);
}
