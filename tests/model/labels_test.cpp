#include "model/labels.hpp"

#include <gtest/gtest.h>

#include <string>

#include "input/input.hpp"

TEST(Labels, IsoDatesAreZeroFilled) {
  EXPECT_EQ(mv::isoDate(2010, 3, 5), "2010-03-05");
  EXPECT_EQ(mv::isoDate(987, 12, 31), "0987-12-31");
  char text[40];
  char* end = mv::putIsoDate(text, 2011, 10, 1);
  EXPECT_EQ(std::string(text, end), "2011-10-01");
  // The calendar's date of a day its month does not have.
  EXPECT_EQ(mv::countedIsoDate(2010, 9, 31), "2010-10-01");
  EXPECT_EQ(mv::countedIsoDate(2011, 2, 31), "2011-03-03");
}

TEST(Labels, TrimmedNamesLoseOnlyTrailingBlanks) {
  EXPECT_EQ(mv::trimmedName("  Black bear             "), "  Black bear");
  EXPECT_EQ(mv::trimmedName("                         "), "");
  EXPECT_EQ(mv::trimmedName(""), "");
}
