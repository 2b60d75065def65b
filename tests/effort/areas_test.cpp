#include <cmath>
#include <utility>
#include <vector>

#include "effort/area_ring.hpp"
#include "effort/effort.hpp"
#include "effort/expect_lines.hpp"
#include "effort/placed_study.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace {

std::string N(const char* name) { return mv::makeName(name); }

using Positions = std::vector<std::pair<int, int>>;  // east-west, north-south

// Groups of locations at the given positions, all at elevation 0.
mv::Study grouped(const std::vector<std::pair<const char*, Positions>>& groups) {
  std::vector<std::pair<const char*, std::vector<efforttest::Place>>> placed;
  for (const auto& [name, positions] : groups) {
    std::vector<efforttest::Place> places;
    for (const auto& p : positions) places.push_back({p.first, p.second, 0});
    placed.emplace_back(name, places);
  }
  return efforttest::placedStudy(placed);
}

std::vector<std::string> run(const mv::Study& st) {
  return mvtest::runSectionExpecting(mv::AREAOFEACHGROUP, st, {" AREA OF EACH GROUP"});
}

const std::vector<std::string> kHeader = {
    "AREA OF EACH GROUP",
    std::string(35, ' ') + "Area",
    "Group" + std::string(25, ' ') + "km^2    miles^2",
};

std::vector<std::string> section(std::vector<std::string> lines) {
  lines.insert(lines.begin(), kHeader.begin(), kHeader.end());
  lines.push_back("");
  return lines;
}

mv::OuterRing ringOf(const Positions& positions) {
  std::vector<mv::RingPosition> rows;
  for (const auto& p : positions) {
    mv::RingPosition q;
    q.x = static_cast<float>(p.first);
    q.y = static_cast<float>(p.second);
    q.number = static_cast<int>(rows.size()) + 1;
    rows.push_back(q);
  }
  return mv::outerRing(rows);
}

std::vector<int> numbers(const mv::OuterRing& ring) {
  std::vector<int> out;
  for (const auto& q : ring.rows) out.push_back(q.number);
  return out;
}

const Positions kTriangle = {{500000, 4000000}, {503000, 4000000}, {500000, 4004000}};
const Positions kSquare = {{500000, 4000000}, {502000, 4000000}, {502000, 4002000}, {500000, 4002000}};
const Positions kPlus = {{501000, 4002000}, {502000, 4001000}, {501000, 4000000}, {500000, 4001000}};
const Positions kTilted = {{500000, 4000000}, {504000, 4001000}, {503000, 4005000}, {499000, 4004000}};
const Positions kLine = {{500000, 4000000}, {501000, 4000000}, {502000, 4000000}};

Positions withInside(Positions p) {
  p.push_back({501700, 4002300});
  return p;
}

// Regular camera grids, 1 km apart, numbered row by row from the south-west.
Positions grid(int columns, int rows) {
  Positions p;
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i) p.push_back({500000 + 1000 * i, 4000000 + 1000 * j});
  return p;
}

}  // namespace

TEST(AreaOfEachGroup, ShapesAndTotals) {
  const mv::Study st = grouped({
      {"Triangle", kTriangle},                                   // sides 3, 5 and 4 km
      {"Square", kSquare},                                       // 2 km square
      {"Plus", kPlus},                                           // diamond with 2 km diagonals
      {"Line", kLine},                                           // no area: dashes, not in the totals
      {"Pair", {{500000, 4000000}, {501000, 4001000}, {0, 0}}},  // two usable: no line
      {"Zeros", {{500000, 0}, {0, 4000000}, {500000, 4000000}, {501000, 4000000}}},  // two usable
      {"Tilted", kTilted},                                                           // square of side sqrt(17) km
  });
  // clang-format off
  mvtest::expectLines(run(st), section({
                                   N("Triangle") + "     6.00       2.32",
                                   N("Square") + "     4.00       1.54",
                                   N("Plus") + "     2.00       0.77",
                                   N("Line") + "  -------    -------",
                                   N("Tilted") + "    17.00       6.56",
                                   "Total area" + std::string(17, ' ') + "  29.00      11.20",
                               }));
  // clang-format on
}

TEST(AreaOfEachGroup, InsidePositionIsRemovedInTheFirstPass) {
  // clang-format off
  mvtest::expectLines(run(grouped({{"Tilted", withInside(kTilted)}})),
                      section({
                          N("Tilted") + "    17.00       6.56",
                          "Total area" + std::string(17, ' ') + "  17.00       6.56",
                      }));
  // clang-format on
  const mv::OuterRing ring = ringOf(withInside(kTilted));
  // The farthest position (4) starts and ends the ring; 5 is gone, and the
  // second pass found nothing more to remove.
  EXPECT_EQ(numbers(ring), (std::vector<int>{4, 1, 2, 3, 4}));
  EXPECT_EQ(ring.passes, 2);
}

TEST(AreaOfEachGroup, RingStartsAtTheFirstFarthestPositionInAngleOrder) {
  // Four equal distances: the north-east corner (angle 45) comes first.
  const mv::OuterRing square = ringOf(kSquare);
  EXPECT_EQ(numbers(square), (std::vector<int>{3, 4, 1, 2, 3}));
  EXPECT_EQ(square.passes, 1);
  // West and south take exactly 180 and 270 degrees.
  const mv::OuterRing plus = ringOf(kPlus);
  EXPECT_EQ(numbers(plus), (std::vector<int>{2, 1, 4, 3, 2}));
  EXPECT_EQ(plus.rows[2].a, 180.0f);
  EXPECT_EQ(plus.rows[3].a, 270.0f);
  EXPECT_EQ(plus.rows[0].a, 0.0f);
  EXPECT_EQ(numbers(ringOf(kTilted)), (std::vector<int>{3, 4, 1, 2, 3}));
}

TEST(AreaOfEachGroup, RegularGrids) {
  // 3 x 3: the ring starts at the north-east corner; the centre and the
  // east position both have angle 0 and close the ring after the south-east
  // corner. The middles of the sides lie straight north or south of the
  // centre or on a vertical chord and stay (not a number); so does the
  // centre itself (0 / 0), which cuts the triangle south-east corner, centre,
  // east position (0.5 km^2) out of the 4 km^2 square.
  const mv::OuterRing g33 = ringOf(grid(3, 3));
  EXPECT_EQ(numbers(g33), (std::vector<int>{9, 8, 7, 4, 1, 2, 3, 5, 6, 9}));
  // 2 x 5: the positions on the long sides not straight north or south of
  // the centre lie on their chord (d1 == d2) and are removed.
  const mv::OuterRing g25 = ringOf(grid(5, 2));
  EXPECT_EQ(numbers(g25), (std::vector<int>{10, 8, 6, 1, 3, 5, 10}));
  EXPECT_EQ(g25.passes, 2);
  // clang-format off
  mvtest::expectLines(run(grouped({{"Grid 3x3", grid(3, 3)}, {"Grid 2x5", grid(5, 2)}})),
                      section({
                          N("Grid 3x3") + "     3.50       1.35",
                          N("Grid 2x5") + "     4.00       1.54",
                          "Total area" + std::string(17, ' ') + "   7.50       2.90",
                      }));
  // clang-format on
}

TEST(AreaOfEachGroup, ChordTestFollowsIeeeArithmetic) {
  auto at = [](float x, float y) {
    mv::RingPosition q;
    q.x = x;
    q.y = y;
    return q;
  };
  // Outside its chord: stays. On its chord: removed.
  EXPECT_FALSE(mv::insideChord(at(2, 0), at(2, 2), at(0, 2)));
  EXPECT_TRUE(mv::insideChord(at(2, 0), at(1, 1), at(0, 2)));
  // Chord parallel to the line through M: infinite X, removed.
  EXPECT_TRUE(mv::insideChord(at(2, 0), at(1, 1), at(0, -2)));
  // Vertical chord: not a number, stays although it lies inside.
  EXPECT_FALSE(mv::insideChord(at(2, -1), at(1, 0), at(2, 1)));
  // M straight north of the centre: 0 x infinity, stays.
  EXPECT_FALSE(mv::insideChord(at(2, 2), at(0, 1), at(-2, 2)));
  // M at the centre: 0 / 0, stays.
  EXPECT_FALSE(mv::insideChord(at(1, -1), at(0, 0), at(1, 1)));
  // Horizontal chord parallel to the line through M: infinite X times a zero
  // slope, stays.
  EXPECT_FALSE(mv::insideChord(at(2, 1), at(1, 0), at(-2, 1)));
}

TEST(AreaOfEachGroup, NoGroupsGiveZeroTotals) {
  mvtest::expectLines(run(grouped({})), section({"Total area" + std::string(17, ' ') + "   0.00       0.00"}));
}
