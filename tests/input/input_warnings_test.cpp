// Console warnings about input that is read by the rules but probably
// misread, and the byte-order mark skipped at the start of a file.
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "input/input.hpp"
#include "input_test_support.hpp"
#include "io/sinks.hpp"
#include "support/run_in_process.hpp"

using inputtest::ConsoleRun;
using inputtest::pad;

namespace {

namespace fs = std::filesystem;

constexpr const char* kBytesNote = "   (columns count bytes, not letters: an accented letter takes two columns)";

// A small study: Ridge A works in 2020, Creek B in 2021; one species.
// `ridgeLine` replaces the location line of Ridge A, `ridgePeriod` its period.
void writeStudy(const fs::path& dir, const std::string& ridgeLine = pad("Ridge A") + " 512300 5121400  1240",
                const std::string& ridgePeriod = "2020 3 1 2020 10 31") {
  mvtest::writeFile(dir / "Input.txt", "Small study\r\n2\r\n" + ridgeLine + "\r\n1\r\n" + ridgePeriod + "\r\n" +
                                           pad("Creek B") + " 513100 5122600  1310\r\n1\r\n2021 3 1 2021 10 31\r\n" +
                                           "1\r\nLynx\r\n");
  mvtest::writeFile(dir / "GroupMap.txt", pad("Ridge A") + " North\r\n" + pad("Creek B") + " East\r\n");
}

// The console lines of the input steps of a run, up to the picture counts.
std::vector<std::string> readStudy(const fs::path& dir) {
  ConsoleRun run;
  mv::Study st;
  mv::READINPUTPARAMETERS(st, dir, run.console);
  st.sizeLocationTables();
  mv::READINPUT(st, dir, run.console);
  mv::STARTSTOPDAYS(st, run.console);
  mv::GETNUMBEROFLOCATIONS(st, dir, run.console);
  st.sizeMapTables();
  mv::READGROUPMAP(st, dir, run.console);
  st.sizeGroupTables();
  mv::CREATESHORTGROUPLIST(st);
  mv::READALLPICTURES(st, st, dir, run.console);
  return run.lines();
}

// A picture line with its fields in their columns.
std::string picture(const std::string& location, const std::string& date, const std::string& rest = " 12 30  0  1") {
  // clang-format off
  return pad(location) + " " + pad("Lynx") + " " + date + rest;
  // clang-format on
}

// The console lines that are warnings.
std::vector<std::string> warnings(const std::vector<std::string>& lines) {
  std::vector<std::string> found;
  for (const std::string& l : lines)
    if (l.find("Warning") != std::string::npos) found.push_back(l);
  return found;
}

TEST(InputWarnings, CleanStudyPrintsNone) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  mvtest::writeFile(dir / "AllPictures.txt",
                    picture("Ridge A", "2020  5  1") + "\r\n" + picture("Creek B", "2021  6  2") + "\r\n\r\n");
  EXPECT_EQ(warnings(readStudy(dir.path())), std::vector<std::string>{});
}

TEST(InputWarnings, ExampleStudyPrintsNone) {
  mvtest::TempDir dir;
  for (const char* f : {"Input.txt", "GroupMap.txt", "AllPictures.txt"})
    fs::copy_file(fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study" / f, dir / f);
  std::ostringstream err;
  mv::RunOptions options = mvtest::quietOptions();
  options.err = &err;
  EXPECT_EQ(mvtest::runInProcess(dir.path(), options).status, 0);
  EXPECT_EQ(err.str(), "");
}

TEST(InputWarnings, ByteOrderMarkIsSkipped) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  mvtest::writeFile(dir / "GroupMap.txt", "\xEF\xBB\xBF" + pad("Ridge A") + " North\r\n");
  mv::FileLines lines;
  ASSERT_TRUE(lines.open(dir / "GroupMap.txt"));
  EXPECT_EQ(lines.next(), pad("Ridge A") + " North");
}

TEST(InputWarnings, LocationLineWithSingleSpaces) {
  mvtest::TempDir dir;
  // Read by columns, the name holds all the numbers and the numbers are 0.
  writeStudy(dir.path(), "Ridge 512300 5121400 1240");
  mvtest::writeFile(dir / "AllPictures.txt", "");
  const std::vector<std::string> lines = readStudy(dir.path());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1],
            " Warning: Input.txt line 3 looks shifted: columns 1-25 (location name) end in digits that "
            "look like the next field");
  EXPECT_EQ(lines[2], kBytesNote);
}

TEST(InputWarnings, AccentedNamePaddedByLetters) {
  mvtest::TempDir dir;
  // "Clairière" padded to 25 letters is 26 bytes: every field moves by one.
  writeStudy(dir.path(), "Clairi\xC3\xA8re" + std::string(16, ' ') + " 512300 5121400  1240");
  mvtest::writeFile(dir / "AllPictures.txt", "");
  const std::vector<std::string> lines = readStudy(dir.path());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1],
            " Warning: Input.txt line 3 looks shifted: column 33 holds \"0\" where a blank belongs; "
            "column 41 holds \"0\" where a blank belongs");
}

TEST(InputWarnings, PictureFieldsEmptyOrNotANumber) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  mvtest::writeFile(dir / "AllPictures.txt", picture("Ridge A", "2020  5  1", " 12    0  1") + "\r\n" +
                                                 picture("Ridge A", "2020  5  1", " 12 3O  0  1") + "\r\n" +
                                                 picture("Ridge A", "2020  5  1", " 12") + "\r\n");
  const std::vector<std::string> lines = readStudy(dir.path());
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 8),
            // clang-format off
            (std::vector<std::string>{
                " Warning: AllPictures.txt line 1 looks shifted: columns 67-68 (minute) are empty", kBytesNote,
                " Warning: AllPictures.txt line 2 looks shifted: columns 67-68 (minute) hold \"3O\", not a number"}));
  // clang-format on
  // The line that ends after the hour is not warned about.
  EXPECT_EQ(warnings(lines).size(), 2u);
}

TEST(InputWarnings, TenWarningsPerFileThenACount) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  std::string text;
  for (int k = 0; k < 13; ++k) text += picture("Ridge A", "2020  5  1", " 12x30  0  1") + "\r\n";
  mvtest::writeFile(dir / "AllPictures.txt", text);
  const std::vector<std::string> lines = readStudy(dir.path());
  int shown = 0;
  for (const std::string& l : lines) shown += l.find("looks shifted: column 66 holds \"x\"") != std::string::npos;
  EXPECT_EQ(shown, 10);
  EXPECT_EQ(lines[lines.size() - 4], " Warning: 3 more lines of AllPictures.txt look shifted");
}

TEST(InputWarnings, PeriodStoppingBeforeItStarts) {
  mvtest::TempDir dir;
  writeStudy(dir.path(), pad("Ridge A") + " 512300 5121400  1240", "2020 10 31 2020 3 1");
  mvtest::writeFile(dir / "AllPictures.txt", "");
  const std::vector<std::string> lines = readStudy(dir.path());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1],
            " Warning: Input.txt line 5: operating period 1 of location Ridge A stops (2020 3 1) before it starts "
            "(2020 10 31)");
}

TEST(InputWarnings, PicturesOutsideTheirLocationsPeriods) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  // Ridge A works in 2020 only: one picture in 2021 (inside the study's
  // days, tallied), one in January 2020 (before the first day, untallied).
  mvtest::writeFile(dir / "AllPictures.txt", picture("Ridge A", "2020  5  1") + "\r\n" +
                                                 picture("Ridge A", "2021  5  1") + "\r\n" +
                                                 picture("Ridge A", "2020  1  5") + "\r\n");
  const std::vector<std::string> lines = readStudy(dir.path());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            // clang-format off
            (std::vector<std::string>{
                " Warning: AllPictures.txt: 2 pictures used in analysis are dated outside every operating period "
                "of their location",
                "   1 of them outside the study's operating days: counted as used, tallied nowhere",
                "   1 of them inside the study's operating days: tallied with the pictures of their group"}));
  // clang-format on
}

}  // namespace
