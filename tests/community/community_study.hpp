// A study with only what the community sections read: group and species
// names, independent-picture tallies, group positions.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "model/study.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace mvtest {

struct CommunityStudy {
  mv::Study st;

  CommunityStudy(const std::vector<std::string>& groups, const std::vector<std::string>& species, int firstYear = 2010,
                 int lastYear = 2010)
      : st(makeStudy(groups, species, firstYear, lastYear)) {}

  // Independent pictures (kind 3) of species s at group g.
  void pics(int g, int s, int n, int year = 2010, int month = 1) {
    st.PICCOUNT(g, s, year, month, mv::kIndependentPictures) += n;
  }
};

// `count` lines starting at the first line equal to `title` (fewer when the
// report ends first; none when the title is missing).
inline std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& title,
                                        std::size_t count) {
  for (std::size_t k = 0; k < lines.size(); ++k)
    if (lines[k] == title) {
      const std::size_t end = std::min(lines.size(), k + count);
      return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(k),
                                      lines.begin() + static_cast<std::ptrdiff_t>(end));
    }
  return {};
}

}  // namespace mvtest
