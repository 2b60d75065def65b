// Community comparison: richness and similarity of groups, chi-square of
// paired groups, species by month and year, co-occurrence.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// The number of groups at which both species of each pair were photographed
// (independent pictures, any study year and month, not necessarily the same
// month); the diagonal holds each species' own number of groups. Indexed by
// species 1..NSPECIES both ways.
Table<int, 2> cooccurrence(const StudyInput& st, const PictureTallies& tallies);

void GROUPSBYSPECIES(const StudyInput& st, const PictureTallies& tallies, const GroupPositions& positions,
                     Writer& report, Writer& console);
void GROUPINDEPENDENCE(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
void SPECIESBYMONTH(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                    const GroupPositions& positions, Writer& report, Writer& console);
void VENNDIAGRAM(const StudyInput& st, const PictureTallies& tallies, const GroupPositions& positions, Writer& report,
                 Writer& console);

}  // namespace mv
