// Activity by hour of day, around full and new moon, and by season.
#pragma once

#include <vector>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// The label of hour h's segment as four values: "07", ":00-", "08", ":00".
void addHourSpan(std::vector<Value>& values, int h);

// Writes ACTIVITY PATTERNS.
void ACTIVITYPATTERN(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes LUNAR ACTIVITY PATTERNS.
void LUNARACTIVITY(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes ACTIVITY PATTERNS BY SEASON.
void SEASONALACTIVITY(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                      Writer& console);

}  // namespace mv
