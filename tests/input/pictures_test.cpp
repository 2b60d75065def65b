#include <sys/stat.h>

#include <climits>
#include <fstream>
#include <thread>
#include <string>
#include <vector>

#include "input/input.hpp"
#include "events/events.hpp"
#include "input/picture_list.hpp"
#include "input_test_support.hpp"

using inputtest::ConsoleRun;
using inputtest::counterLine;
using inputtest::endStatus;
using inputtest::pad;

namespace {

// A study built directly in its tables: FIRSTYEAR 2010 to LASTYEAR 2011,
// cameras working from 15 March 2010 (day 74) to 31 October 2011 (day 669).
// Groups East (1) and North (2); Ridge A is in North, Creek B in East,
// Orphan has no group. Species Black bear (1) and Puma (2).
mv::Study smallStudy() {
  mv::Study st;
  st.NLOCATIONS = 3;
  st.NSPECIES = 2;
  st.MAXPERIODS = 1;
  st.sizeLocationTables();
  for (int l = 1; l <= 3; ++l) {
    st.NPERIODS(l) = 1;
    st.PERIODSTART(l, 1, mv::kDayNumber) = 74;
    st.PERIODSTOP(l, 1, mv::kDayNumber) = 669;
  }
  st.LOCATIONNAME(1) = pad("Ridge A");
  st.LOCATIONNAME(2) = pad("Creek B");
  st.LOCATIONNAME(3) = pad("Orphan");
  st.SPECIESNAME(1) = pad("Black bear");
  st.SPECIESNAME(2) = pad("Puma");
  st.FIRSTYEAR = 2010;
  st.LASTYEAR = 2011;
  st.FIRSTDAY = 74;
  st.LASTDAY = 669;
  st.NMAPLINES = 2;
  st.sizeMapTables();
  st.LOCATIONGROUP(1) = pad("North");
  st.LOCATIONGROUP(2) = pad("East");
  st.NGROUPS = 2;
  st.sizeGroupTables();
  st.GROUPNAME(1) = pad("East");
  st.GROUPNAME(2) = pad("North");
  return st;
}

// Start of a picture line: location and species in their columns.
std::string names(const std::string& location, const std::string& species) {
  // clang-format off
  return pad(location) + " " + pad(species);
  // clang-format on
}

struct PictureRun {
  ConsoleRun run;
  int status = -1;
  PictureRun(mv::Study& st, const mvtest::TempDir& dir, const std::string& answers = "") : run(answers) {
    status = endStatus([&] { mv::READALLPICTURES(st, st, dir.path(), run.console); });
  }
};

}  // namespace

TEST(Pictures, AcceptedLinesBecomePictureListLines) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "AllPictures.txt", names("Ridge A", "Black bear") + " 2010  7 12  3 15  0  1\r\n" +
                                                 names("Creek B", "Puma") + " 2011 10 31 23 59 59 99\r\n" +
                                                 // Leading zeros, 0 individuals, text after column 74.
                                                 names("Creek B", "Black bear") + " 2010 03 15 00 00 00 00 comment\n" +
                                                 // Month "1 " (a blank inside a field is ignored); the line
                                                 // ends before the second and individuals, read as 0.
                                                 names("Ridge A", "Puma") + " 2011 1   2  3  4\n");
  mv::Study st = smallStudy();
  PictureRun r(st, dir);
  ASSERT_EQ(r.status, -1);
  // Hand-computed: 12 July 2010 is day 181 + 12 = 193; hour 193*24+3 = 4635;
  // minute 4635*60+15 = 278115. 31 October 2011 is day 365 + 304 = 669.
  EXPECT_EQ(mvtest::readLines(dir / "FinalPicsList.txt"),
            // clang-format off
            (std::vector<std::string>{"  2   1 2010  7 12  3 15  0  1     193    4635  278115",
                                      "  1   2 2011 10 31 23 59 59 99     669   16079  964799",
                                      "  1   1 2010  3 15  0  0  0  0      74    1776  106560",
                                      "  2   2 2011  1  2  3  4  0  0     367    8811  528664"}));
  // clang-format on
  EXPECT_FALSE(std::filesystem::exists(dir / "Reject.txt"));
  EXPECT_EQ(st.NPROCESSED, 4);
  EXPECT_EQ(st.NUSED, 4);
  EXPECT_EQ(st.NREJECTED, 0);
  // clang-format off
  EXPECT_EQ(r.run.lines(), (std::vector<std::string>{" READ ALLPICTURES.TXT", counterLine("   Processed        ", 4),
                                                     counterLine("   Used in analysis ", 4),
                                                     counterLine("   Rejected         ", 0)}));
  // clang-format on
}

TEST(Pictures, EachReasonWritesItsTwoRejectLines) {
  mvtest::TempDir dir;
  const std::string tail = " 2010  7 12  3 15  0  1";
  mvtest::writeFile(dir / "AllPictures.txt",
                    names("Ridge A", "Wolf") + " 2010  7 12 03 15 00  1\n" +  // numbers written back aligned
                        names("Nowhere", "Wolf") + tail + "\n" +              // both unknown: once, for the species
                        names("Orphan", "Puma") + tail + "\n" +               // location without a group
                        names("Ghost", "Puma") + tail + "\n" +                // not in Input.txt
                        names("Ridge A", "Puma") + " 2009  7 12  3 15  0  1\n" + names("Ridge A", "Puma") +
                        " 2012  1  1  0  0  0  1\n" + names("Ridge A", "Puma") + " 2010 13 12  3 15  0  1\n" +
                        names("Ridge A", "Puma") + " 2010  7  0  3 15  0  1\n" + names("Ridge A", "Puma") +
                        " 2010  4 31  3 15  0  1\n" +  // 31 April passes the day test
                        names("Ridge A", "Puma") + " 2010  7 12 24  0  0  1\n" + names("Ridge A", "Puma") +
                        " 2010  7 12  3 60  0  1\n" + names("Ridge A", "Puma") + " 2010  7 12  3 15 -1  1\n" +
                        names("Ridge A", "Puma") + " 2010  7 12  3 15  0 -1\n" + names("Ridge A", "Puma") +
                        " 2O10  7 12  3 15  0  1 and a comment past column 74\n" + names("Ridge A", "Puma") +
                        " 2010  7 12  3 15  0  +\n" + names("Ridge A", "Puma") + " 2010  7 12  3 15  0  1\n");
  mv::Study st = smallStudy();
  PictureRun r(st, dir);
  ASSERT_EQ(r.status, -1);
  const std::string puma = pad("Puma");
  const std::string ridge = pad("Ridge A");
  EXPECT_EQ(mvtest::readLines(dir / "Reject.txt"),
            // clang-format off
            (std::vector<std::string>{
                "Species not found or not included: " + pad("Wolf"),
                ridge + " " + pad("Wolf") + tail,
                "Species not found or not included: " + pad("Wolf"),
                pad("Nowhere") + " " + pad("Wolf") + tail,
                "Site not found or not included: " + pad("Orphan"),
                pad("Orphan") + " " + puma + tail,
                "Site not found or not included: " + pad("Ghost"),
                pad("Ghost") + " " + puma + tail,
                "Year out of study range: 2009",
                ridge + " " + puma + " 2009  7 12  3 15  0  1",
                "Year out of study range: 2012",
                ridge + " " + puma + " 2012  1  1  0  0  0  1",
                "Month out of range: 13",
                ridge + " " + puma + " 2010 13 12  3 15  0  1",
                "Day out of range:  0",
                ridge + " " + puma + " 2010  7  0  3 15  0  1",
                "Time out of range: 24  0  0",
                ridge + " " + puma + " 2010  7 12 24  0  0  1",
                "Time out of range:  3 60  0",
                ridge + " " + puma + " 2010  7 12  3 60  0  1",
                "Time out of range:  3 15 -1",
                ridge + " " + puma + " 2010  7 12  3 15 -1  1",
                "Number of individuals out of range 01-99:  -1",
                ridge + " " + puma + " 2010  7 12  3 15  0 -1",
                "Unreadable number in picture line",
                ridge + " " + puma + " 2O10  7 12  3 15  0  1",
                "Unreadable number in picture line",
                ridge + " " + puma + " 2010  7 12  3 15  0  +",
            }));
  // clang-format on
  EXPECT_EQ(st.NPROCESSED, 16);
  EXPECT_EQ(st.NREJECTED, 14);
  EXPECT_EQ(st.NUSED, 2);
  // 30 April 2010 + 1 = day 120 + 1; hour 121*24+3 = 2907; minute 2907*60+15.
  EXPECT_EQ(mvtest::readLines(dir / "FinalPicsList.txt"),
            // clang-format off
            (std::vector<std::string>{"  2   2 2010  4 31  3 15  0  1     121    2907  174435",
                                      "  2   2 2010  7 12  3 15  0  1     193    4635  278115"}));
  // clang-format on
  // The counters end the console lines, after the warnings about the two
  // unreadable lines.
  const std::vector<std::string> lines = r.run.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], counterLine("   Used in analysis ", 2));
  EXPECT_EQ(lines.back(), counterLine("   Rejected         ", 14));
}

TEST(Pictures, EmptyLineIsRejectedForItsBlankSpecies) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "AllPictures.txt", names("Ridge A", "Puma") + " 2010  7 12  3 15  0  1\r\n\r\n");
  mv::Study st = smallStudy();
  PictureRun r(st, dir);
  ASSERT_EQ(r.status, -1);
  EXPECT_EQ(mvtest::readLines(dir / "Reject.txt"),
            // clang-format off
            (std::vector<std::string>{"Species not found or not included: " + pad(""),
                                      pad("") + " " + pad("") + "    0  0  0  0  0  0  0"}));
  // clang-format on
  EXPECT_EQ(st.NPROCESSED, 2);
  EXPECT_EQ(st.NREJECTED, 1);
}

TEST(Pictures, BlankSpeciesNameAcceptsTheEmptyLine) {
  mvtest::TempDir dir;
  // A blank species and the blank group name make an empty line a picture,
  // which then fails on its year 0.
  mvtest::writeFile(dir / "AllPictures.txt", "\n");
  mv::Study st = smallStudy();
  st.SPECIESNAME(2) = pad("");
  st.LOCATIONNAME(3) = pad("");
  st.LOCATIONGROUP(3) = pad("");
  st.GROUPNAME(1) = pad("");
  PictureRun r(st, dir);
  EXPECT_EQ(
      mvtest::readLines(dir / "Reject.txt"),
      // clang-format off
            (std::vector<std::string>{"Year out of study range:    0",
                                      pad("") + " " + pad("") + "    0  0  0  0  0  0  0"}));
  // clang-format on
}

TEST(Pictures, DatesOutsideTheCameraSpanAreDroppedSilently) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Reject.txt", "left from an earlier run\r\n");
  mvtest::writeFile(dir / "AllPictures.txt", names("Ridge A", "Puma") + " 2010  3 14 23 59  0  1\n" +      // day 73
                                                 names("Ridge A", "Puma") + " 2011 11  1  0  0  0  1\n" +  // day 670
                                                 names("Ridge A", "Puma") + " 2010  3 15  0  0  0  1\n");  // day 74
  mv::Study st = smallStudy();
  PictureRun r(st, dir);
  ASSERT_EQ(r.status, -1);
  EXPECT_EQ(st.NPROCESSED, 3);
  EXPECT_EQ(st.NUSED, 3);
  EXPECT_EQ(st.NREJECTED, 0);
  EXPECT_EQ(mvtest::readLines(dir / "FinalPicsList.txt"),
            std::vector<std::string>{"  2   2 2010  3 15  0  0  0  1      74    1776  106560"});
  EXPECT_FALSE(std::filesystem::exists(dir / "Reject.txt"));
}

TEST(Pictures, MissingPictureFileWaitsAndLeavesTheOutputFiles) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Reject.txt", "old reject\r\n");
  mvtest::writeFile(dir / "FinalPicsList.txt", "old list\r\n");
  mv::Study st = smallStudy();
  PictureRun r(st, dir, "\nnot read\n");
  EXPECT_EQ(r.status, 1);
  // clang-format off
  EXPECT_EQ(r.run.lines(), (std::vector<std::string>{
                               " READ ALLPICTURES.TXT",
                               " AllPictures.txt file not present ... Hit enter to TERMINATE with ERROR"}));
  // clang-format on
  EXPECT_EQ(r.run.unread(), "not read\n");
  EXPECT_EQ(mvtest::readFile(dir / "Reject.txt"), "old reject\r\n");
  EXPECT_EQ(mvtest::readFile(dir / "FinalPicsList.txt"), "old list\r\n");
}

TEST(Pictures, NameLookupsTakeTheFirstMatch) {
  mv::Study st;
  st.NLOCATIONS = 4;
  st.NSPECIES = 3;
  st.sizeLocationTables();
  st.SPECIESNAME(1) = pad("Puma");
  st.SPECIESNAME(2) = pad("Lynx");
  st.SPECIESNAME(3) = pad("Lynx");
  // Three locations called Dup: the first one's group is not in the group
  // list, so the second one decides.
  st.LOCATIONNAME(1) = pad("Dup");
  st.LOCATIONNAME(2) = pad("Dup");
  st.LOCATIONNAME(3) = pad("Dup");
  st.LOCATIONNAME(4) = pad("Solo");
  st.NMAPLINES = 0;
  st.sizeMapTables();
  st.LOCATIONGROUP(1) = pad("Gone");
  st.LOCATIONGROUP(2) = pad("West");
  st.LOCATIONGROUP(3) = pad("East");
  st.LOCATIONGROUP(4) = pad("Gone");
  st.NGROUPS = 2;
  st.sizeGroupTables();
  st.GROUPNAME(1) = pad("East");
  st.GROUPNAME(2) = pad("West");
  EXPECT_EQ(mv::GETSPECIESID(st, pad("Lynx")), 2);
  EXPECT_EQ(mv::GETSPECIESID(st, pad("Puma")), 1);
  EXPECT_EQ(mv::GETSPECIESID(st, pad("puma")), 0);
  EXPECT_EQ(mv::GETSITEID(st, pad("Dup")), 2);
  EXPECT_EQ(mv::GETSITEID(st, pad("Solo")), 0);
  EXPECT_EQ(mv::GETSITEID(st, pad("East")), 0);

  // The picture reader gives the same numbers.
  st.FIRSTYEAR = 2010;
  st.LASTYEAR = 2010;
  st.FIRSTDAY = 1;
  st.LASTDAY = 365;
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "AllPictures.txt", names("Dup", "Lynx") + " 2010  1  1  0  0  0  1\n" +
                                                 names("Solo", "Lynx") + " 2010  1  1  0  0  0  1\n" +
                                                 names("Dup", "Puma") + " 2010  1  1  0  0  0  1\n");
  PictureRun r(st, dir);
  ASSERT_EQ(r.status, -1);
  EXPECT_EQ(mvtest::readLines(dir / "FinalPicsList.txt"),
            // clang-format off
            (std::vector<std::string>{"  2   2 2010  1  1  0  0  0  1       1      24    1440",
                                      "  2   1 2010  1  1  0  0  0  1       1      24    1440"}));
  // clang-format on
  EXPECT_EQ(mvtest::readLines(dir / "Reject.txt")[0], "Site not found or not included: " + pad("Solo"));
}

namespace {

const std::string kTerminate = " Hit enter to TERMINATE WITH ERROR";

}  // namespace

TEST(Pictures, TooManyGroupsOrSpeciesForTheList) {
  for (const bool groups : {true, false}) {
    SCOPED_TRACE(groups);
    mvtest::TempDir dir;
    mvtest::writeFile(dir / "AllPictures.txt", names("Ridge A", "Puma") + " 2010  7 12  3 15  0  1\n");
    mv::Study st = smallStudy();
    if (groups) {
      st.NGROUPS = 1000;
      st.sizeGroupTables();
    } else {
      st.NSPECIES = 1000;
      st.SPECIESNAME.resize({mv::Range{1, 1000}}, pad("Puma"));
    }
    PictureRun r(st, dir, "\nnot read\n");
    EXPECT_EQ(r.status, 1);
    const std::string message = groups
                                    ? " Too many groups for FinalPicsList.txt: 1000 groups in GroupMap.txt, at most 999"
                                    : " Too many species for FinalPicsList.txt: 1000 species in Input.txt, at most 999";
    EXPECT_EQ(r.run.lines(), (std::vector<std::string>{" READ ALLPICTURES.TXT", message, kTerminate}));
    EXPECT_EQ(r.run.unread(), "not read\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "FinalPicsList.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Reject.txt"));
  }
}

TEST(Pictures, MinuteNumberAboveSevenDigitsEndsTheRun) {
  // 1 January 2019 is day 19*365 + 5 + 1 = 6941 counted from 2000; 4 January
  // (day 6944) at 10:39 is minute (6944*24 + 10)*60 + 39 = 9999999.
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "AllPictures.txt", names("Ridge A", "Puma") + " 2019  1  4 10 39  0  1\n" +
                                                 names("Ridge A", "Wolf") + " 2019  1  4 10 39  0  1\n" +
                                                 names("Ridge A", "Puma") + " 2019  1  4 10 40  0  1\n" +
                                                 names("Ridge A", "Puma") + " 2019  1  4 10 41  0  1\n");
  mv::Study st = smallStudy();
  st.FIRSTYEAR = 2000;
  st.LASTYEAR = 2020;
  st.FIRSTDAY = 1;
  st.LASTDAY = 7671;
  {
    mvtest::TempDir fits;
    mvtest::writeFile(fits / "AllPictures.txt", names("Ridge A", "Puma") + " 2019  1  4 10 39  0  1\n");
    mv::Study ok = st;
    PictureRun r(ok, fits);
    ASSERT_EQ(r.status, -1);
    EXPECT_EQ(mvtest::readLines(fits / "FinalPicsList.txt"),
              std::vector<std::string>{"  2   2 2019  1  4 10 39  0  1    6944  166666 9999999"});
  }
  PictureRun r(st, dir, "\nnot read\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.run.lines(),
            // clang-format off
            (std::vector<std::string>{" READ ALLPICTURES.TXT",
                                      " Minute number too large for FinalPicsList.txt: 10000000 at line 3 of "
                                      "AllPictures.txt, at most 9999999 (the study spans too many years)",
                                      kTerminate}));
  // clang-format on
  EXPECT_EQ(r.run.unread(), "not read\n");
  // Neither file of the unfinished reading is left behind, not even under a
  // temporary name.
  EXPECT_FALSE(std::filesystem::exists(dir / "FinalPicsList.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Reject.txt"));
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename(), "AllPictures.txt");
}

TEST(Pictures, ListLineFormatterMatchesTheRenderer) {
  const std::vector<mv::ListedPicture> cases = {
      {1, 1, 2010, 1, 1, 0, 0, 0, 0, 1, 24, 1440},
      {999, 999, 9999, 12, 31, 23, 59, 59, 99, 9999999, 9999999, 9999999},
      {12, 345, 2011, 6, 20, 23, 59, 59, 0, 536, 12887, 773279},
      {-1, -99, -999, -1, -9, 0, 5, 0, -9, -1, -999999, 0},
      // Too wide for their columns: asterisks in both.
      {1000, -100, 10000, 100, -10, 123, 0, 0, 0, 10000000, -1000000, INT_MAX},
      {INT_MIN, INT_MAX, INT_MIN, 0, 0, 0, 0, 0, 0, INT_MIN, 0, 0},
  };
  // Every field at each change in its number of digits.
  std::vector<mv::ListedPicture> all = cases;
  for (int v = 1; v <= 10000000; v *= 10)
    for (const int x : {v - 1, v, v + 1}) all.push_back({x, x, x, x, x, x, x, x, x, x, x, x});
  for (const auto& p : all) {
    std::string fast;
    mv::formatListedPicture(p, fast);
    const auto rendered = mvtest::lines(mv::kPictureListLayout, p.group, p.species, p.year, p.month, p.day, p.hour,
                                        p.minute, p.second, p.individuals, p.dayNumber, p.hourNumber, p.minuteNumber);
    ASSERT_EQ(rendered.size(), 1u);
    EXPECT_EQ(fast, rendered[0]);
    EXPECT_EQ(fast.size(), 54u);
  }
  // A line written over the one before it, for every pair.
  for (const auto& before : all)
    for (const auto& p : all) {
      std::string beforeLine;
      std::string fresh;
      mv::formatListedPicture(before, beforeLine);
      mv::formatListedPicture(p, fresh);
      std::string after(54, '#');
      mv::putListedPictureAfter(p, after.data(), before, beforeLine.data());
      ASSERT_EQ(after, fresh);
    }
  std::string line;
  mv::formatListedPicture(cases[3], line);
  EXPECT_EQ(line, " -1 -99 -999 -1 -9  0  5  0 -9      -1 -999999       0");
  mv::formatListedPicture(cases[4], line);
  EXPECT_EQ(line, "*** *** **** ** ** **  0  0  0 ******* ******* *******");
}

namespace {

// Three thousand picture lines of every kind, ended by LF, CR LF or a lone
// CR, the last one without a line ending.
std::string mixedPictureLines(int count = 3000) {
  const std::string kinds[] = {names("Ridge A", "Puma"), names("Creek B", "Black bear"), names("Orphan", "Puma"),
                               names("Ridge A", "Wolf")};
  const char* ends[] = {"\n", "\r\n", "\r"};
  std::string text;
  for (int k = 0; k < count; ++k) {
    const int day = 1 + k % 28;
    // clang-format off
    std::string line = kinds[k % 4] + " " + std::to_string(2010 + k % 2) + "  7 " + (day < 10 ? " " : "") +
                       std::to_string(day) + "  3 15  0  " + std::to_string(1 + k % 9);
    // clang-format on
    if (k % 97 == 0) line[55] = 'x';  // an unreadable number
    text += line + (k + 1 < count ? ends[k % 3] : "");
  }
  return text;
}

struct ChunkedRead {
  std::string reject;
  std::string list;
  std::vector<std::string> console;
  std::vector<mv::ListedPicture> accepted;
  int processed = 0;
  int used = 0;
  int rejected = 0;
};

ChunkedRead readInChunks(const std::string& pictures, int threads, std::size_t chunkBytes, bool inOrder = false) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "AllPictures.txt", pictures);
  mv::Study st = smallStudy();
  ConsoleRun run;
  ChunkedRead r;
  mv::PictureReading how;
  how.threads = threads;
  how.chunkBytes = chunkBytes;
  how.readInOrder = inOrder;
  how.accepted = [&r](std::span<const mv::ListedPicture> p) {
    r.accepted.insert(r.accepted.end(), p.begin(), p.end());
  };
  mv::READALLPICTURES(st, st, dir.path(), run.console, how);
  r.reject = mvtest::readFile(dir / "Reject.txt");
  r.list = mvtest::readFile(dir / "FinalPicsList.txt");
  r.console = run.lines();
  r.processed = st.NPROCESSED;
  r.used = st.NUSED;
  r.rejected = st.NREJECTED;
  return r;
}

}  // namespace

TEST(Pictures, ChunksOnTwoThreadsGiveTheFilesAndCountersOfOneThread) {
  // The file read from start to end on one thread is the measure; parts
  // read at their places must give the same, whatever their size, with a
  // byte-order mark and with every way for the file to end.
  // Three thousand lines in parts of a few kilobytes, a few hundred in
  // parts of a few bytes.
  for (const int count : {3000, 300})
    for (const std::string& text : {mixedPictureLines(count), "\xEF\xBB\xBF" + mixedPictureLines(count) + "\r",
                                    mixedPictureLines(count) + "\r\n\n", "\xEF\xBB\xBF\r" + mixedPictureLines(count)}) {
      const ChunkedRead one = readInChunks(text, 1, 0, true);
      EXPECT_GE(one.processed, count);
      EXPECT_GT(one.rejected, count / 3);
      const std::vector<std::size_t> sizes =
          count == 300 ? std::vector<std::size_t>{1, 2, 3, 700} : std::vector<std::size_t>{4096, 7919};
      for (const std::size_t chunk : sizes)
        for (const int threads : {1, 2}) {
          SCOPED_TRACE(std::to_string(chunk) + " bytes, threads " + std::to_string(threads));
          const ChunkedRead two = readInChunks(text, threads, chunk);
          EXPECT_EQ(two.reject, one.reject);
          EXPECT_EQ(two.list, one.list);
          EXPECT_EQ(two.console, one.console);
          EXPECT_EQ(two.processed, one.processed);
          EXPECT_EQ(two.rejected, one.rejected);
          EXPECT_EQ(two.used, one.used);
        }
      // And in order on two threads.
      EXPECT_EQ(readInChunks(text, 2, 700, true).list, one.list);
    }
}

// AllPictures.txt as a pipe cannot be read at places: it is read from start
// to end, to the same files.
TEST(Pictures, PipeIsReadInOrder) {
  const std::string text = mixedPictureLines(300);
  const ChunkedRead regular = readInChunks(text, 2, 700);
  mvtest::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "AllPictures.txt").c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(dir / "AllPictures.txt", std::ios::binary) << text; });
  mv::Study st = smallStudy();
  ConsoleRun run;
  mv::PictureReading how;
  how.threads = 2;
  how.chunkBytes = 700;
  mv::READALLPICTURES(st, st, dir.path(), run.console, how);
  writer.join();
  EXPECT_EQ(mvtest::readFile(dir / "FinalPicsList.txt"), regular.list);
  EXPECT_EQ(mvtest::readFile(dir / "Reject.txt"), regular.reject);
  EXPECT_EQ(st.NPROCESSED, regular.processed);
}

TEST(Pictures, AcceptedPicturesInMemoryEqualThePictureListReadBack) {
  const ChunkedRead r = readInChunks(mixedPictureLines(), 2, 700);
  std::vector<mv::ListedPicture> readBack;
  std::size_t at = 0;
  while (at < r.list.size()) {
    const std::size_t end = r.list.find("\r\n", at);
    mv::ListedPicture p;
    EXPECT_TRUE(mv::parseListedPicture(std::string_view(r.list).substr(at, end - at), p));
    readBack.push_back(p);
    at = end + 2;
  }
  ASSERT_EQ(r.accepted.size(), readBack.size());
  ASSERT_GT(readBack.size(), 500u);
  for (std::size_t k = 0; k < readBack.size(); ++k) {
    SCOPED_TRACE(k);
    const mv::ListedPicture& a = r.accepted[k];
    const mv::ListedPicture& b = readBack[k];
    EXPECT_EQ(std::vector<int>({a.group, a.species, a.year, a.month, a.day, a.hour, a.minute, a.second, a.individuals,
                                a.dayNumber, a.hourNumber, a.minuteNumber}),
              std::vector<int>({b.group, b.species, b.year, b.month, b.day, b.hour, b.minute, b.second, b.individuals,
                                b.dayNumber, b.hourNumber, b.minuteNumber}));
  }
}
