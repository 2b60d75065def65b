#include "input/picture_line.hpp"

#include <gtest/gtest.h>

#include <string>

#include "input/input_warnings.hpp"

namespace {

// The quick reading may only take a line that the careful reading reads to
// the same values and that does not look shifted. Every column of usual
// lines is changed to characters that matter to either reading.
TEST(PictureLine, QuickReadingAgreesWithTheCarefulOne) {
  const std::string usual[] = {
      "Cam 001-01                Species 021               2012  1  3 17 53  0  2",
      "Cam 001-01                Species 021               2012 12 31 23 59 59 99 trailing text",
      "Ridge A 1                 Puma                       999  1  1  0  0  0  0",
  };
  const char changes[] = {' ', '0', '7', '-', '+', 'x', '\t'};
  int quick = 0;
  for (const std::string& base : usual)
    for (std::size_t column = 0; column <= base.size(); ++column)
      for (const char c : changes)
        for (const bool cut : {false, true}) {
          std::string line = base;
          if (column < line.size())
            line[column] = c;
          else
            line.push_back(c);
          if (cut) line.resize(column);
          mv::PictureText fast;
          if (!mv::readPlainPictureLine(line, fast)) continue;
          ++quick;
          mv::PictureText careful;
          ASSERT_TRUE(mv::parsePictureLine(line, careful)) << line;
          EXPECT_FALSE(mv::ShiftWarnings::looksShifted(line, mv::kPictureLineFields)) << line;
          EXPECT_EQ(fast.locationName(), careful.locationName()) << line;
          EXPECT_EQ(fast.speciesName(), careful.speciesName()) << line;
          EXPECT_EQ(fast.year, careful.year) << line;
          EXPECT_EQ(fast.month, careful.month) << line;
          EXPECT_EQ(fast.day, careful.day) << line;
          EXPECT_EQ(fast.hour, careful.hour) << line;
          EXPECT_EQ(fast.minute, careful.minute) << line;
          EXPECT_EQ(fast.second, careful.second) << line;
          EXPECT_EQ(fast.individuals, careful.individuals) << line;
        }
  EXPECT_GT(quick, 1000);  // the usual lines and most changes of them
  // Lines the quick reading must leave to the careful one.
  mv::PictureText p;
  for (const char* line : {
           "Cam 001-01                Species 021               2 12  1  3 17 53  0  2",  // blank inside the year
           "Cam 001-01                Species 00000000000000021 2012  1  3 17 53  0  2",  // name ends in a digit
           "Cam 001-01                Species 021               2012 -1  3 17 53  0  2",  // a sign
           "Cam 001-01                Species 021               2012  1  3 17 53  0  ",   // an empty last number
           "Cam 001-01                Species 021               2012  1  3 17 53  0",     // a short line
       })
    EXPECT_FALSE(mv::readPlainPictureLine(line, p)) << line;
}

}  // namespace
