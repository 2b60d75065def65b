// Community comparison: richness and similarity of groups, chi-square of
// paired groups, species by month and year, co-occurrence.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

void GROUPSBYSPECIES(const Study& st, Writer& report, Writer& console);
void GROUPINDEPENDENCE(const Study& st, Writer& report, Writer& console);
void SPECIESBYMONTH(const Study& st, Writer& report, Writer& console);
void VENNDIAGRAM(const Study& st, Writer& report, Writer& console);

}  // namespace mv
