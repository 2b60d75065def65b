// Activity by hour of day, around full and new moon, and by season.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// Writes ACTIVITY PATTERNS.
void ACTIVITYPATTERN(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes LUNAR ACTIVITY PATTERNS.
void LUNARACTIVITY(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes ACTIVITY PATTERNS BY SEASON.
void SEASONALACTIVITY(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                      Writer& console);

}  // namespace mv
