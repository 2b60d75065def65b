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

// Writes GROUPS BY SPECIES AND GROUP AND SPECIES RICHNESS, with overlap and similarity.
void GROUPSBYSPECIES(const StudyInput& st, const PictureTallies& tallies, const GroupPositions& positions,
                     Writer& report, Writer& console);
// Writes CHI-SQUARE ANALYSIS OF PAIRED GROUPS SPECIES FREQUENCIES.
void GROUPINDEPENDENCE(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes SPECIES AND SPECIES RICHNESS BY YEAR AND MONTH and the tables by elevation after it.
void SPECIESBYMONTH(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                    const GroupPositions& positions, Writer& report, Writer& console);
// Writes SPECIES CO-OCCURRENCE MATRIX, ABSENCE-PRESENCE MATRIX, SPECIES MIN AND MAX ELEVATION.
void VENNDIAGRAM(const StudyInput& st, const PictureTallies& tallies, const GroupPositions& positions, Writer& report,
                 Writer& console);

}  // namespace mv
