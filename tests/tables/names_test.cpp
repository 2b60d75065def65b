// Names in the tables and the page: UTF-8 whatever the input's bytes. The
// study in names_not_utf8/ has a title and names whose 75th (25th) byte cuts
// a character, names in Latin-1, names that start like spreadsheet formulas,
// and a rejected picture line in Latin-1.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "model/utf8_text.hpp"
#include "support/run_in_process.hpp"
#include "support/test_support.hpp"
#include "tables/csv_rows.hpp"

namespace fs = std::filesystem;

namespace {

const std::string kFffd = "\xEF\xBF\xBD";
const std::string kTitle = "\u00c9tude des vall\u00e9es du Haut-Pays, pi\u00e8ges photographiques, hiver 2015 xxxx";

void copyStudy(const fs::path& to) {
  const fs::path from = fs::path(MORVELSTRAND_SOURCE_DIR) / "tests" / "tables" / "names_not_utf8";
  for (const char* name : {"Input.txt", "GroupMap.txt", "AllPictures.txt"}) fs::copy_file(from / name, to / name);
}

struct Outputs {
  bool tables = false;
  bool page = false;
};

// A quiet run of the study in `dir`; returns the status, and the warnings
// and errors in `err`.
int runStudy(const fs::path& dir, Outputs outputs, std::string& err) {
  std::ostringstream errors;
  mv::RunOptions options = mvtest::quietOptions();
  options.date = mv::LocalDate{2026, 12, 10};
  options.err = &errors;
  if (outputs.tables) options.tables = dir / "tables";
  if (outputs.page) options.html = dir / "page.html";
  const int status = mvtest::runInProcess(dir, options).status;
  err = errors.str();
  return status;
}

// One column of a CSV file of the package, header first; the fields of
// these files are not quoted.
std::vector<std::string> column(const fs::path& file, std::size_t k) {
  std::vector<std::string> out;
  for (const std::vector<std::string>& row : tabletest::csvRows(file))
    out.push_back(k < row.size() ? row[k] : std::string("?"));
  return out;
}

// The report without its elapsed time, which differs from run to run.
std::vector<std::string> reportWithoutTime(const fs::path& dir) {
  std::vector<std::string> lines = mvtest::readLines(dir / "OutputGroups.txt");
  std::erase_if(lines, [](const std::string& l) { return l.rfind("Elasped time", 0) == 0; });
  return lines;
}

}  // namespace

TEST(TableNames, CutAtACharacterAndBytesThatAreNotUtf8Replaced) {
  mvtest::TempDir plain;
  mvtest::TempDir dir;
  copyStudy(plain.path());
  copyStudy(dir.path());
  std::string err;
  ASSERT_EQ(runStudy(plain.path(), {}, err), 0) << err;
  EXPECT_EQ(err, "");  // without the tables and the page nothing is said
  ASSERT_EQ(runStudy(dir.path(), {true, true}, err), 0) << err;
  EXPECT_EQ(err, mvtest::crlf(" Warning: Input.txt line 6 and 1 more line hold bytes that are not UTF-8: the tables "
                              "and the page show them as U+FFFD\n"
                              " Warning: GroupMap.txt line 2 holds bytes that are not UTF-8: the tables and the page "
                              "show them as U+FFFD\n"
                              " Warning: AllPictures.txt line 5 holds bytes that are not UTF-8: rejects.csv shows "
                              "them as U+FFFD\n"));
  // The report keeps the input's bytes in its columns.
  EXPECT_EQ(reportWithoutTime(dir.path()), reportWithoutTime(plain.path()));
  EXPECT_EQ(mvtest::readFile(dir / "Reject.txt"), mvtest::readFile(plain / "Reject.txt"));

  const fs::path tables = dir / "tables";
  for (const auto& e : fs::directory_iterator(tables)) EXPECT_TRUE(mv::isUtf8(mvtest::readFile(e.path()))) << e.path();
  // Names that start like a formula are written as they are.
  EXPECT_EQ(column(tables / "groups.csv", 0),
            (std::vector<std::string>{"group", "-Sud", "Station de la Haute Vall", "Z" + kFffd + "rich"}));
  EXPECT_EQ(column(tables / "occupancy.csv", 0),
            (std::vector<std::string>{"species", "Red fox of the far nort", "=SUM(A1:A9)",
                                      "Puma de la Pe" + kFffd + "a", "Cerf \u00e9lanc\u00e9"}));
  EXPECT_EQ(mvtest::readLines(tables / "rejects.csv"),
            (std::vector<std::string>{
                "line,reason,raw_line",
                "5,Species not found or not included: Ours brun " + kFffd +
                    ",Rivi\u00e8re Nord             Ours brun " + kFffd + "               2015  1 20 12  0  0  1",
                "6,Species not found or not included: Ours brun,Rivi\u00e8re Nord             Ours brun"
                "                 2015  1 21 12  0  0  1"}));
  EXPECT_NE(mvtest::readFile(tables / "datapackage.json").find("\"title\": \"" + kTitle + "\",\n"), std::string::npos);

  const std::string page = mvtest::readFile(dir / "page.html");
  EXPECT_TRUE(mv::isUtf8(page));
  EXPECT_NE(page.find("<title>" + kTitle + "</title>"), std::string::npos);
  EXPECT_NE(page.find("<h1>" + kTitle + "</h1>"), std::string::npos);
  EXPECT_NE(page.find(">Ca" + kFffd + "ada Sur</text>"), std::string::npos);
  EXPECT_NE(page.find(">Station de la Haute Vall</text>"), std::string::npos);
  EXPECT_NE(page.find(">Red fox of the far nort</text>"), std::string::npos);
}

TEST(TableNames, EachOutputWarnsOfTheNamesItShows) {
  mvtest::TempDir dir;
  copyStudy(dir.path());
  std::string err;
  // The location names are only on the page; the rejected lines only in
  // the tables.
  ASSERT_EQ(runStudy(dir.path(), {true, false}, err), 0) << err;
  EXPECT_EQ(err, mvtest::crlf(" Warning: Input.txt line 15 holds bytes that are not UTF-8: the tables show them as "
                              "U+FFFD\n"
                              " Warning: GroupMap.txt line 2 holds bytes that are not UTF-8: the tables show them as "
                              "U+FFFD\n"
                              " Warning: AllPictures.txt line 5 holds bytes that are not UTF-8: rejects.csv shows "
                              "them as U+FFFD\n"));
  ASSERT_EQ(runStudy(dir.path(), {false, true}, err), 0) << err;
  EXPECT_EQ(err, mvtest::crlf(" Warning: Input.txt line 6 and 1 more line hold bytes that are not UTF-8: the page "
                              "shows them as U+FFFD\n"
                              " Warning: GroupMap.txt line 2 holds bytes that are not UTF-8: the page shows them as "
                              "U+FFFD\n"));
}

TEST(TableNames, ACleanStudySaysNothingMore) {
  mvtest::TempDir plain;
  mvtest::TempDir dir;
  for (const auto& e : fs::directory_iterator(fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study")) {
    fs::copy_file(e.path(), plain / e.path().filename().string());
    fs::copy_file(e.path(), dir / e.path().filename().string());
  }
  std::string without;
  std::string with;
  ASSERT_EQ(runStudy(plain.path(), {}, without), 0);
  ASSERT_EQ(runStudy(dir.path(), {true, true}, with), 0);
  EXPECT_EQ(with, without);
}
