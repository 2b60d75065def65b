// A study built in memory for the tests of the report sections.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/study.hpp"

namespace mvtest {

// A study with the given group and species names (groups and species are
// numbered from 1 in that order) and study years, every table the sections
// read sized and zero-filled (first-picture days "none").
inline mv::Study makeStudy(const std::vector<std::string>& groups, const std::vector<std::string>& species,
                           int firstYear = 2010, int lastYear = 2010) {
  mv::Study st;
  st.NGROUPS = static_cast<int>(groups.size());
  st.NSPECIES = static_cast<int>(species.size());
  st.FIRSTYEAR = firstYear;
  st.LASTYEAR = lastYear;
  st.sizeLocationTables();
  st.sizeGroupTables();
  st.sizeTallies();
  st.sizeGroupTrapDays();
  st.sizeGroupPositions();
  for (int g = 1; g <= st.NGROUPS; ++g) st.GROUPNAME(g) = mv::makeName(groups[static_cast<std::size_t>(g - 1)]);
  for (int s = 1; s <= st.NSPECIES; ++s) st.SPECIESNAME(s) = mv::makeName(species[static_cast<std::size_t>(s - 1)]);
  return st;
}

}  // namespace mvtest
