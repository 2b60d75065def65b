// A study built in memory for the tests of the report sections, and a
// section run on it.
#pragma once

#include <concepts>
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "model/study.hpp"
#include "support/test_support.hpp"

namespace mvtest {

// A study with the given group and species names (groups and species are
// numbered from 1 in that order), study years and number of locations,
// every table the sections read sized and zero-filled (first-picture days
// "none").
inline mv::Study makeStudy(const std::vector<std::string>& groups, const std::vector<std::string>& species,
                           int firstYear = 2010, int lastYear = 2010, int locations = 0) {
  mv::Study st;
  st.NLOCATIONS = locations;
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

// Names "<prefix>01", "<prefix>02", ... .
inline std::vector<std::string> numbered(const std::string& prefix, int n) {
  std::vector<std::string> out;
  for (int k = 1; k <= n; ++k) out.push_back(prefix + (k < 10 ? "0" : "") + std::to_string(k));
  return out;
}

// mv::Study, changeable or not.
template <class S>
concept AStudy = std::same_as<std::remove_cvref_t<S>, mv::Study>;

// The lines of a section routine, `write(st, ..., report, console)`, given
// the one study for each of the stages it reads (one to four; a section
// that fills a table is given the study to change).
template <class Section, AStudy S>
std::vector<std::string> runSection(Section&& write, S&& st, std::vector<std::string>* consoleLines = nullptr) {
  using W = mv::Writer&;
  using T = std::remove_reference_t<S>&;
  return runSection(
      [&](W report, W console) {
        if constexpr (std::is_invocable_v<Section&, T, W, W>)
          write(st, report, console);
        else if constexpr (std::is_invocable_v<Section&, T, T, W, W>)
          write(st, st, report, console);
        else if constexpr (std::is_invocable_v<Section&, T, T, T, W, W>)
          write(st, st, st, report, console);
        else
          write(st, st, st, st, report, console);
      },
      consoleLines);
}

// The same for a section whose console lines must be `console`.
template <class Section, AStudy S>
std::vector<std::string> runSectionExpecting(Section&& write, S&& st, const std::vector<std::string>& console) {
  std::vector<std::string> consoleLines;
  std::vector<std::string> lines = runSection(write, st, &consoleLines);
  EXPECT_EQ(consoleLines, console);
  return lines;
}

}  // namespace mvtest
