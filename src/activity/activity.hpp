// Activity by hour of day, around full and new moon, and by season.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

void ACTIVITYPATTERN(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
void LUNARACTIVITY(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
void SEASONALACTIVITY(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                      Writer& console);

}  // namespace mv
