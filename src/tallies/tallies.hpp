// Group tallies: accumulation curve, pictures by group, species, month, year.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

void ACCUMULATIONCURVE(const Study& st, Writer& report, Writer& console);
void GROUPSPECIESPICS(const Study& st, Writer& report, Writer& console);
void GROUPSBYMONTH(const Study& st, Writer& report, Writer& console);
void SPECIESBYGROUP(const Study& st, Writer& report, Writer& console);

}  // namespace mv
