// Small builders shared by the activity tests.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "model/study.hpp"
#include "support/study_builder.hpp"

namespace acttest {

// A study with the given species, groups 1..nGroups without names and study
// years firstYear..lastYear.
inline mv::Study makeStudy(const std::vector<std::string>& species, int nGroups = 1, int firstYear = 2010,
                           int lastYear = 2010) {
  return mvtest::makeStudy(std::vector<std::string>(static_cast<std::size_t>(nGroups)), species, firstYear, lastYear);
}

inline std::string rep(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// "hh:00-hh:00" for hour h.
inline std::string hours(int h) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:00-%02d:00", h, h + 1);
  return buf;
}

// The text padded to a 25-character name.
inline std::string name(std::string_view text) { return mv::makeName(text); }

// Index of the first line equal to `text`, or lines.size().
inline std::size_t find(const std::vector<std::string>& lines, std::string_view text, std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i] == text) return i;
  return lines.size();
}

}  // namespace acttest
