// Picture counts per study year and per species, and the species ranked by
// their independent pictures.
#include <numeric>
#include <utility>
#include <vector>

#include "effort/effort.hpp"
#include "report/section.hpp"

namespace mv {

void COUNTPICS(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  const int ns = st.NSPECIES;
  const int ng = st.NGROUPS;

  // SY(species, year, column): columns 1..4 the four kinds summed over groups
  // and months, column 5 the groups with a picture of the species that year.
  Table<int, 3> SY;
  SY.resize({Range{1, ns}, st.years(), Range{1, 5}}, 0);
  // ST(species, column): the same over all years.
  Table<int, 2> ST;
  ST.resize({Range{1, ns}, Range{1, 5}}, 0);
  int GT[5] = {0, 0, 0, 0, 0};  // grand totals, kinds 1..4
  int AT[5] = {0, 0, 0, 0, 0};  // all-species totals, kinds 1..4

  // Section 1: pictures per year.
  sectionTitle(report, console, "NUMBER OF PICTURES AND FILTERED PICTURES PER YEAR");
  report.write("(8x,a42)", "Year       All Activity   Period Abundance");
  // One pass through PICCOUNT in storage order (group, species, year,
  // month, kind): the sums are integers, so their order does not matter.
  // `groupsWith` counts the groups with a picture of the species in any year.
  std::vector<int> groupsWith(static_cast<std::size_t>(ns) + 1, 0);
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s) {
      bool seen = false;
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
        bool seenInYear = false;
        for (int m = 1; m <= 12; ++m) {
          for (int k = 1; k <= 4; ++k) SY(s, y, k) += tallies.PICCOUNT(g, s, y, m, k);
          seenInYear = seenInYear || tallies.PICCOUNT(g, s, y, m, kAllPictures) > 0;
        }
        if (seenInYear) SY(s, y, 5) += 1;
        seen = seen || seenInYear;
      }
      if (seen) groupsWith[static_cast<std::size_t>(s)] += 1;
    }
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    int YT[5] = {0, 0, 0, 0, 0};
    for (int k = 1; k <= 4; ++k)
      for (int s = 1; s <= ns; ++s) YT[k] += SY(s, y, k);
    report.write("(8x,i4,4x,4(i6,3x))", y, YT[1], YT[2], YT[3], YT[4]);
    for (int k = 1; k <= 4; ++k) GT[k] += YT[k];
  }
  report.write("(8x,a5,4(2x,i7))", "Total", GT[1], GT[2], GT[3], GT[4]);
  report.blank();

  // Section 2: pictures by species by year.
  report.write("(a37)", "NUMBER OF PICTURES BY SPECIES BY YEAR");
  for (int s = 1; s <= ns; ++s) {
    report.write("(2x,a25)", st.SPECIESNAME(s));
    report.write("(8x,a50)", "Year       All Activity   Period Abundance  Groups");
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
      report.write("(8x,i4,4x,5(i6,3x))", y, SY(s, y, 1), SY(s, y, 2), SY(s, y, 3), SY(s, y, 4), SY(s, y, 5));
      for (int k = 1; k <= 4; ++k) ST(s, k) += SY(s, y, k);
    }
    for (int k = 1; k <= 4; ++k) AT[k] += ST(s, k);
    ST(s, 5) = groupsWith[static_cast<std::size_t>(s)];
    report.write("(8x,a5,5(2x,i7))", "Total", ST(s, 1), ST(s, 2), ST(s, 3), ST(s, 4), ST(s, 5));
    report.blank();
  }
  if (ns > 1) {
    report.write("(2x,a11)", "All species");
    // The fifth column is the number of locations, not of groups.
    report.write("(8x,a5,5(2x,i7))", "Total", AT[1], AT[2], AT[3], AT[4], st.NLOCATIONS);
    report.blank();
  }

  // Section 3: species ranked by independent pictures. The plain exchange
  // procedure is not stable: it alone decides the order of equal counts.
  report.write("(a70)", "SPECIES RANKED BY NUMBER OF INDEPENTDENT PICTURES AND PERCENT OF TOTAL");
  report.write("(5x,a7,18x,a5,3x,a7)", "Species", "Total", "Percent");
  std::vector<int> order(static_cast<std::size_t>(ns) + 1);
  std::iota(order.begin(), order.end(), 0);
  for (int i = 1; i <= ns - 1; ++i)
    for (int j = i + 1; j <= ns; ++j)
      if (ST(order[i], 3) < ST(order[j], 3)) std::swap(order[i], order[j]);
  for (int i = 1; i <= ns; ++i) {
    const int s = order[i];
    // Without any independent picture the share is shown as 0.
    const float percent = GT[3] != 0 ? static_cast<float>(ST(s, 3)) * 100.0f / static_cast<float>(GT[3]) : 0.0f;
    report.write("(2x,a25,1x,i7,2x,f8.4)", st.SPECIESNAME(s), ST(s, 3), percent);
  }
  if (ns > 1) report.write("(2x,a5,21x,i7,2x,a8)", "Total", GT[3], "100.0000");
  report.blank();
}

}  // namespace mv
