#include <algorithm>
#include <vector>

#include "tallies/tallies.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

// Groups twelve to a block: a header of names cut to 10 characters, one line
// per species with its average individuals per record in the years
// first..last, and an empty line. The all-years cell is the ratio of the
// sums, not the mean of the yearly cells.
void writeBlocks(const StudyInput& st, const PictureTallies& tallies, Writer& report, int first, int last) {
  const int ng = st.NGROUPS;
  const auto ns = static_cast<std::size_t>(st.NSPECIES);
  // The cells of one block, species by the block's 12 columns, worked out
  // group after group (PICCOUNT holds a group's species together).
  std::vector<float> cell((ns + 1) * 12, 0.0f);
  std::vector<Value> values;
  const int blocks = (ng + 11) / 12;
  for (int b = 1; b <= blocks; ++b) {
    const int g1 = 12 * b - 11;
    const int g2 = std::min(12 * b, ng);

    values.clear();
    values.emplace_back("Species");
    for (int g = g1; g <= g2; ++g) values.emplace_back(st.GROUPNAME(g));
    report.writeValues("(a7,20x,12(a10,1x))", values);

    std::fill(cell.begin(), cell.end(), 0.0f);
    for (int g = g1; g <= g2; ++g)
      for (int s = 1; s <= st.NSPECIES; ++s) {
        int records = 0;
        int individuals = 0;
        for (int y = first; y <= last; ++y)
          for (int m = 1; m <= 12; ++m) {
            records += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);
            individuals += tallies.PICCOUNT(g, s, y, m, kIndividuals);
          }
        if (records > 0)
          cell[static_cast<std::size_t>(s) * 12 + static_cast<std::size_t>(g - g1)] =
              static_cast<float>(individuals) / static_cast<float>(records);
      }
    for (int s = 1; s <= st.NSPECIES; ++s) {
      values.clear();
      values.emplace_back(st.SPECIESNAME(s));
      for (int g = g1; g <= g2; ++g)
        values.emplace_back(cell[static_cast<std::size_t>(s) * 12 + static_cast<std::size_t>(g - g1)]);
      report.writeValues("(a25,1x,12(f5.2,6x))", values);
    }
    report.blank();
  }
}

}  // namespace

void SPECIESBYGROUP(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  sectionTitle(report, console, "SPECIES AVERAGE ABUNDANCE BY YEAR AND GROUP");
  report.write("(a52)", "  One record of each species per location per PERIOD");
  report.write("(a59)", "  Use maximum number of individuals per location per PERIOD");

  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    report.write("(i4)", y);
    writeBlocks(st, tallies, report, y, y);
  }

  if (st.FIRSTYEAR < st.LASTYEAR) {
    report.write("(a44)", "SPECIES AVERAGE ABUNDANCE BY GROUP ALL YEARS");
    report.write("(i4,a4,i4)", st.FIRSTYEAR, " to ", st.LASTYEAR);
    writeBlocks(st, tallies, report, st.FIRSTYEAR, st.LASTYEAR);
  }
}

}  // namespace mv
