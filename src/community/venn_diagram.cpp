// VENNDIAGRAM: which species share which groups — co-occurrence counts, the
// absence-presence matrix and the elevation range of each species.

#include <algorithm>
#include <utility>
#include <vector>

#include "community/community.hpp"
#include "community/independent_counts.hpp"
#include "effort/effort.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

// A species counts as photographed at a group when some study year and
// month hold an independent picture of it there.
bool photographed(const StudyInput& st, const PictureTallies& tallies, int g, int s) {
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
    for (int m = 1; m <= 12; ++m)
      if (tallies.PICCOUNT(g, s, y, m, kIndependentPictures) > 0) return true;
  return false;
}

// The presence table in blocks of 25 groups, each block with its own line of
// species and group counts.
void presenceBlocks(const StudyInput& st, const Table<int, 2>& present, Writer& report) {
  const int blocks = (st.NGROUPS + 24) / 25;
  std::vector<Value> values;
  for (int b = 1; b <= blocks; ++b) {
    const int first = 25 * (b - 1) + 1;
    const int last = std::min(25 * b, st.NGROUPS);
    report.write("(10x,a7,1x,a1,i3,a1,18x,a6,1x,a1,i3,a1)", "Species", "(", st.NSPECIES, ")", "Groups", "(", st.NGROUPS,
                 ")");
    values.clear();
    for (int g = first; g <= last; ++g) values.emplace_back(st.GROUPNAME(g));
    report.writeValues("(26x,25(a10,1x))", values);
    for (int s = 1; s <= st.NSPECIES; ++s) {
      values.clear();
      values.emplace_back(st.SPECIESNAME(s));
      for (int g = first; g <= last; ++g) values.emplace_back(present(g, s));
      report.writeValues("(a25,1x,25(i5,6x))", values);
    }
    report.blank();
  }
}

}  // namespace

Table<int, 2> cooccurrence(const StudyInput& st, const PictureTallies& tallies) {
  const int ng = st.NGROUPS;
  const int ns = st.NSPECIES;
  FlagRows groupsWith(ns, ng);
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s)
      if (photographed(st, tallies, g, s)) groupsWith.set(s, g);
  Table<int, 2> together;
  together.resize({st.species(), st.species()}, 0);
  for (int a = 1; a <= ns; ++a)
    for (int b = a; b <= ns; ++b) together(a, b) = groupsWith.common(a, b);
  for (int a = 1; a <= ns - 1; ++a)
    for (int b = a + 1; b <= ns; ++b) together(b, a) = together(a, b);
  return together;
}

void VENNDIAGRAM(const StudyInput& st, const PictureTallies& tallies, const GroupPositions& positions, Writer& report,
                 Writer& console) {
  const int ng = st.NGROUPS;
  const int ns = st.NSPECIES;

  // Presence of each species at each group (any year, any month).
  Table<int, 2> present;
  present.resize({st.groups(), st.species()}, 0);
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s)
      if (photographed(st, tallies, g, s)) present(g, s) = 1;

  console.free("SPECIES CO-OCCURRENCES");
  const Table<int, 2> together = cooccurrence(st, tallies);

  sectionTitle(report, console, "SPECIES CO-OCCURRENCE MATRIX");
  report.write("(a50)", "  The number of groups each species pair co-occurs");
  std::vector<Value> values;
  for (int s = 1; s <= ns; ++s) values.emplace_back(st.SPECIESNAME(s));
  report.writeValues("(26x,50(a6,1x))", values);
  for (int a = 1; a <= ns; ++a) {
    values.clear();
    values.emplace_back(st.SPECIESNAME(a));
    for (int b = 1; b <= ns; ++b) values.emplace_back(together(a, b));
    report.writeValues("(a25,1x,50(i3,4x))", values);
  }
  report.blank();

  sectionTitle(report, console, "ABSENCE-PRESENCE MATRIX");
  report.write("(a26)", "  Species vs groups matrix");
  presenceBlocks(st, present, report);

  const std::vector<int> order = elevationOrder(st, positions, ElevationOrder::LowestFirst);

  sectionTitle(report, console, "SPECIES MIN AND MAX ELEVATION");
  report.write("(a26)", "  Species vs groups matrix");
  // The same table again, groups in group order.
  presenceBlocks(st, present, report);

  report.write("(a31)", "  List of elevations and groups");
  for (int k = 1; k <= ng; ++k) {
    const int g = order[static_cast<std::size_t>(k - 1)];
    report.write("(i3,2x,i4,2x,a25)", k, positions.GROUPELEV(g), st.GROUPNAME(g));
  }
  report.blank();

  report.write("(a48)", "  Minimum and maximum elevation for each species");
  report.write("(a10,16x,a9)", "   SPECIES", " Min  Max");
  for (int s = 1; s <= ns; ++s) {
    // Start values 9999 and 0 bound the range; a species seen at a single
    // elevation (or nowhere) has no range and no line.
    int lo = 9999;
    int hi = 0;
    for (int g = 1; g <= ng; ++g)
      if (present(g, s) > 0) {
        if (positions.GROUPELEV(g) < lo) lo = positions.GROUPELEV(g);
        if (positions.GROUPELEV(g) > hi) hi = positions.GROUPELEV(g);
      }
    if (lo < hi) report.write("(a25,2(1x,i4))", st.SPECIESNAME(s), lo, hi);
  }
  report.blank();
}

}  // namespace mv
