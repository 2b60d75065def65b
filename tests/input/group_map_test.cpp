#include <string>
#include <vector>

#include "input/input.hpp"
#include "input_test_support.hpp"

using inputtest::ConsoleRun;
using inputtest::pad;

namespace {

// A study with the given locations, run through the three map routines as
// the run driver calls them.
struct MapRun {
  mv::Study st;
  ConsoleRun run;

  MapRun(const mvtest::TempDir& dir, const std::vector<std::string>& locations) {
    st.NLOCATIONS = static_cast<int>(locations.size());
    st.sizeLocationTables();
    for (int l = 1; l <= st.NLOCATIONS; ++l) st.LOCATIONNAME(l) = pad(locations[static_cast<std::size_t>(l - 1)]);
    mv::GETNUMBEROFLOCATIONS(st, dir.path(), run.console);
    st.sizeMapTables();
    mv::READGROUPMAP(st, dir.path(), run.console);
    st.sizeGroupTables();
    mv::CREATESHORTGROUPLIST(st);
  }

  std::vector<std::string> groupNames() const {
    std::vector<std::string> names;
    for (int g = 1; g <= st.NGROUPS; ++g) names.push_back(st.GROUPNAME(g));
    return names;
  }
  std::vector<int> groupLocations(int g) const {
    std::vector<int> result;
    for (int k = 1; k <= st.GROUPSIZE(g); ++k) result.push_back(st.GROUPLOCATIONS(g, k));
    return result;
  }
};

// clang-format off
std::string mapLine(const std::string& location, const std::string& group) { return pad(location) + " " + group; }

}  // namespace

TEST(GroupMap, GroupsAreSortedByName) {
  mvtest::TempDir dir;
  // clang-format on
  mvtest::writeFile(dir / "GroupMap.txt", mapLine("Ridge A", "North") + "\n" + mapLine("Creek B", "East") + "\n");
  MapRun m(dir, {"Ridge A", "Creek B"});
  EXPECT_EQ(m.st.NMAPLINES, 2);
  EXPECT_EQ(m.st.NGROUPS, 2);
  EXPECT_EQ(m.groupNames(), (std::vector<std::string>{pad("East"), pad("North")}));
  EXPECT_EQ(m.groupLocations(1), std::vector<int>{2});  // Creek B is the only location of group 1
  EXPECT_EQ(m.groupLocations(2), std::vector<int>{1});
  EXPECT_EQ(m.st.LOCATIONGROUP(1), pad("North"));
  // clang-format off
  EXPECT_EQ(m.run.lines(), (std::vector<std::string>{"  2 locations found in GroupMap.txt",
                                                     "  2 groups found in GroupMap.txt"}));
  // clang-format on
}

TEST(GroupMap, EmptyLineMakesTheBlankGroupOne) {
  for (const std::string& text : {mapLine("Ridge A", "North") + "\n\n",  // after the last entry
                                  mapLine("Ridge A", "North") + "\r\n\r\n" + mapLine("Ridge B", "North")}) {
    SCOPED_TRACE(text);
    mvtest::TempDir dir;
    mvtest::writeFile(dir / "GroupMap.txt", text);
    MapRun m(dir, {"Creek C", "Ridge A", "Meadow"});
    EXPECT_EQ(m.groupNames(), (std::vector<std::string>{pad(""), pad("North")}));
    // Locations without a map entry have the blank group name too.
    EXPECT_EQ(m.groupLocations(1), (std::vector<int>{1, 3}));
    EXPECT_EQ(m.groupLocations(2), std::vector<int>{2});
    EXPECT_EQ(m.run.lines().back(), "  2 groups found in GroupMap.txt");
  }
}

TEST(GroupMap, MissingMapIsCreatedEmpty) {
  mvtest::TempDir dir;
  MapRun m(dir, {"Ridge A"});
  ASSERT_TRUE(std::filesystem::exists(dir / "GroupMap.txt"));
  EXPECT_EQ(std::filesystem::file_size(dir / "GroupMap.txt"), 0u);
  EXPECT_EQ(m.st.NMAPLINES, 0);
  EXPECT_EQ(m.st.NGROUPS, 0);
  EXPECT_EQ(m.st.LOCATIONGROUP(1), pad(""));
  // clang-format off
  EXPECT_EQ(m.run.lines(), (std::vector<std::string>{"  0 locations found in GroupMap.txt",
                                                     "  0 groups found in GroupMap.txt"}));
  // clang-format on
}

TEST(GroupMap, FirstEntryWinsAndUnknownLocationsStillMakeGroups) {
  mvtest::TempDir dir;
  // Ridge A twice (the first entry counts), a location missing from Input.txt
  // whose group has no location, names beyond column 51 cut, CR LF line ends,
  // groups ordered by character code (blank < upper case < lower case).
  mvtest::writeFile(dir / "GroupMap.txt", mapLine("Ridge A", "north") + "\r\n" + mapLine("Ridge A", "South") + "\r\n" +
                                              mapLine("Nowhere", "Lost") + "\r\n" + mapLine("Creek B", "North") +
                                              "\r\n" + mapLine("Creek C", " Low") + "\r\n" +
                                              mapLine("Creek D", "Valley group of a long nameXYZ") + "\r\n");
  MapRun m(dir, {"Ridge A", "Creek B", "Creek C", "Creek D", "Ridge A"});
  EXPECT_EQ(m.st.NMAPLINES, 6);
  EXPECT_EQ(m.st.MAPGROUP(6), "Valley group of a long na");
  // clang-format off
  EXPECT_EQ(m.groupNames(), (std::vector<std::string>{pad(" Low"), pad("Lost"), pad("North"), pad("South"),
                                                      "Valley group of a long na", pad("north")}));
  // clang-format on
  EXPECT_EQ(m.st.GROUPSIZE(2), 0);  // Lost
  EXPECT_EQ(m.st.GROUPSIZE(4), 0);  // South: Ridge A took its first entry
  EXPECT_EQ(m.groupLocations(6), (std::vector<int>{1, 5}));
  EXPECT_EQ(m.groupLocations(5), std::vector<int>{4});
  // clang-format off
  EXPECT_EQ(m.run.lines(), (std::vector<std::string>{"  6 locations found in GroupMap.txt",
                                                     "  6 groups found in GroupMap.txt"}));
  // clang-format on
}

TEST(GroupMap, MoreThan999LinesShowAsterisks) {
  mvtest::TempDir dir;
  std::string text;
  // Names built by appending: GCC 12 at -O3 takes `"L" + std::string` for
  // an overlapping copy and warns (-Wrestrict).
  const auto numbered = [](char letter, int i) {
    std::string name(1, letter);
    name += std::to_string(i);
    return name;
  };
  for (int i = 1; i <= 1000; ++i) text += mapLine(numbered('L', i), numbered('G', i)) + "\n";
  mvtest::writeFile(dir / "GroupMap.txt", text);
  MapRun m(dir, {"L7"});
  EXPECT_EQ(m.st.NGROUPS, 1000);
  // clang-format off
  EXPECT_EQ(m.run.lines(), (std::vector<std::string>{"*** locations found in GroupMap.txt",
                                                     "*** groups found in GroupMap.txt"}));
  // clang-format on
  EXPECT_EQ(m.st.GROUPNAME(1), pad("G1"));
  EXPECT_EQ(m.st.GROUPNAME(2), pad("G10"));
}
