// Line-by-line comparison of a section with its expected lines, so that a
// failure names the first differing line instead of a truncated list.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mvtest {

inline void expectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  const std::size_t n = std::min(actual.size(), expected.size());
  for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
  EXPECT_EQ(actual.size(), expected.size());
  for (std::size_t i = n; i < actual.size(); ++i)
    ADD_FAILURE() << "extra line " << i + 1 << ": \"" << actual[i] << "\"";
  for (std::size_t i = n; i < expected.size(); ++i)
    ADD_FAILURE() << "missing line " << i + 1 << ": \"" << expected[i] << "\"";
}

}  // namespace mvtest
