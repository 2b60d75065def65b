// Sampling effort and space: camera trap days, picture counts, group
// positions, distances and areas.
#pragma once

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// Builders (they fill the named tables).
void GROUPSTARTSTOP(Study& st, Writer& console);
void CAMERATRAPEFFORT(Study& st, Writer& console);
void GROUPCTDAYS(Study& st, Writer& console);
void GROUPUTMELEV(Study& st, Writer& report, Writer& console);

// Sections.
void WRITEGROUPTRAPDAYS(const Study& st, Writer& report, Writer& console);
void COUNTPICS(const Study& st, Writer& report, Writer& console);
void DISTANCE(const Study& st, Writer& report, Writer& console);
void AREAOFEACHGROUP(const Study& st, Writer& report, Writer& console);

}  // namespace mv
