// Straight-line distances between the groups' average positions.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "effort/effort.hpp"
#include "report/pair_table.hpp"
#include "report/section.hpp"

namespace mv {

GroupDistances groupDistances(const StudyInput& st, const GroupPositions& positions) {
  const int n = st.NGROUPS;
  GroupDistances r;
  // Positions count as given when some group has east-west plus north-south
  // of at least 1 (a study without groups has none).
  std::int64_t largest = 0;
  for (int g = 1; g <= n; ++g) {
    const std::int64_t sum = static_cast<std::int64_t>(positions.GROUPUTM(g, 1)) + positions.GROUPUTM(g, 2);
    if (g == 1 || sum > largest) largest = sum;
  }
  if (largest < 1) return r;
  r.positionsGiven = true;

  // Only pairs (i, j) with i < j are measured; the other cells stay 0.
  r.km.resize({Range{1, n}, Range{1, n}}, 0.0f);
  for (int i = 1; i <= n - 1; ++i)
    for (int j = i + 1; j <= n; ++j) {
      // A group without an east-west position takes part in no pair.
      if (!(positions.GROUPUTM(i, 1) > 0 && positions.GROUPUTM(j, 1) > 0)) continue;
      r.pairs.emplace_back(i, j);
      const float dx = static_cast<float>(positions.GROUPUTM(i, 1)) - static_cast<float>(positions.GROUPUTM(j, 1));
      const float dy = static_cast<float>(positions.GROUPUTM(i, 2)) - static_cast<float>(positions.GROUPUTM(j, 2));
      const float d = std::sqrt(dx * dx + dy * dy) * 0.001f;
      r.km(i, j) = d;
      // Strict tests: the first pair met wins a tie.
      if (d < r.smallest) {
        r.smallest = d;
        r.minI = i;
        r.minJ = j;
      }
      if (d > r.largest) {
        r.largest = d;
        r.maxI = i;
        r.maxJ = j;
      }
      r.sum += d;
    }

  return r;
}

void DISTANCE(const StudyInput& st, const GroupPositions& positions, Writer& report, Writer& console) {
  sectionTitle(report, console, "DISTANCE (km) BETWEEN GROUPS", "DISTANCE BETWEEN GROUPS");

  const GroupDistances d = groupDistances(st, positions);
  if (!d.positionsGiven) {
    report.write("(a36)", "UTM locations not given in Input.txt");
    report.blank();
    return;
  }
  const float smallest = d.smallest;
  const float largestDistance = d.largest;
  const float sum = d.sum;
  const int pairs = static_cast<int>(d.pairs.size());
  const int minI = d.minI, minJ = d.minJ, maxI = d.maxI, maxJ = d.maxJ;
  const Table<float, 2>& pair = d.km;

  // Without any measured pair all three lines show 0. A line whose pair was
  // never recorded shows its value and stops there: no label, no names.
  constexpr std::string_view kSummary = "(a19,f7.3,a12,2(a25,1x))";
  if (pairs == 0) {
    report.write(kSummary, "Minimum distance = ", 0.0f);
    report.write(kSummary, "Maximum distance = ", 0.0f);
    report.write(kSummary, "Average distance = ", 0.0f);
  } else {
    const float average = sum / static_cast<float>(pairs);
    if (minI > 0)
      report.write(kSummary, "Minimum distance = ", smallest, " Locations: ", st.GROUPNAME(minI), st.GROUPNAME(minJ));
    else
      report.write(kSummary, "Minimum distance = ", smallest);
    if (maxI > 0)
      report.write(kSummary, "Maximum distance = ", largestDistance, " Locations: ", st.GROUPNAME(maxI),
                   st.GROUPNAME(maxJ));
    else
      report.write(kSummary, "Maximum distance = ", largestDistance);
    report.write(kSummary, "Average distance = ", average);
  }
  report.blank();

  printPairTable(st, pair, "(6x,a9,13x,10(a10,1x))", "(a25,1x,10(3x,f7.3,1x))", report);
  report.blank();
}

}  // namespace mv
