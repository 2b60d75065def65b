// Group tallies: accumulation curve, pictures by group, species, month, year.
#pragma once

#include <vector>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// One row of the species accumulation curve: a study day on which species
// were first photographed, the running number of species, and those
// species (numbers, in the curve's order).
struct AccumulationDay {
  int day = 0;
  int speciesSoFar = 0;
  std::vector<int> species;
};

// The rows of the species accumulation curve, day by day.
std::vector<AccumulationDay> accumulationCurve(const StudyInput& st, const PictureTallies& tallies);

// Writes SPECIES INCLUDED BUT NOT PHOTOGRAPHED OR ALL REJECTED and SPECIES ACCUMULATION CURVE.
void ACCUMULATIONCURVE(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES and the monthly tables after it.
void GROUPSPECIESPICS(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                      Writer& console);
// Writes PICTURES FOR EACH GROUP BY MONTH AND YEAR.
void GROUPSBYMONTH(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                   Writer& console);
// Writes SPECIES AVERAGE ABUNDANCE BY YEAR AND GROUP.
void SPECIESBYGROUP(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);

}  // namespace mv
