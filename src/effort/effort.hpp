// Sampling effort and space: camera trap days, picture counts, group
// positions, distances and areas.
#pragma once

#include <utility>
#include <vector>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// Builders (they fill the named tables).
// Fills GROUPSTART and GROUPSTOP; no report lines.
void GROUPSTARTSTOP(const StudyInput& st, GroupEffort& effort, Writer& console);
// Fills LOCATIONTRAPDAYS; no report lines.
void CAMERATRAPEFFORT(const StudyInput& st, GroupEffort& effort, Writer& console);
// Fills GROUPTRAPDAYS from LOCATIONTRAPDAYS; no report lines.
void GROUPCTDAYS(const StudyInput& st, GroupEffort& effort, Writer& console);
// The camera trap days: sizes and fills LOCATIONTRAPDAYS, then
// GROUPTRAPDAYS (CAMERATRAPEFFORT, GROUPCTDAYS); reads only the group dates
// and writes only those tables; no report lines.
void countTrapDays(const StudyInput& st, GroupEffort& effort, Writer& console);
// Fills GROUPUTM and GROUPELEV and writes GROUP UTM AND ELEVATION AVERAGES.
void GROUPUTMELEV(const StudyInput& st, GroupPositions& positions, Writer& report, Writer& console);

// The groups by elevation (GROUPELEV), highest or lowest first. The plain
// exchange procedure orders them: each entry swaps with a later one only when
// that one is strictly higher (strictly lower), which decides the order of
// groups of equal elevation.
enum class ElevationOrder { HighestFirst, LowestFirst };
std::vector<int> elevationOrder(const StudyInput& st, const GroupPositions& positions, ElevationOrder direction);

// Distances in km between the average positions of the groups: only pairs
// (i, j), i < j, of groups that both have an east-west position are
// measured, in that order; the other cells of `km` are 0.
struct GroupDistances {
  bool positionsGiven = false;  // some group has a position at all
  Table<float, 2> km;
  std::vector<std::pair<int, int>> pairs;
  float smallest = 1000.0f;  // a pair 1000 km or more apart never becomes the smallest
  float largest = 0.0f;
  float sum = 0.0f;
  int minI = 0, minJ = 0, maxI = 0, maxJ = 0;  // 0: no pair recorded
};
GroupDistances groupDistances(const StudyInput& st, const GroupPositions& positions);

// The area spanned by the camera positions of one group. A group with fewer
// than three usable positions has no area at all (`spanned` false); one
// whose area is not positive shows dashes (`positive` false).
struct GroupArea {
  bool spanned = false;
  bool positive = false;
  float km2 = 0.0f;
  float mi2 = 0.0f;
  int positions = 0;  // usable positions (both coordinates given)
  // The outline whose area was taken, in UTM metres (east, north), its last
  // point repeating the first; empty below three positions.
  std::vector<std::pair<float, float>> outline;
};
// Per group (index 1..NGROUPS).
std::vector<GroupArea> groupAreas(const StudyInput& st);

// Sections.
// Writes GROUP CAMERA TRAP DAYS, GROUP CAMERA LOCATIONS NOT ACTIVE and GROUP CAMERA TRAP EFFORT (SUMMARY).
void WRITEGROUPTRAPDAYS(const StudyInput& st, const GroupEffort& effort, Writer& report, Writer& console);
// Writes NUMBER OF PICTURES AND FILTERED PICTURES PER YEAR.
void COUNTPICS(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes DISTANCE (km) BETWEEN GROUPS.
void DISTANCE(const StudyInput& st, const GroupPositions& positions, Writer& report, Writer& console);
// Writes AREA OF EACH GROUP.
void AREAOFEACHGROUP(const StudyInput& st, Writer& report, Writer& console);

}  // namespace mv
