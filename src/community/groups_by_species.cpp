// GROUPSBYSPECIES: richness of groups, frequency and Jaccard similarity of
// group pairs, species by group with position, and species overlap.

#include "community/groups_by_species.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "community/community.hpp"
#include "community/independent_counts.hpp"
#include "report/pair_table.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

// One top list: K entries, each the extreme cell among the pairs the earlier
// entries have not taken. Only a cell strictly beyond the entry's current
// value replaces it, so among equal cells the first pair met wins.
template <class Better>
void fillTopList(const StudyInput& st, const Table<float, 2>& cells, std::vector<PairEntry>& list, Better better) {
  const int n = st.NGROUPS;
  for (std::size_t k = 0; k < list.size(); ++k) {
    PairEntry& e = list[k];
    for (int i = 1; i <= n - 1; ++i)
      for (int j = i + 1; j <= n; ++j) {
        const float v = cells(i, j);
        if (v == -1.0f || std::isnan(v)) continue;
        if (!better(v, e.value)) continue;
        bool taken = false;
        for (std::size_t t = 0; t < k && !taken; ++t) taken = list[t].row == i && list[t].col == j;
        if (taken) continue;
        e.value = v;
        e.row = i;
        e.col = j;
        e.paired = true;
      }
  }
}

void richnessHeader(const StudyInput& st, int first, int last, bool rich, std::vector<Value>& values) {
  values.clear();
  values.emplace_back("Location");
  for (int s = first; s <= last; ++s) values.emplace_back(st.SPECIESNAME(s));
  if (rich) values.emplace_back("Rich");
}

// The group-by-species table for species first..last; `rich` adds the
// group richness column.
void richnessTable(const StudyInput& st, const Table<int, 2>& n, const std::vector<int>& richness,
                   const std::vector<int>& groupsOf, int first, int last, bool rich, Writer& report) {
  std::vector<Value> values;
  richnessHeader(st, first, last, rich, values);
  report.writeValues("(a8,26x,40(a4,2x))", values);
  for (int g = 1; g <= st.NGROUPS; ++g) {
    values.clear();
    values.emplace_back(st.GROUPNAME(g));
    for (int s = first; s <= last; ++s) values.emplace_back(n(g, s));
    if (rich) values.emplace_back(richness[static_cast<std::size_t>(g)]);
    report.writeValues("(a25,8x,40(i5,1x))", values);
  }
  values.clear();
  values.emplace_back("Richness");
  for (int s = first; s <= last; ++s) values.emplace_back(groupsOf[static_cast<std::size_t>(s)]);
  report.writeValues("(a8,24x,40(i6))", values);
}

void frequencyPairLines(const StudyInput& st, const std::vector<PairEntry>& list, Writer& report) {
  for (const PairEntry& e : list)
    if (e.paired)
      report.write("(5x,a25,2x,a25,2x,a9,f7.3)", st.GROUPNAME(e.row), st.GROUPNAME(e.col), "10*R^2 = ", e.value);
}

void jaccardPairLines(const StudyInput& st, const FlagRows& present, const std::vector<PairEntry>& list,
                      Writer& report) {
  for (const PairEntry& e : list) {
    if (!e.paired) continue;
    const int n1 = present.common(e.row, e.row);
    const int n2 = present.common(e.col, e.col);
    const int n12 = present.common(e.row, e.col);
    report.write("(5x,a25,2x,a25,2x,f7.3,1x,3(i3,1x))", st.GROUPNAME(e.row), st.GROUPNAME(e.col), e.value, n1, n2, n12);
  }
}

// One block of the overlap table: species rows over column species first..last.
void overlapBlock(const StudyInput& st, const Table<int, 2>& c, const Table<float, 2>& p, int first, int last,
                  std::string_view headerLayout, Writer& report) {
  std::vector<Value> values;
  values.emplace_back("Species");
  for (int b = first; b <= last; ++b) values.emplace_back(st.SPECIESNAME(b));
  report.writeValues(headerLayout, values);
  for (int a = 1; a <= st.NSPECIES; ++a) {
    values.clear();
    values.emplace_back(st.SPECIESNAME(a));
    values.emplace_back("(");
    values.emplace_back(c(a, a));
    values.emplace_back(")");
    for (int b = first; b <= last; ++b) {
      values.emplace_back(c(a, b));
      values.emplace_back("(");
      values.emplace_back(p(a, b));
      values.emplace_back(")");
    }
    report.writeValues("(a19,1x,a1,i3,a1,1x,50(i3,1x,a1,f6.1,a1,1x))", values);
  }
  report.blank();
}

}  // namespace

TopPairs DIFMINMAX(const StudyInput& st, const Table<float, 2>& cells) {
  const std::size_t k = static_cast<std::size_t>(std::clamp(st.NGROUPS, 0, 10));
  TopPairs top;
  // The smallest list starts at NSPECIES and the largest at 0.0: a cell must
  // get past these to enter a list at all.
  top.smallest.assign(k, PairEntry{static_cast<float>(st.NSPECIES), 1, 1, false});
  top.largest.assign(k, PairEntry{0.0f, 1, 1, false});
  fillTopList(st, cells, top.smallest, [](float v, float current) { return v < current; });
  fillTopList(st, cells, top.largest, [](float v, float current) { return v > current; });
  return top;
}

void GROUPSBYSPECIES(const StudyInput& st, const PictureTallies& tallies, const GroupPositions& positions,
                     Writer& report, Writer& console) {
  const int ng = st.NGROUPS;
  const int ns = st.NSPECIES;
  const Table<int, 2> n = independentPictures(st, tallies);

  // Richness of each group and number of groups of each species.
  std::vector<int> richness(static_cast<std::size_t>(ng) + 1, 0);
  std::vector<int> groupsOf(static_cast<std::size_t>(ns) + 1, 0);
  FlagRows present(ng, ns);
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s)
      if (n(g, s) > 0) {
        ++richness[static_cast<std::size_t>(g)];
        ++groupsOf[static_cast<std::size_t>(s)];
        present.set(g, s);
      }

  // Section 1: groups by species and richness.
  sectionTitle(report, console, "GROUPS BY SPECIES AND GROUP AND SPECIES RICHNESS");
  report.write("(a52)", "  One record of each species per location per PERIOD");
  if (ns <= 20) {
    richnessTable(st, n, richness, groupsOf, 1, ns, true, report);
  } else {
    const int h = ns / 2;
    richnessTable(st, n, richness, groupsOf, 1, h, false, report);
    report.blank();
    report.write("(a22)", "Species list continued");
    richnessTable(st, n, richness, groupsOf, h + 1, ns, true, report);
  }
  report.blank();

  // Section 2: distance of the relative species frequencies of two groups.
  report.write("(a58)", "GROUP SPECIES FREQUENCY SIMILARITY (LOWER IS MORE SIMILAR)");
  report.write("(a52)", "   One picture of each species per camera per PERIOD");
  report.write("(a57)", "   Squart root of sums of squared difference in frequency");
  report.blank();

  Table<float, 2> pairs;
  pairs.resize({st.groups(), st.groups()}, -1.0f);
  std::vector<int> total(static_cast<std::size_t>(ng) + 1, 0);
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s) total[static_cast<std::size_t>(g)] += n(g, s);
  // Frequencies species-major: the sums of all pairs (i, j) of one row i
  // are built side by side over j, each in species order.
  const std::size_t N = static_cast<std::size_t>(ng) + 1;
  std::vector<float> freq(static_cast<std::size_t>(ns + 1) * N, 0.0f);
  for (int g = 1; g <= ng; ++g) {
    const int t = total[static_cast<std::size_t>(g)];
    if (t <= 0) continue;
    for (int s = 1; s <= ns; ++s)
      freq[static_cast<std::size_t>(s) * N + static_cast<std::size_t>(g)] =
          static_cast<float>(n(g, s)) / static_cast<float>(t);
  }
  std::vector<float> sums(N, 0.0f);
  for (int i = 1; i <= ng - 1; ++i) {
    // Only two groups that both have pictures get a distance.
    if (total[static_cast<std::size_t>(i)] <= 0) continue;
    const std::size_t first = static_cast<std::size_t>(i) + 1;
    std::fill(sums.begin() + static_cast<std::ptrdiff_t>(first), sums.end(), 0.0f);
    for (int s = 1; s <= ns; ++s) {
      const float* row = freq.data() + static_cast<std::size_t>(s) * N;
      const float fi = row[i];
      for (std::size_t j = first; j < N; ++j) {
        const float d = fi - row[j];
        sums[j] = sums[j] + d * d;
      }
    }
    for (std::size_t j = first; j < N; ++j)
      if (total[j] > 0) pairs(i, static_cast<int>(j)) = std::sqrt(sums[j]) * 10.0f / static_cast<float>(ns);
  }

  TopPairs top = DIFMINMAX(st, pairs);
  report.write("(a52)", "Top 10 group pairs most similar in species frequency");
  frequencyPairLines(st, top.smallest, report);
  report.blank();
  report.write("(a54)", "Top 10 group pairs most different in species frequency");
  frequencyPairLines(st, top.largest, report);
  report.blank();
  printPairTable(st, pairs, "(5x,a9,14x,10(a10,1x))", "(a25,1x,10(3x,f7.3,1x))", report);

  // Section 3: Jaccard index of the species present at two groups.
  report.write("(a63)", "GROUP-SPECIES COMPOSITION SIMILARITY (Jaccard Similarity Index)");
  report.write("(a47)", "  Is species present at this group? yes=1, no=0");
  report.write("(a78)", "  1.00 means groups are identical; 0.00 means groups have no species in common");
  report.write("(a85)", "  Group, group, JSI, number of species at each group, and number of species in common");
  report.blank();

  pairs.fill(0.0f);
  for (int i = 1; i <= ng - 1; ++i)
    for (int j = i; j <= ng; ++j) {
      // c / (a + b + c): species at both over species at either. Two groups
      // without species (and such a group with itself) have no index.
      const int both = present.common(i, j);
      const int either = present.either(i, j);
      pairs(i, j) =
          either > 0 ? static_cast<float>(both) / static_cast<float>(either) : std::numeric_limits<float>::quiet_NaN();
    }

  top = DIFMINMAX(st, pairs);
  report.write("(2x,a57)", "Top 10 location pairs most similar in species composition");
  report.write("(5x,a8,19x,a8,22x,a3,3x,a11)", "Location", "Location", "JSI", "N1  N2 N1&2");
  jaccardPairLines(st, present, top.largest, report);
  report.blank();
  report.write("(2x,a56)", "Top 10 group pairs most different in species composition");
  report.write("(5x,a5,22x,a5,25x,a3,3x,a11)", "Group", "Group", "JSI", "N1  N2 N1&2");
  jaccardPairLines(st, present, top.smallest, report);
  report.blank();
  // Eight fields for up to ten columns: the 9th and 10th go on a
  // continuation line of each header and row.
  printPairTable(st, pairs, "(5x,a9,14x,8(a10,1x))", "(a25,1x,8(3x,f7.3,1x))", report);

  // Section 4: where each species was photographed.
  report.write("(a39)", "SPECIES BY GROUP WITH UTM AND ELEVATION");
  for (int s = 1; s <= ns; ++s) {
    report.write("(a25)", st.SPECIESNAME(s));
    report.write("(a5,22x,a24)", "Group", "UTMe-w  UTMn-s Elevation");
    for (int g = 1; g <= ng; ++g)
      if (n(g, s) > 0)
        report.write("(a25,1x,2(i7,1x),1x,i5)", st.GROUPNAME(g), positions.GROUPUTM(g, 1), positions.GROUPUTM(g, 2),
                     positions.GROUPELEV(g));
    report.blank();
  }

  // Section 5: groups shared by every two species.
  report.write("(a25)", "SPECIES OVERLAP AT GROUPS");
  report.write("(a18,i3)", "  Number of groups = ", ng);
  report.write("(a66)", "  Species and in () the number of groups where it was photographed");
  report.blank();

  Table<int, 2> shared;
  shared.resize({st.species(), st.species()}, 0);
  Table<float, 2> percent;
  percent.resize({st.species(), st.species()}, 0.0f);
  FlagRows groupsWith(ns, ng);
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s)
      if (present.test(g, s)) groupsWith.set(s, g);
  for (int a = 1; a <= ns; ++a)
    for (int b = 1; b <= ns; ++b) shared(a, b) = groupsWith.common(a, b);
  for (int a = 1; a <= ns; ++a)
    for (int b = 1; b <= ns; ++b)
      if (shared(a, b) > 0)
        percent(a, b) = static_cast<float>(shared(a, b)) * 100.0f / static_cast<float>(shared(a, a));

  if (ns <= 10) {
    overlapBlock(st, shared, percent, 1, ns, "(4x,a7,15x,10(a12,1x))", report);
  } else {
    const int h = ns / 2;
    overlapBlock(st, shared, percent, 1, h, "(4x,a7,15x,50(a12,1x))", report);
    overlapBlock(st, shared, percent, h + 1, ns, "(4x,a7,15x,50(a12,1x))", report);
  }
}

}  // namespace mv
