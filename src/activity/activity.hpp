// Activity by hour of day, around full and new moon, and by season.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

void ACTIVITYPATTERN(const Study& st, Writer& report, Writer& console);
void LUNARACTIVITY(const Study& st, Writer& report, Writer& console);
void SEASONALACTIVITY(const Study& st, Writer& report, Writer& console);

}  // namespace mv
