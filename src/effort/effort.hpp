// Sampling effort and space: camera trap days, picture counts, group
// positions, distances and areas.
#pragma once

#include <utility>
#include <vector>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// Builders (they fill the named tables).
void GROUPSTARTSTOP(Study& st, Writer& console);
void CAMERATRAPEFFORT(Study& st, Writer& console);
void GROUPCTDAYS(Study& st, Writer& console);
void GROUPUTMELEV(Study& st, Writer& report, Writer& console);

// The area spanned by a group's usable camera positions (both coordinates
// given): the triangle of exactly three positions, or the outer ring of four
// or more. `outline` is that polygon in UTM metres, closed (the last corner
// repeats the first); empty below three positions. `km2` is the area; it is
// meaningful only when it is above zero (three positions on one line give
// zero or not a number).
struct GroupArea {
  int positions = 0;
  float km2 = 0.0f;
  std::vector<std::pair<float, float>> outline;  // east, north
};

// The area of every group, indexed by group 1..NGROUPS (slot 0 unused).
std::vector<GroupArea> groupAreas(const Study& st);

// Sections.
void WRITEGROUPTRAPDAYS(const Study& st, Writer& report, Writer& console);
void COUNTPICS(const Study& st, Writer& report, Writer& console);
void DISTANCE(const Study& st, Writer& report, Writer& console);
void AREAOFEACHGROUP(const Study& st, Writer& report, Writer& console);

}  // namespace mv
