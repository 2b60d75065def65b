#include <sstream>
#include <string>
#include <vector>

#include "report/report.hpp"
#include "support/test_support.hpp"

using Lines = std::vector<std::string>;

namespace {

std::string name(const std::string& s) { return mv::makeName(s); }

mv::Study headerStudy(int nLocations, int nSpecies) {
  mv::Study st;
  st.NLOCATIONS = nLocations;
  st.NSPECIES = nSpecies;
  st.sizeLocationTables();
  st.TITLE = mv::padded("Ridge transect 2010", mv::kTitleLength);
  for (int l = 1; l <= nLocations; ++l) st.LOCATIONNAME(l) = name("Loc" + std::to_string(l));
  for (int s = 1; s <= nSpecies; ++s) st.SPECIESNAME(s) = name("Species " + std::to_string(s));
  return st;
}

// The header of a study whose picture list had `processed` lines, `used`
// of them used and `rejected` rejected, written on `date`.
Lines header(mv::Study st, int processed, int used, int rejected, mv::LocalDate date) {
  st.NPROCESSED = processed;
  st.NUSED = used;
  st.NREJECTED = rejected;
  mvtest::Capture c;
  mv::writeReportHeader(st, st, c.writer, date);
  return c.lines();
}

}  // namespace

TEST(ReportHeader, FiveLocationsSevenSpeciesNoRejects) {
  // clang-format off
  const Lines expected = {
      mv::padded("Ridge transect 2010", 75),
      "Date: 2024 Mar  5",
      "",
      "LOCATIONS    5",
      // Exactly five names: one line of five, then the empty line of the slash.
      "  " + name("Loc1") + " " + name("Loc2") + " " + name("Loc3") + " " + name("Loc4") + " " + name("Loc5"),
      "",
      "",
      "SPECIES    7",
      "  " + name("Species 1") + " " + name("Species 2") + " " + name("Species 3") + " " + name("Species 4") +
          " " + name("Species 5"),
      "  " + name("Species 6") + " " + name("Species 7"),
      "",
      "This file contained    1234  lines",
      "Number of lines used in analysis    1234",
      "Reject file has        0 lines not used in analysis",
      "",
  };
  // clang-format on
  EXPECT_EQ(header(headerStudy(5, 7), 1234, 1234, 0, mv::LocalDate{2024, 3, 5}), expected);
}

TEST(ReportHeader, DateLineAndCounters) {
  // clang-format off
  const Lines expected = {
      mv::padded("Ridge transect 2010", 75),
      "Date: 2017 Dec 24",
      "",
      "LOCATIONS    1",
      "  " + name("Loc1"),
      "",
      "SPECIES    0",
      "",  // the list layout with no names
      "",
      "This file contained      12  lines",
      "Number of lines used in analysis      10",
      "Reject file has        2 lines not used in analysis",
      "",
  };
  // clang-format on
  EXPECT_EQ(header(headerStudy(1, 0), 12, 10, 2, mv::LocalDate{2017, 12, 24}), expected);
}

TEST(ReportHeader, OpenOutFileWritesTheHeaderToTheFile) {
  mvtest::TempDir dir;
  mv::Study st = headerStudy(2, 1);
  std::istringstream in;
  std::ostringstream out;
  mv::Console console(out, in);
  mv::FileSink file;
  mv::OPENOUTFILE(st, st, dir.path(), file, console, mv::LocalDate{2010, 1, 31});
  EXPECT_FALSE(std::filesystem::exists(dir / "OutputGroups.txt"));  // not before it is complete
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(out.str(), " OPEN OUTPUT FILE\r\n");
  const Lines lines = mvtest::readLines(dir / "OutputGroups.txt");
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[1], "Date: 2010 Jan 31");
  // clang-format off
  EXPECT_EQ(lines[4], "  " + name("Loc1") + " " + name("Loc2"));
  // clang-format on
  EXPECT_EQ(lines[11], "Reject file has        0 lines not used in analysis");
}

TEST(GroupAssignments, GroupsWithTheirLocations) {
  mv::Study st = headerStudy(7, 1);
  st.NGROUPS = 3;
  st.sizeGroupTables();
  st.GROUPNAME(1) = name("East ridge");
  st.GROUPNAME(2) = name("Empty valley");
  st.GROUPNAME(3) = name("West slope");
  st.GROUPSIZE(1) = 1;
  st.GROUPLOCATIONS(1, 1) = 7;
  st.GROUPSIZE(2) = 0;  // no location of Input.txt
  st.GROUPSIZE(3) = 6;
  for (int i = 1; i <= 6; ++i) st.GROUPLOCATIONS(3, i) = i;
  mvtest::Capture c;
  mv::WRITEGROUPASSIGNMENT(st, c.writer);
  // clang-format off
  const Lines expected = {
      "GROUP ASSIGNMENTS",
      name("East ridge"),
      "  " + name("Loc7"),
      name("Empty valley"),
      "",  // a group with no locations: its name, then one empty line
      name("West slope"),
      "  " + name("Loc1") + " " + name("Loc2") + " " + name("Loc3") + " " + name("Loc4") + " " + name("Loc5"),
      "  " + name("Loc6"),
      "",
  };
  // clang-format on
  EXPECT_EQ(c.lines(), expected);
}

TEST(GroupAssignments, ExactlyFiveLocationsAndNoGroups) {
  mv::Study st = headerStudy(5, 1);
  st.NGROUPS = 1;
  st.sizeGroupTables();
  st.GROUPNAME(1) = name("Ridge");
  st.GROUPSIZE(1) = 5;
  for (int i = 1; i <= 5; ++i) st.GROUPLOCATIONS(1, i) = 6 - i;
  mvtest::Capture c;
  mv::WRITEGROUPASSIGNMENT(st, c.writer);
  // clang-format off
  EXPECT_EQ(c.lines(), (Lines{"GROUP ASSIGNMENTS", name("Ridge"),
                              "  " + name("Loc5") + " " + name("Loc4") + " " + name("Loc3") + " " + name("Loc2") +
                                  " " + name("Loc1"),
                              "", ""}));
  // clang-format on

  mv::Study none = headerStudy(1, 1);
  none.sizeGroupTables();
  mvtest::Capture d;
  mv::WRITEGROUPASSIGNMENT(none, d.writer);
  EXPECT_EQ(d.lines(), (Lines{"GROUP ASSIGNMENTS", ""}));
}
