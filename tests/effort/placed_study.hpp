// A study of groups of located cameras, for the sections that read where
// the locations are.
#pragma once

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "model/study.hpp"

namespace efforttest {

using Place = std::array<int, 3>;  // east-west, north-south, elevation

// Groups of locations, each group listing its locations' places; the
// locations are numbered in that order, and the group positions are sized.
inline mv::Study placedStudy(const std::vector<std::pair<const char*, std::vector<Place>>>& groups) {
  mv::Study st;
  for (const auto& g : groups) st.NLOCATIONS += static_cast<int>(g.second.size());
  st.NGROUPS = static_cast<int>(groups.size());
  st.sizeLocationTables();
  st.sizeGroupTables();
  int loc = 0;
  for (int g = 1; g <= st.NGROUPS; ++g) {
    const auto& group = groups[static_cast<std::size_t>(g - 1)];
    st.GROUPNAME(g) = mv::makeName(group.first);
    for (const Place& p : group.second) {
      ++loc;
      st.LOCATIONUTM(loc, 1) = p[0];
      st.LOCATIONUTM(loc, 2) = p[1];
      st.LOCATIONELEV(loc) = p[2];
      st.GROUPLOCATIONS(g, ++st.GROUPSIZE(g)) = loc;
    }
  }
  st.sizeGroupPositions();
  return st;
}

}  // namespace efforttest
