#include <vector>

#include "abundance/abundance.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

// Every species' tally of one kind over every group, study year and month,
// summed in storage order (group first).
std::vector<int> speciesTotals(const StudyInput& st, const PictureTallies& tallies, int kind) {
  std::vector<int> totals(static_cast<std::size_t>(st.NSPECIES) + 1, 0);
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int s = 1; s <= st.NSPECIES; ++s)
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) totals[static_cast<std::size_t>(s)] += tallies.PICCOUNT(g, s, y, m, kind);
  return totals;
}

}  // namespace

void SPECIESABUNDANCE(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  sectionTitle(report, console, "SPECIES ABUNDANCE");
  report.write("(a52)", "  One record of each species per location per PERIOD");
  report.write("(a7,19x,a11,6x,a18,5x,a14,5x,a19)", "SPECIES", "NUMBER PICS", "RELATIVE ABUNDANCE", "AVG NUM INDIVS",
               "ABUNDANCE OF INDIVS");

  const std::vector<int> recordTotals = speciesTotals(st, tallies, kIndependentPictures);
  const std::vector<int> individualTotals = speciesTotals(st, tallies, kIndividuals);
  int allRecords = 0;
  int allIndividuals = 0;
  for (int s = 1; s <= st.NSPECIES; ++s) {
    allRecords += recordTotals[static_cast<std::size_t>(s)];
    allIndividuals += individualTotals[static_cast<std::size_t>(s)];
  }

  for (int s = 1; s <= st.NSPECIES; ++s) {
    const int records = recordTotals[static_cast<std::size_t>(s)];
    if (records == 0) continue;  // so allRecords > 0 below
    const int individuals = individualTotals[static_cast<std::size_t>(s)];
    const float relative = static_cast<float>(records) * 100.0f / static_cast<float>(allRecords);
    const float average = static_cast<float>(individuals) / static_cast<float>(records);
    // Records may all carry 0 individuals: then every share of individuals is 0.
    const float share =
        allIndividuals > 0 ? static_cast<float>(individuals) * 100.0f / static_cast<float>(allIndividuals) : 0.0f;
    report.write("(a25,2x,i6,16x,f6.2,13x,f7.2,13x,f7.2)", st.SPECIESNAME(s), records, relative, average, share);
  }

  if (st.NSPECIES > 1) report.write("(a7,20x,i6,16x,f6.2)", "Total  ", allRecords, 100.0f);
  report.blank();
}

}  // namespace mv
