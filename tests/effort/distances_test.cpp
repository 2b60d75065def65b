#include <utility>
#include <vector>

#include "effort/effort.hpp"
#include "effort/expect_lines.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace {

std::string N(const std::string& name) { return mv::makeName(name); }

// Groups with their average positions already known.
mv::Study positioned(const std::vector<std::pair<std::string, std::pair<int, int>>>& groups) {
  mv::Study st;
  st.NGROUPS = static_cast<int>(groups.size());
  st.sizeGroupTables();
  st.sizeGroupPositions();
  for (int g = 1; g <= st.NGROUPS; ++g) {
    const auto& group = groups[static_cast<std::size_t>(g - 1)];
    st.GROUPNAME(g) = N(group.first);
    st.GROUPUTM(g, 1) = group.second.first;
    st.GROUPUTM(g, 2) = group.second.second;
  }
  return st;
}

std::vector<std::string> run(const mv::Study& st) {
  return mvtest::runSectionExpecting(mv::DISTANCE, st, {" DISTANCE BETWEEN GROUPS"});
}

}  // namespace

TEST(Distance, TwoGroupsFiveKilometresApart) {
  const mv::Study st = positioned({{"Northern Ridge Station", {500000, 4000000}}, {"Valley", {503000, 4004000}}});
  // clang-format off
  mvtest::expectLines(run(st), {
                                   "DISTANCE (km) BETWEEN GROUPS",
                                   "Minimum distance =   5.000 Locations: " + N("Northern Ridge Station") + " " +
                                       N("Valley"),
                                   "Maximum distance =   5.000 Locations: " + N("Northern Ridge Station") + " " +
                                       N("Valley"),
                                   "Average distance =   5.000",
                                   "",
                                   // The header cuts names to 10 characters.
                                   "      Locations             Valley    ",
                                   N("Northern Ridge Station") + "      5.000",
                                   "",
                                   "",
                               });
  // clang-format on
}

TEST(Distance, TwelveGroupsGiveThreeBlocks) {
  std::vector<std::pair<std::string, std::pair<int, int>>> groups;
  for (int k = 1; k <= 12; ++k)
    groups.push_back({"Site-" + std::string(k < 10 ? "0" : "") + std::to_string(k) + "-long-name",
                      {500000 + 1000 * (k - 1), 4000000}});
  const mv::Study st = positioned(groups);
  // clang-format off
  mvtest::expectLines(
      run(st),
      {
          "DISTANCE (km) BETWEEN GROUPS",
          "Minimum distance =   1.000 Locations: " + N("Site-01-long-name") + " " + N("Site-02-long-name"),
          "Maximum distance =  11.000 Locations: " + N("Site-01-long-name") + " " + N("Site-12-long-name"),
          "Average distance =   4.333",  // 286 km over 66 pairs
          "",
          // Rows 1 to 10 against columns 2 to 11.
          "      Locations             Site-02-lo Site-03-lo Site-04-lo Site-05-lo Site-06-lo Site-07-lo Site-08-lo "
          "Site-09-lo Site-10-lo Site-11-lo",
          "Site-01-long-name              1.000      2.000      3.000      4.000      5.000      6.000      7.000      "
          "8.000      9.000     10.000",
          "Site-02-long-name              0.000      1.000      2.000      3.000      4.000      5.000      6.000      "
          "7.000      8.000      9.000",
          "Site-03-long-name              0.000      0.000      1.000      2.000      3.000      4.000      5.000      "
          "6.000      7.000      8.000",
          "Site-04-long-name              0.000      0.000      0.000      1.000      2.000      3.000      4.000      "
          "5.000      6.000      7.000",
          "Site-05-long-name              0.000      0.000      0.000      0.000      1.000      2.000      3.000      "
          "4.000      5.000      6.000",
          "Site-06-long-name              0.000      0.000      0.000      0.000      0.000      1.000      2.000      "
          "3.000      4.000      5.000",
          "Site-07-long-name              0.000      0.000      0.000      0.000      0.000      0.000      1.000      "
          "2.000      3.000      4.000",
          "Site-08-long-name              0.000      0.000      0.000      0.000      0.000      0.000      0.000      "
          "1.000      2.000      3.000",
          "Site-09-long-name              0.000      0.000      0.000      0.000      0.000      0.000      0.000      "
          "0.000      1.000      2.000",
          "Site-10-long-name              0.000      0.000      0.000      0.000      0.000      0.000      0.000      "
          "0.000      0.000      1.000",
          "",
          // Rows 1 to 10 against column 12.
          "      Locations             Site-12-lo",
          "Site-01-long-name             11.000",
          "Site-02-long-name             10.000",
          "Site-03-long-name              9.000",
          "Site-04-long-name              8.000",
          "Site-05-long-name              7.000",
          "Site-06-long-name              6.000",
          "Site-07-long-name              5.000",
          "Site-08-long-name              4.000",
          "Site-09-long-name              3.000",
          "Site-10-long-name              2.000",
          "",
          // Row 11 against column 12.
          "      Locations             Site-12-lo",
          "Site-11-long-name              1.000",
          "",
          "",
      });
  // clang-format on
}

TEST(Distance, NoPositionsGiven) {
  const mv::Study st = positioned({{"A", {0, 0}}, {"B", {0, 0}}});
  mvtest::expectLines(run(st), {"DISTANCE (km) BETWEEN GROUPS", "UTM locations not given in Input.txt", ""});
  // Without groups there is no position either.
  // clang-format off
  mvtest::expectLines(run(positioned({})),
                      {"DISTANCE (km) BETWEEN GROUPS", "UTM locations not given in Input.txt", ""});
  // clang-format on
}

TEST(Distance, NoPairMeasuredShowsZerosWithoutNames) {
  // Group A has a north-south position only: it takes part in no pair.
  const mv::Study st = positioned({{"A", {0, 4000000}}, {"B", {500000, 4000000}}});
  // clang-format off
  mvtest::expectLines(run(st), {
                                   "DISTANCE (km) BETWEEN GROUPS",
                                   "Minimum distance =   0.000",
                                   "Maximum distance =   0.000",
                                   "Average distance =   0.000",
                                   "",
                                   "      Locations             B         ",
                                   N("A") + "      0.000",
                                   "",
                                   "",
                               });
  // clang-format on
  // One group alone: no pair and an empty table.
  // clang-format off
  mvtest::expectLines(run(positioned({{"A", {500000, 4000000}}})), {
                                                                      "DISTANCE (km) BETWEEN GROUPS",
                                                                      "Minimum distance =   0.000",
                                                                      "Maximum distance =   0.000",
                                                                      "Average distance =   0.000",
                                                                      "",
                                                                      "",
                                                                  });
  // clang-format on
}

TEST(Distance, ExtremeWithoutRecordedPairEndsAfterItsValue) {
  // Same position: 0 km is the smallest but never above the largest's 0.
  const mv::Study same = positioned({{"A", {500000, 4000000}}, {"B", {500000, 4000000}}});
  // clang-format off
  mvtest::expectLines(run(same), {
                                     "DISTANCE (km) BETWEEN GROUPS",
                                     "Minimum distance =   0.000 Locations: " + N("A") + " " + N("B"),
                                     "Maximum distance =   0.000",
                                     "Average distance =   0.000",
                                     "",
                                     "      Locations             B         ",
                                     N("A") + "      0.000",
                                     "",
                                     "",
                                 });
  // clang-format on
  // 1100 km apart: never below the smallest's start of 1000 km (which is too
  // wide for its field).
  const mv::Study far = positioned({{"A", {100000, 1000000}}, {"B", {100000, 2100000}}});
  // clang-format off
  mvtest::expectLines(run(far), {
                                    "DISTANCE (km) BETWEEN GROUPS",
                                    "Minimum distance = *******",
                                    "Maximum distance = ******* Locations: " + N("A") + " " + N("B"),
                                    "Average distance = *******",
                                    "",
                                    "      Locations             B         ",
                                    N("A") + "    *******",
                                    "",
                                    "",
                                });
  // clang-format on
}
