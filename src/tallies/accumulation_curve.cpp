#include <string_view>
#include <utility>
#include <vector>

#include "tallies/tallies.hpp"

namespace mv {

std::vector<AccumulationDay> accumulationCurve(const StudyInput& st, const PictureTallies& tallies) {
  const int n = st.NSPECIES;
  std::vector<AccumulationDay> curve;
  // Species ordered by first-picture day with the plain exchange procedure;
  // it is not stable, and the exchanges decide the order of names within a day.
  std::vector<int> order(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) order[i] = i;
  for (int i = 1; i <= n - 1; ++i)
    for (int j = i + 1; j <= n; ++j)
      if (tallies.SPECIESFIRSTDAY(order[j]) < tallies.SPECIESFIRSTDAY(order[i])) std::swap(order[i], order[j]);
  if (n < 1) return curve;

  // The last day with a first picture: the last ordered day below "none".
  int last = 0;
  for (int i = n; i >= 1; --i) {
    if (tallies.SPECIESFIRSTDAY(order[i]) < kNoFirstDay) {
      last = tallies.SPECIESFIRSTDAY(order[i]);
      break;
    }
  }
  int running = 0;
  AccumulationDay row;
  for (int d = tallies.SPECIESFIRSTDAY(order[1]); d <= last; ++d) {
    if (d >= kNoFirstDay) continue;
    row.species.clear();
    for (int i = 1; i <= n; ++i)
      if (tallies.SPECIESFIRSTDAY(order[i]) == d) row.species.push_back(order[i]);
    if (row.species.empty()) continue;
    running += static_cast<int>(row.species.size());
    row.day = d;
    row.speciesSoFar = running;
    curve.push_back(row);
  }
  return curve;
}

void ACCUMULATIONCURVE(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  const int n = st.NSPECIES;
  console.free("SPECIES ACCUMULATION CURVE");

  bool missing = false;
  for (int s = 1; s <= n; ++s)
    if (tallies.SPECIESFIRSTDAY(s) == kNoFirstDay) missing = true;
  if (missing) {
    report.write("(a53)", "SPECIES INCLUDED BUT NOT PHOTOGRAPHED OR ALL REJECTED");
    for (int s = 1; s <= n; ++s)
      if (tallies.SPECIESFIRSTDAY(s) == kNoFirstDay) report.write("(a25)", st.SPECIESNAME(s));
    report.blank();
  }

  report.write("(a26)", "SPECIES ACCUMULATION CURVE");
  report.write("(a26)", "  DAY    NUMBER    SPECIES");

  std::vector<Value> values;
  for (const AccumulationDay& row : accumulationCurve(st, tallies)) {
    values.clear();
    values.emplace_back(row.day);
    values.emplace_back(row.speciesSoFar);
    for (int s : row.species) values.emplace_back(st.SPECIESNAME(s));
    // More than 15 names continue on further lines, 15 to a line.
    report.writeValues("(i5,4x,i4,6x,15(a25,1x))", values);
  }
  report.blank();
}

}  // namespace mv
