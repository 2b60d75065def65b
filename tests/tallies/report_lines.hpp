// Helpers for the section tests: the study builder, and the pieces of
// expected report lines (names, blanks, right-justified fields)
// so that each expected line can be read column by column.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/study.hpp"
#include "support/study_builder.hpp"

namespace sectiontest {

using mvtest::makeStudy;

inline std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

// A 25-character blank-padded name, as the tables hold it.
inline std::string name25(std::string_view text) { return mv::makeName(text); }

// A text right-justified in `width` columns.
inline std::string rj(std::string_view text, int width) {
  return blanks(width - static_cast<int>(text.size())) + std::string(text);
}

// Texts right-justified in `width` columns, each followed by `after`.
inline std::string fields(int width, std::initializer_list<std::string_view> texts, std::string_view after = "") {
  std::string out;
  for (const std::string_view t : texts) out += rj(t, width) + std::string(after);
  return out;
}

inline std::string times(int n, std::string_view text) {
  std::string out;
  for (int i = 0; i < n; ++i) out += text;
  return out;
}

}  // namespace sectiontest
