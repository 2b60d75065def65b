// Group tallies: accumulation curve, pictures by group, species, month, year.
#pragma once

#include <vector>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// One day of the species accumulation curve: the study day, the running
// number of species photographed by then, and the species first
// photographed that day (in the curve's own order).
struct AccumulationStep {
  int day = 0;
  int total = 0;
  std::vector<int> species;
};

// The days on which new species were first photographed, in day order.
std::vector<AccumulationStep> accumulationCurve(const Study& st);

void ACCUMULATIONCURVE(const Study& st, Writer& report, Writer& console);
void GROUPSPECIESPICS(const Study& st, Writer& report, Writer& console);
void GROUPSBYMONTH(const Study& st, Writer& report, Writer& console);
void SPECIESBYGROUP(const Study& st, Writer& report, Writer& console);

}  // namespace mv
