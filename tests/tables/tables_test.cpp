// The tables package: its sums against the report, CSV quoting, the
// detection history, and a folder that cannot be written.
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "support/run_in_process.hpp"
#include "tables/csv_rows.hpp"
#include "support/test_support.hpp"
#include "tables/csv_writer.hpp"

namespace fs = std::filesystem;

namespace {

// No field of these tests is quoted except where a test says so.
using tabletest::csvRows;

// A quiet run of `study` with its tables in `tables`: the status, and what
// it wrote.
mvtest::InProcess runWithTables(const fs::path& study, const fs::path& tables, int occasionDays = 7) {
  mv::RunOptions options = mvtest::quietOptions();
  options.tables = tables;
  options.occasionDays = occasionDays;
  return mvtest::runInProcess(study, options);
}

int runStudy(const fs::path& study, const fs::path& tables, int occasionDays = 7) {
  return runWithTables(study, tables, occasionDays).status;
}

std::string pad(const std::string& name) { return name + std::string(25 - name.size(), ' '); }

std::string picture(const std::string& location, const std::string& species, int month, int day) {
  std::ostringstream s;
  s << pad(location) << ' ' << pad(species) << " 2015 " << (month < 10 ? " " : "") << month << ' '
    << (day < 10 ? " " : "") << day << " 12  0  0  1\n";
  return s.str();
}

// Group A works 1-10 and 20-21 January, group B 5-25 January; the cat is
// photographed by A on the 3rd and 20th and by B on the 12th.
void writeHandMadeStudy(const fs::path& dir) {
  mvtest::writeFile(dir / "Input.txt", "Hand-made study\n2\n" + pad("Loc A") +
                                           " 500000 4000000   100\n2\n2015 1 1 2015 1 10\n"
                                           "2015 1 20 2015 1 21\n" +
                                           pad("Loc B") +
                                           " 503000 4004000   200\n1\n2015 1 5 2015 1 25\n"
                                           "2\nCat, \"big\"\nFox\n");
  mvtest::writeFile(dir / "GroupMap.txt", pad("Loc A") + " A\n" + pad("Loc B") + " B\n");
  mvtest::writeFile(dir / "AllPictures.txt",
                    picture("Loc A", "Cat, \"big\"", 1, 3) + picture("Loc A", "Cat, \"big\"", 1, 20) +
                        picture("Loc B", "Cat, \"big\"", 1, 12) + picture("Loc C", "Fox", 1, 12));
}

// A picture of one individual count at a time of 3 January 2015.
std::string pictureAt(const std::string& location, const std::string& species, int hour, int minute, int individuals) {
  std::ostringstream s;
  s << pad(location) << ' ' << pad(species) << " 2015  1  3 " << (hour < 10 ? " " : "") << hour << ' '
    << (minute < 10 ? " " : "") << minute << "  0 " << (individuals < 10 ? " " : "") << individuals << '\n';
  return s.str();
}

// The detection cells of one species and group, in occasion order.
std::string history(const fs::path& tables, const std::string& quotedSpecies, const std::string& group) {
  std::string cells;
  for (const std::string& line : mvtest::readLines(tables / "detection_history.csv")) {
    const std::string prefix = quotedSpecies + "," + group + ",";
    if (line.rfind(prefix, 0) != 0) continue;
    const std::string cell = line.substr(line.rfind(',') + 1);
    cells += cell.empty() ? "." : cell;
  }
  return cells;
}

// The report line that starts with `label`, split at blanks.
std::vector<std::string> reportWords(const std::string& line) {
  std::istringstream s(line);
  std::vector<std::string> words;
  for (std::string w; s >> w;) words.push_back(w);
  return words;
}

}  // namespace

TEST(Tables, QuotesOnlyFieldsThatNeedIt) {
  std::string out;
  mv::appendCsvField(out, "Oak Flat");
  out += ',';
  mv::appendCsvField(out, "Smith, \"Big\" Cat");
  out += ',';
  mv::appendCsvField(out, "two\r\nlines");
  EXPECT_EQ(out, "Oak Flat,\"Smith, \"\"Big\"\" Cat\",\"two\r\nlines\"");
}

TEST(Tables, SumsAgreeWithTheReportOnTheExampleStudy) {
  mvtest::TempDir dir;
  for (const auto& e : fs::directory_iterator(fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study"))
    fs::copy_file(e.path(), dir / e.path().filename().string());
  ASSERT_EQ(runStudy(dir.path(), dir / "tables"), 0);
  const std::vector<std::string> report = mvtest::readLines(dir / "OutputGroups.txt");

  // Camera trap days.
  long trapDays = 0;
  for (const auto& row : csvRows(dir / "tables" / "trap_days.csv"))
    if (row[0] != "group") trapDays += std::stol(row[3]);
  std::string totalLine;
  for (const std::string& l : report)
    if (l.rfind("Total group camera trap days ", 0) == 0) totalLine = l;
  EXPECT_EQ(std::to_string(trapDays), reportWords(totalLine).back());

  // Independent pictures: the Period column of the first Total line.
  long independent = 0;
  for (const auto& row : csvRows(dir / "tables" / "pictures.csv"))
    if (row[0] != "group") independent += std::stol(row[6]);
  std::string picturesTotal;
  for (const std::string& l : report)
    if (picturesTotal.empty() && l.rfind("        Total", 0) == 0) picturesTotal = l;
  EXPECT_EQ(std::to_string(independent), reportWords(picturesTotal).at(3));

  // Each group's records, days and rate of each year's detection-rate table.
  std::map<std::string, std::vector<long>> sums;  // group|year -> records, days
  for (const auto& row : csvRows(dir / "tables" / "detection_rates.csv")) {
    if (row[0] == "group") continue;
    auto& s = sums[row[0] + "|" + row[2]];
    if (s.empty()) s = {0, std::stol(row[4])};
    s[0] += std::stol(row[3]);
  }
  std::string year;
  int checked = 0;
  bool inRates = false;
  for (const std::string& l : report) {
    if (l == "DETECTION RATE FOR EACH SPECIES PER YEAR") inRates = true;
    if (l == "DETECTION RATE FOR EACH GROUP BY MONTH") break;
    if (!inRates) continue;
    if (l.rfind("Year ", 0) == 0) year = l.substr(5);
    if (l.rfind("Years ", 0) == 0) year.clear();  // the all-years summary
    if (l.size() < 50) continue;
    std::string name = l.substr(0, 25);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    const auto it = sums.find(name + "|" + year);
    if (it == sums.end()) continue;
    const std::vector<std::string> words = reportWords(l.substr(25));
    EXPECT_EQ(words.at(0), std::to_string(it->second[1])) << l;
    EXPECT_EQ(words.at(1), std::to_string(it->second[0])) << l;
    const float rate = static_cast<float>(it->second[0]) * 100.0f / static_cast<float>(it->second[1]);
    EXPECT_EQ(l.substr(42, 8), mvtest::lines("(f8.2)", rate).at(0)) << l;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

TEST(Tables, EventsAgreeWithTheReportForEachGroupAndSpecies) {
  mvtest::TempDir dir;
  for (const auto& e : fs::directory_iterator(fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study"))
    fs::copy_file(e.path(), dir / e.path().filename().string());
  ASSERT_EQ(runStudy(dir.path(), dir / "tables"), 0);

  // Events, pictures and individuals per "group|species".
  std::map<std::string, std::vector<long>> events;
  for (const auto& row : csvRows(dir / "tables" / "events.csv")) {
    if (row[0] == "event") continue;
    auto& e = events[row[1] + "|" + row[2]];
    e.resize(3);
    e[0] += 1;
    e[1] += std::stol(row[5]);
    e[2] += std::stol(row[6]);
  }
  // All pictures and individuals come from the same tallies as the report.
  std::map<std::string, std::vector<long>> tallies;
  for (const auto& row : csvRows(dir / "tables" / "pictures.csv")) {
    if (row[0] == "group") continue;
    auto& t = tallies[row[0] + "|" + row[1]];
    t.resize(3);
    t[1] += std::stol(row[4]);
    t[2] += std::stol(row[7]);
  }

  // The report's independent pictures of each species in each group, three
  // groups side by side: names from column 27, counts in columns 26-31 of
  // every 32.
  std::vector<std::string> groups;
  bool inSection = false;
  int checked = 0;
  const auto name = [](std::string n) {
    while (!n.empty() && n.back() == ' ') n.pop_back();
    return n;
  };
  for (const std::string& l : mvtest::readLines(dir / "OutputGroups.txt")) {
    if (l == "FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES") inSection = true;
    if (l == "FOR EACH GROUP AND MONTH TOTAL NUMBER EACH SPECIES") break;
    if (!inSection || l.size() < 31 || l.rfind("Species", 0) == 0 || l.rfind("Total pictures", 0) == 0) continue;
    if (l.rfind(std::string(26, ' '), 0) == 0) {
      groups.clear();
      for (std::size_t c = 26; c < l.size(); c += 32) groups.push_back(name(l.substr(c, 25)));
      continue;
    }
    for (std::size_t i = 0; i < groups.size(); ++i) {
      const long count = std::stol(l.substr(25 + 32 * i, 6));
      const std::string key = groups[i] + "|" + name(l.substr(0, 25));
      const auto it = events.find(key);
      EXPECT_EQ(it == events.end() ? 0 : it->second[0], count) << key;
      if (count > 0) {
        ASSERT_NE(it, events.end()) << key;
        EXPECT_EQ(it->second[1], tallies[key][1]) << key;
        EXPECT_EQ(it->second[2], tallies[key][2]) << key;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
}

TEST(Tables, EventsOfAHandMadeListOneRowEach) {
  mvtest::TempDir dir;
  writeHandMadeStudy(dir.path());
  // PERIOD 60: the third picture is 55 minutes after the second, which
  // raised the individuals and so moved the event on; the fourth opens a
  // new event (65 minutes). A picture of another species ends the run, so
  // the cat a minute later opens a third cat event.
  const std::string cat = "Cat, \"big\"";
  mvtest::writeFile(dir / "AllPictures.txt",
                    pictureAt("Loc A", cat, 12, 0, 1) + pictureAt("Loc A", cat, 12, 10, 3) +
                        pictureAt("Loc A", cat, 13, 5, 2) + pictureAt("Loc A", cat, 13, 15, 2) +
                        pictureAt("Loc A", "Fox", 13, 16, 1) + pictureAt("Loc A", cat, 13, 17, 4));
  ASSERT_EQ(runStudy(dir.path(), dir / "tables"), 0);
  EXPECT_EQ(mvtest::readLines(dir / "tables" / "events.csv"),
            // clang-format off
            (std::vector<std::string>{"event,group,species,start_date,start_time,pictures,individuals",
                                      "1,A,\"Cat, \"\"big\"\"\",2015-01-03,12:00:00,3,3",
                                      "2,A,\"Cat, \"\"big\"\"\",2015-01-03,13:15:00,1,2",
                                      "3,A,Fox,2015-01-03,13:16:00,1,1",
                                      "4,A,\"Cat, \"\"big\"\"\",2015-01-03,13:17:00,1,4"}));
  // clang-format on
}

TEST(Tables, DetectionHistoryOfOneWeekOccasionsLeavesGapsEmpty) {
  mvtest::TempDir dir;
  writeHandMadeStudy(dir.path());
  ASSERT_EQ(runStudy(dir.path(), dir / "tables"), 0);
  const auto lines = mvtest::readLines(dir / "tables" / "detection_history.csv");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "species,group,occasion,occasion_start,detected");
  EXPECT_EQ(lines[1], "\"Cat, \"\"big\"\"\",A,1,2015-01-01,1");
  EXPECT_EQ(lines.size(), 1u + 2 * 2 * 4);  // species x groups x 4 occasions of 25 days
  EXPECT_EQ(history(dir / "tables", "\"Cat, \"\"big\"\"\"", "A"), "101.");
  EXPECT_EQ(history(dir / "tables", "\"Cat, \"\"big\"\"\"", "B"), "0100");
  EXPECT_EQ(history(dir / "tables", "Fox", "A"), "000.");
  // The rejected line, with its reason.
  EXPECT_EQ(mvtest::readLines(dir / "tables" / "rejects.csv").at(1),
            "4,Site not found or not included: Loc C," + picture("Loc C", "Fox", 1, 12).substr(0, 74));
}

TEST(Tables, DetectionHistoryOfOneDayOccasions) {
  mvtest::TempDir dir;
  writeHandMadeStudy(dir.path());
  ASSERT_EQ(runStudy(dir.path(), dir / "tables", 1), 0);
  EXPECT_EQ(history(dir / "tables", "\"Cat, \"\"big\"\"\"", "A"), "0010000000.........10....");
  EXPECT_EQ(history(dir / "tables", "\"Cat, \"\"big\"\"\"", "B"), "....000000010000000000000");
}

TEST(Tables, AFolderThatCannotBeWrittenEndsTheRun) {
  mvtest::TempDir dir;
  writeHandMadeStudy(dir.path());
  mvtest::writeFile(dir / "file", "not a folder");
  EXPECT_EQ(runStudy(dir.path(), dir / "file" / "tables"), 1);
  EXPECT_FALSE(fs::exists(dir / "OutputGroups.txt"));
}

namespace {

// Every file of a folder with its bytes.
std::map<std::string, std::string> contents(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = mvtest::readFile(e.path());
  return files;
}

std::vector<std::string> names(const fs::path& dir) {
  std::vector<std::string> n;
  for (const auto& e : fs::directory_iterator(dir)) n.push_back(e.path().filename().string());
  std::sort(n.begin(), n.end());
  return n;
}

}  // namespace

// The tables replace the whole folder, so it may hold nothing but a package
// of ours: anyone else's datapackage.json or any other file is named and
// left as it is, before the study is read.
TEST(Tables, FolderWithAnythingButOurPackageIsRefused) {
  mvtest::TempDir dir;
  writeHandMadeStudy(dir.path());
  const fs::path tables = dir / "tables";
  fs::create_directory(tables);
  const std::string theirs = "{\"name\": \"camera-study\", \"profile\": \"camtrap-dp\", \"resources\": []}\n";
  mvtest::writeFile(tables / "datapackage.json", theirs);
  mvtest::writeFile(tables / "media.csv", "mediaID\n");
  const mvtest::InProcess foreign = runWithTables(dir.path(), tables);
  EXPECT_EQ(foreign.status, 1);
  EXPECT_EQ(foreign.out, " Cannot write the tables: " + (tables / "datapackage.json").string() +
                             ": a data package this program did not write (left as it is; the tables need a "
                             "folder of their own)\r\n");
  EXPECT_EQ(mvtest::readFile(tables / "datapackage.json"), theirs);

  fs::remove(tables / "datapackage.json");
  const mvtest::InProcess other = runWithTables(dir.path(), tables);
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(other.out, " Cannot write the tables: " + (tables / "media.csv").string() +
                           ": not a file of a tables package (left as it is; the tables need a folder of their "
                           "own)\r\n");
  EXPECT_EQ(names(tables), std::vector<std::string>{"media.csv"});
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"AllPictures.txt", "GroupMap.txt", "Input.txt", "tables"}));

  // The study folder itself is no place for them either.
  EXPECT_EQ(runWithTables(dir.path(), dir.path()).status, 1);
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"AllPictures.txt", "GroupMap.txt", "Input.txt", "tables"}));

  // Nor is the top folder of a file system, which cannot be swapped.
  EXPECT_EQ(runWithTables(dir.path(), "/").out,
            " Cannot write the tables: /: the top folder of a file system; the tables need a folder inside it\r\n");

  // A package of ours, however old, and stray tables of ours are replaced.
  fs::remove(tables / "media.csv");
  mvtest::writeFile(tables / "datapackage.json",
                    "{\"profile\": \"tabular-data-package\", \"name\": "
                    "\"morvelstrand-tables\", \"resources\": []}\n");
  mvtest::writeFile(tables / "groups.csv", "older\r\n");
  const mvtest::InProcess ours = runWithTables(dir.path(), tables);
  EXPECT_EQ(ours.status, 0) << ours.out;
  EXPECT_EQ(ours.out, "");
  EXPECT_EQ(names(tables).size(), 20u);
  EXPECT_EQ(mvtest::readLines(tables / "groups.csv").size(), 3u);
}

// A write that fails half-way leaves the earlier package as it was, file
// for file, and nothing beside it; the files of a new package keep the
// permission bits of those they replace, and the folder its own.
TEST(Tables, FailedWriteKeepsTheEarlierPackageWhole) {
  mvtest::TempDir dir;
  // Fifty species over a whole year: a detection history of one-day
  // occasions far larger than the report.
  std::string input = "Many species\n2\n" + pad("Loc A") + " 500000 4000000   100\n1\n2015 1 1 2015 12 31\n" +
                      pad("Loc B") + " 503000 4004000   200\n1\n2015 1 1 2015 12 31\n50\n";
  std::string pictures;
  for (int s = 1; s <= 50; ++s) {
    input += "Species " + std::to_string(s) + "\n";
    pictures += picture("Loc A", "Species " + std::to_string(s), 1 + s % 12, 1 + s % 28);
  }
  mvtest::writeFile(dir / "Input.txt", input);
  mvtest::writeFile(dir / "GroupMap.txt", pad("Loc A") + " A\n" + pad("Loc B") + " B\n");
  mvtest::writeFile(dir / "AllPictures.txt", pictures);
  mvtest::TempDir out;
  const fs::path tables = out / "tables";
  ASSERT_EQ(runStudy(dir.path(), tables, 1), 0);
  fs::permissions(tables, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  fs::permissions(tables / "groups.csv", fs::perms::owner_read | fs::perms::owner_write);
  const std::map<std::string, std::string> before = contents(tables);
  ASSERT_GT(before.at("detection_history.csv").size(), 600000u);

  // A limit on the size of files fails the largest table, as a full disk
  // would; the report fits under it.
  const rlimit old = [] {
    rlimit l{};
    getrlimit(RLIMIT_FSIZE, &l);
    return l;
  }();
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = old;
  limited.rlim_cur = 300000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const int failed = runStudy(dir.path(), tables, 2);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(contents(tables), before);
  EXPECT_EQ(names(out.path()), std::vector<std::string>{"tables"});

  ASSERT_EQ(runStudy(dir.path(), tables, 2), 0);
  EXPECT_NE(contents(tables), before);
  EXPECT_EQ(names(out.path()), std::vector<std::string>{"tables"});
  EXPECT_EQ(fs::status(tables).permissions(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_EQ(fs::status(tables / "groups.csv").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}
