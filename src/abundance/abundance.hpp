// Abundance, detection rates and naive occupancy.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

void SPECIESABUNDANCE(const Study& st, Writer& report, Writer& console);
void DETECTIONRATES(const Study& st, Writer& report, Writer& console);
void NAIVEOCCUPANCY(const Study& st, Writer& report, Writer& console);

}  // namespace mv
