#include <array>
#include <vector>

#include "effort/effort.hpp"
#include "effort/expect_lines.hpp"
#include "effort/placed_study.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace {

std::string N(const char* name) { return mv::makeName(name); }

using efforttest::Place;

}  // namespace

TEST(GroupUtmElev, AveragesCutTowardZeroOverUsableLocations) {
  mv::Study st = efforttest::placedStudy({
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
  mv::Study st = efforttest::placedStudy({{"Big", many}});
  mvtest::runSection(mv::GROUPUTMELEV, st);
  EXPECT_EQ(st.GROUPUTM(1, 1), 999999);
  EXPECT_EQ(st.GROUPUTM(1, 2), 9999999);
  EXPECT_EQ(st.GROUPELEV(1), 99999);
}
