#include <utility>
#include <vector>

#include "abundance/abundance.hpp"
#include "report/section.hpp"

namespace mv {

std::vector<int> naiveOccupancy(const StudyInput& st, const PictureTallies& tallies) {
  // A group is occupied by a species when any of its pictures of the species
  // was listed, in any study year and month.
  std::vector<int> occupied(static_cast<std::size_t>(st.NSPECIES) + 1, 0);
  for (int s = 1; s <= st.NSPECIES; ++s) {
    for (int g = 1; g <= st.NGROUPS; ++g) {
      bool found = false;
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR && !found; ++y)
        for (int m = 1; m <= 12 && !found; ++m)
          if (tallies.PICCOUNT(g, s, y, m, kAllPictures) > 0) found = true;
      if (found) ++occupied[static_cast<std::size_t>(s)];
    }
  }
  return occupied;
}

void NAIVEOCCUPANCY(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  const int n = st.NSPECIES;
  const int groups = st.NGROUPS;
  sectionTitle(report, console, "NAIVE OCCUPANCY");
  report.write("(a42)", "  Species naive group occupancy proportion");
  report.write("(a56)", "  To create occupancy matrix run program Dastrowelquine");
  report.write("(30x,a20,6x,a16)", "Proportion of groups", "Number of groups");
  report.write("(a7,30x,a8,13x,a8,1x,a1,i3,a1)", "Species", "Occupied", "Occupied", "(", groups, ")");

  const std::vector<int> occupied = naiveOccupancy(st, tallies);

  // Most widespread first, by the plain exchange procedure: species with
  // equal counts come out in the order its exchanges leave them.
  std::vector<int> order(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) order[i] = i;
  for (int i = 1; i <= n - 1; ++i)
    for (int j = i + 1; j <= n; ++j)
      if (occupied[order[i]] < occupied[order[j]]) std::swap(order[i], order[j]);

  for (int i = 1; i <= n; ++i) {
    const int s = order[i];
    // A study without groups has nothing occupied: its proportions are 0.
    const float proportion = groups > 0 ? static_cast<float>(occupied[s]) / static_cast<float>(groups) : 0.0f;
    report.write("(a25,13x,f6.3,18x,i3)", st.SPECIESNAME(s), proportion, occupied[s]);
  }
  report.blank();
}

}  // namespace mv
