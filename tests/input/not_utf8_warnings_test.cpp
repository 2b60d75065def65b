// The warning about names that are not UTF-8, which the tables and the page
// show with U+FFFD: the line it names, and the count of the other lines.
#include <string>
#include <vector>

#include "input/input_warnings.hpp"
#include "input_test_support.hpp"

using inputtest::ConsoleRun;

namespace {

// Input.txt laid out as: title (line 1), location count (2); location 1
// (3) with its period count and 3 periods (4-7); location 2 (8) with a
// count of 0 (9); location 3 (10) with 1 period (11-12); species count (13),
// species 1-2 (14-15). GroupMap.txt has three lines.
mv::StudyInput study() {
  mv::StudyInput st;
  st.NLOCATIONS = 3;
  st.NSPECIES = 2;
  st.MAXPERIODS = 3;
  st.NMAPLINES = 3;
  st.sizeLocationTables();
  st.sizeMapTables();
  const char* locations[] = {"Ridge", "Creek", "Meadow"};
  for (int l = 1; l <= 3; ++l) st.LOCATIONNAME(l) = mv::makeName(locations[l - 1]);
  st.NPERIODS(1) = 3;
  st.NPERIODS(2) = 0;
  st.NPERIODS(3) = 1;
  st.SPECIESNAME(1) = mv::makeName("Lynx");
  st.SPECIESNAME(2) = mv::makeName("Bobcat");
  for (int i = 1; i <= 3; ++i) st.MAPGROUP(i) = mv::makeName("North");
  return st;
}

std::vector<std::string> warnings(const mv::StudyInput& st, bool tables, bool page) {
  ConsoleRun run;
  mv::warnNotUtf8Names(st, run.console, tables, page);
  return run.lines();
}

}  // namespace

TEST(NotUtf8Warnings, NamesTheFirstLineAndCountsTheOthers) {
  mv::StudyInput st = study();
  EXPECT_EQ(warnings(st, true, true), std::vector<std::string>{});
  // A character that byte 25 cuts is no fault; a Latin-1 byte is.
  st.SPECIESNAME(1) = std::string(24, 'x') + "\xC3";
  st.TITLE = "Caf\xE9" + std::string(71, ' ');
  st.LOCATIONNAME(3) = mv::makeName("Pe\xF1\x61");
  st.SPECIESNAME(2) = mv::makeName("Z\xFCrich lynx");
  st.MAPGROUP(2) = mv::makeName("\x80");
  st.MAPGROUP(3) = mv::makeName("\x80");
  EXPECT_EQ(warnings(st, true, true),
            (std::vector<std::string>{
                " Warning: Input.txt line 1 and 2 more lines hold bytes that are not UTF-8: the tables and the page "
                "show them as U+FFFD",
                " Warning: GroupMap.txt line 2 and 1 more line hold bytes that are not UTF-8: the tables and the page "
                "show them as U+FFFD"}));
  // The location names are shown on the page only.
  st.TITLE = mv::makeName("Clean");
  EXPECT_EQ(warnings(st, true, false).at(0),
            " Warning: Input.txt line 15 holds bytes that are not UTF-8: the tables show them as U+FFFD");
  EXPECT_EQ(warnings(st, false, true).at(0),
            " Warning: Input.txt line 10 and 1 more line hold bytes that are not UTF-8: the page shows them as U+FFFD");
  EXPECT_EQ(warnings(st, false, false), std::vector<std::string>{});
}
