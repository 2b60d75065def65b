#include <string>
#include <vector>

#include "abundance/abundance.hpp"
#include "support/test_support.hpp"
#include "tallies/report_lines.hpp"

using namespace sectiontest;

namespace {

constexpr int kInd = mv::kIndependentPictures;
constexpr int kIndiv = mv::kIndividuals;

// clang-format off
const std::string kHead = "SPECIES" + blanks(19) + "NUMBER PICS" + blanks(6) + "RELATIVE ABUNDANCE" + blanks(5) +
                          "AVG NUM INDIVS" + blanks(5) + "ABUNDANCE OF INDIVS";
// clang-format on

// "(a25,2x,i6,16x,f6.2,13x,f7.2,13x,f7.2)"
std::string row(const char* name, const char* records, const char* relative, const char* average, const char* share) {
  // clang-format off
  return name25(name) + "  " + rj(records, 6) + blanks(16) + rj(relative, 6) + blanks(13) + rj(average, 7) +
         blanks(13) + rj(share, 7);
  // clang-format on
}

// The section around its rows: the title, the note and the column heads
// first, an empty line last.
std::vector<std::string> section(std::vector<std::string> rows) {
  rows.insert(rows.begin(), {"SPECIES ABUNDANCE", "  One record of each species per location per PERIOD", kHead});
  rows.push_back("");
  return rows;
}

}  // namespace

TEST(SpeciesAbundance, SpeciesWithoutRecordsHasNoRow) {
  mv::Study st = makeStudy({"East", "West"}, {"Ocelot", "Puma", "Tapir"}, 2014, 2015);
  st.PICCOUNT(1, 1, 2014, 2, kInd) = 2;
  st.PICCOUNT(1, 1, 2014, 2, kIndiv) = 3;
  st.PICCOUNT(2, 1, 2015, 8, kInd) = 1;
  st.PICCOUNT(2, 1, 2015, 8, kIndiv) = 3;
  st.PICCOUNT(2, 2, 2015, 8, mv::kAllPictures) = 4;  // Puma: pictures but no record
  st.PICCOUNT(2, 3, 2015, 1, kInd) = 1;              // Tapir: a record of 0 individuals
  std::vector<std::string> console;
  // clang-format off
  const std::vector<std::string> expected = section({
      // 3 of 4 records, 6 individuals in 3 records, all 6 individuals
      row("Ocelot", "3", "75.00", "2.00", "100.00"),
      row("Tapir", "1", "25.00", "0.00", "0.00"),
      "Total  " + blanks(20) + "     4" + blanks(16) + "100.00",
  });
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::SPECIESABUNDANCE, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" SPECIES ABUNDANCE"});
}

TEST(SpeciesAbundance, SingleSpeciesHasNoTotalLine) {
  mv::Study st = makeStudy({"East"}, {"Ocelot"}, 2015, 2015);
  st.PICCOUNT(1, 1, 2015, 2, kInd) = 3;
  st.PICCOUNT(1, 1, 2015, 2, kIndiv) = 4;
  // clang-format off
  const std::vector<std::string> expected = section({
      row("Ocelot", "3", "100.00", "1.33", "100.00"),
  });
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::SPECIESABUNDANCE, st), expected);
}

TEST(SpeciesAbundance, RecordsWithoutIndividualsShowZeroShares) {
  mv::Study st = makeStudy({"East"}, {"Ocelot", "Tapir"}, 2015, 2015);
  st.PICCOUNT(1, 1, 2015, 2, kInd) = 1;
  st.PICCOUNT(1, 2, 2015, 3, kInd) = 2;
  // clang-format off
  const std::vector<std::string> expected = section({
      // 1/3 = 33.33, 2/3 = 66.67; no individuals at all: 0.00
      row("Ocelot", "1", "33.33", "0.00", "0.00"),
      row("Tapir", "2", "66.67", "0.00", "0.00"),
      "Total  " + blanks(20) + "     3" + blanks(16) + "100.00",
  });
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::SPECIESABUNDANCE, st), expected);
}
