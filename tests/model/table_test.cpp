#include "model/study.hpp"
#include "support/test_support.hpp"

#include <cmath>

TEST(Table, YearAndHourRangesIndexNaturally) {
  mv::Table<int, 3> t;
  t.resize({mv::Range{2010, 2012}, mv::Range{1, 12}, mv::Range{0, 23}}, 0);
  EXPECT_EQ(t.size(), 3u * 12u * 24u);
  t(2012, 12, 23) = 7;
  t(2010, 1, 0) = 1;
  EXPECT_EQ(t.data()[t.size() - 1], 7);
  EXPECT_EQ(t.data()[0], 1);
}

// A dimension stored outermost: each of its values holds one block of the
// other dimensions in their usual order, and every cell is its own.
TEST(Table, OutermostDimensionIsStoredFirst) {
  mv::Table<int, 3> t;
  t.resize({mv::Range{2010, 2011}, mv::Range{1, 12}, mv::Range{1, 4}}, 0, 2);
  ASSERT_EQ(t.size(), 2u * 12u * 4u);
  int n = 0;
  for (int k = 1; k <= 4; ++k)
    for (int y = 2010; y <= 2011; ++y)
      for (int m = 1; m <= 12; ++m) t(y, m, k) = ++n;
  for (int i = 0; i < n; ++i) EXPECT_EQ(t.data()[i], i + 1);
  EXPECT_EQ(t(2011, 12, 1), 24);
  EXPECT_EQ(t(2010, 1, 4), 73);
}

// Cells start from zeroed memory; a resize to the same size, a non-zero
// start value and a copy must still give every cell its value. The large
// table is mapped rather than taken from the heap.
TEST(Table, ResizeSetsEveryCellAlsoForReusedAndMappedMemory) {
  for (const int n : {100, 9 << 20}) {  // 400 bytes, 36 MiB
    mv::Table<int, 1> t;
    t.resize({mv::Range{1, n}}, 0);
    t(1) = 5;
    t(n) = 6;
    t.resize({mv::Range{1, n}}, 0);
    EXPECT_EQ(t(1), 0);
    EXPECT_EQ(t(n), 0);
    t.resize({mv::Range{1, n}}, 7);
    mv::Table<int, 1> copy = t;
    t(n) = 8;
    EXPECT_EQ(copy(1), 7);
    EXPECT_EQ(copy(n), 7);
    EXPECT_EQ(t(n), 8);
  }
  mv::Table<float, 1> f;
  f.resize({mv::Range{1, 3}}, -0.0f);  // not all zero bytes
  EXPECT_TRUE(std::signbit(f(2)));
}

TEST(Table, EmptyYearRangeHasNoCells) {
  mv::Study st;  // no periods: FIRSTYEAR 3000, LASTYEAR 1000
  st.NGROUPS = 2;
  st.NSPECIES = 3;
  st.sizeTallies();
  EXPECT_EQ(st.PICCOUNT.size(), 0u);
  EXPECT_EQ(st.FIRSTLASTPIC(2, 3, 7, 1), mv::kNoFirstPicture);
  EXPECT_EQ(st.FIRSTLASTPIC(2, 3, 7, 2), 0);
  EXPECT_EQ(st.SPECIESFIRSTDAY(3), mv::kNoFirstDay);
}

#ifndef NDEBUG
TEST(TableDeathTest, OutOfRangeIndexStopsDebugBuilds) {
  mv::Table<int, 2> t;
  t.resize({mv::Range{1, 2}, mv::Range{0, 23}}, 0);
  EXPECT_DEATH(t(1, 24) = 1, "out of range");
}
#endif

TEST(Names, PaddedToTwentyFive) {
  EXPECT_EQ(mv::makeName("Puma"), "Puma" + std::string(21, ' '));
  EXPECT_EQ(mv::makeName(std::string(30, 'x')).size(), 25u);
}
