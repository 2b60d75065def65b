#include <array>
#include <vector>

#include "effort/effort.hpp"
#include "effort/expect_lines.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace {

std::string N(const char* name) { return mv::makeName(name); }

using Place = std::array<int, 3>;  // east-west, north-south, elevation

// Groups of locations, each group listing its locations' positions.
mv::Study placed(const std::vector<std::pair<const char*, std::vector<Place>>>& groups) {
  mv::Study st;
  for (const auto& g : groups) st.NLOCATIONS += static_cast<int>(g.second.size());
  st.NGROUPS = static_cast<int>(groups.size());
  st.sizeLocationTables();
  st.sizeGroupTables();
  int loc = 0;
  for (int g = 1; g <= st.NGROUPS; ++g) {
    const auto& group = groups[static_cast<std::size_t>(g - 1)];
    st.GROUPNAME(g) = N(group.first);
    for (const Place& p : group.second) {
      ++loc;
      st.LOCATIONUTM(loc, 1) = p[0];
      st.LOCATIONUTM(loc, 2) = p[1];
      st.LOCATIONELEV(loc) = p[2];
      st.GROUPLOCATIONS(g, ++st.GROUPSIZE(g)) = loc;
    }
  }
  st.sizeGroupPositions();
  return st;
}

}  // namespace

TEST(GroupUtmElev, AveragesCutTowardZeroOverUsableLocations) {
  mv::Study st = placed({
      // Elevation 0 leaves the third location out of the position too.
      {"East", {{500001, 4000000, 100}, {500002, 4000001, 101}, {500500, 4000500, 0}}},
      {"Empty", {{0, 0, 0}, {0, 4000000, 50}}},
      // Below sea level counts: -11 / 2 is -5.
      {"Coast", {{300000, 1000000, -5}, {300001, 1000001, -6}}},
      {"Nobody", {}},
  });
  const std::vector<std::string> lines =
      mvtest::runSectionExpecting(mv::GROUPUTMELEV, st, {" GROUP UTM AND ELEVATION AVERAGES"});
  // clang-format off
  mvtest::expectLines(lines, {
                                          "GROUP UTM AND ELEVATION AVERAGES",
                                          "Group" + std::string(26, ' ') + "UTM" + std::string(8, ' ') + "Elevation",
                                          N("East") + "  500001 4000000     100",
                                          N("Empty") + "       0       0       0",
                                          N("Coast") + "  300000 1000000      -5",
                                          N("Nobody") + "       0       0       0",
                                          "",
                                      });
  // clang-format on
  EXPECT_EQ(st.GROUPUTM(1, 1), 500001);
  EXPECT_EQ(st.GROUPUTM(1, 2), 4000000);
  EXPECT_EQ(st.GROUPELEV(1), 100);
  EXPECT_EQ(st.GROUPUTM(2, 1), 0);
  EXPECT_EQ(st.GROUPELEV(3), -5);
}

TEST(GroupUtmElev, CoordinateSumsDoNotOverflow) {
  // 300 locations at north-south 9999999 sum to about 3e9.
  std::vector<Place> many(300, Place{999999, 9999999, 99999});
  mv::Study st = placed({{"Big", many}});
  mvtest::runSection(mv::GROUPUTMELEV, st);
  EXPECT_EQ(st.GROUPUTM(1, 1), 999999);
  EXPECT_EQ(st.GROUPUTM(1, 2), 9999999);
  EXPECT_EQ(st.GROUPELEV(1), 99999);
}
