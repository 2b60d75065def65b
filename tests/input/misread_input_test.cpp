// Input that the readers would take as something other than its author
// meant: a tab in GroupMap.txt, a three-digit number of individuals, digits
// grouped with a comma at the PERIOD prompt, and a study after year 3000.
#include <string>
#include <vector>

#include "input/input.hpp"
#include "input_test_support.hpp"

using inputtest::ConsoleRun;
using inputtest::endStatus;
using inputtest::pad;

namespace {

namespace fs = std::filesystem;

void writeInput(const fs::path& dir, const std::string& period = "2020 3 1 2020 10 31") {
  mvtest::writeFile(dir / "Input.txt", "Small study\r\n1\r\n" + pad("Ridge A") + " 512300 5121400  1240\r\n1\r\n" +
                                           period + "\r\n1\r\nLynx\r\n");
}

std::vector<std::string> warnings(const std::vector<std::string>& lines) {
  std::vector<std::string> found;
  for (const std::string& l : lines)
    if (l.find("Warning") != std::string::npos) found.push_back(l);
  return found;
}

}  // namespace

TEST(MisreadInput, TabInGroupMapIsWarnedAbout) {
  mvtest::TempDir dir;
  writeInput(dir.path());
  // A tab between the names, a tab in the separator column, a tab in the
  // group name.
  mvtest::writeFile(dir / "GroupMap.txt", "Ridge A\tNorth\r\n" + pad("Creek B") + "\tEast\r\n" + pad("Pass C") +
                                              " Upper\tPass\r\n" + pad("Lake D") + " West\r\n");
  ConsoleRun run;
  mv::StudyInput st;
  ASSERT_EQ(endStatus([&] { st = mv::readStudy(dir.path(), run.console); }), -1);
  EXPECT_EQ(warnings(run.lines()),
            (std::vector<std::string>{
                " Warning: GroupMap.txt line 1 looks shifted: columns 1-25 (location name) hold a tab",
                " Warning: GroupMap.txt line 2 looks shifted: column 26 holds a tab where a blank belongs",
                " Warning: GroupMap.txt line 3 looks shifted: columns 27-51 (group name) hold a tab"}));
  // Read by the columns all the same.
  EXPECT_EQ(st.MAPLOCATION(1), pad("Ridge A\tNorth"));
  EXPECT_EQ(st.MAPGROUP(1), pad(""));
}

TEST(MisreadInput, ThreeDigitIndividualsAreWarnedAbout) {
  mvtest::TempDir dir;
  writeInput(dir.path());
  mvtest::writeFile(dir / "GroupMap.txt", pad("Ridge A") + " North\r\n");
  const std::string start = pad("Ridge A") + " " + pad("Lynx") + " 2020  5  1 12 30  0 ";
  mvtest::writeFile(dir / "AllPictures.txt",
                    start + "100\r\n" + start + "10\r\n" + start + "1234\r\n" + start + "10 \r\n" + start + " 1 0\r\n");
  ConsoleRun run;
  mv::Study st;
  ASSERT_EQ(endStatus([&] {
              static_cast<mv::StudyInput&>(st) = mv::readStudy(dir.path(), run.console);
              mv::READALLPICTURES(st, st, dir.path(), run.console);
            }),
            -1);
  EXPECT_EQ(warnings(run.lines()),
            (std::vector<std::string>{" Warning: AllPictures.txt line 1 looks shifted: the number in columns 73-74 "
                                      "(number of individuals) goes on in column 75: \"100\" is read as 10",
                                      " Warning: AllPictures.txt line 3 looks shifted: the number in columns 73-74 "
                                      "(number of individuals) goes on in columns 75-76: \"1234\" is read as 12"}));
  // Read by the columns all the same: all five used.
  EXPECT_EQ(st.NUSED, 5);
}

TEST(MisreadInput, GroupedDigitsAtThePeriodPromptAreRefused) {
  // As "--period 1,440" is refused, so is the answer: not one integer.
  for (const char* answer : {"1,440", " 1,000 minutes"}) {
    SCOPED_TRACE(answer);
    mv::Study st;
    ConsoleRun run(std::string(answer) + "\nnot read\n");
    EXPECT_EQ(endStatus([&] { mv::GETPERIOD(st, run.console); }), 1);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "", " Enter PERIOD in minutes for independent pictures; 60 means 60 minutes",
                               " PERIOD must be greater than 1 minute and less than 60*24 minutes ... TERMINATING"}));
  }
  // A comma that separates, as free-form input allows, is still taken.
  for (const char* answer : {"60,", "60, 5", "60 ,5"}) {
    SCOPED_TRACE(answer);
    mv::Study st;
    ConsoleRun run(std::string(answer) + "\n");
    EXPECT_EQ(endStatus([&] { mv::GETPERIOD(st, run.console); }), -1);
    EXPECT_EQ(st.PERIOD, 60);
  }
}

TEST(MisreadInput, StudyAfterTheYear3000SaysWhatIsWrong) {
  mvtest::TempDir dir;
  writeInput(dir.path(), "3100 3 1 3100 10 31");
  mvtest::writeFile(dir / "GroupMap.txt", pad("Ridge A") + " North\r\n");
  ConsoleRun run("\n");
  EXPECT_EQ(endStatus([&] { mv::readStudy(dir.path(), run.console); }), 1);
  EXPECT_EQ(run.lines(), (std::vector<std::string>{
                             " READ INPUT.TXT", " CALCULATE BEGIN & END YEARS",
                             " Input.txt: every operating period starts after 3000 (the earliest in 3100); days are "
                             "counted from 1 January 3000 then, and FinalPicsList.txt holds them only to 3/1/3019: "
                             "operating periods must stop by then",
                             " Hit enter to TERMINATE WITH ERROR"}));
  // Up to then such a study is read.
  writeInput(dir.path(), "3018 3 1 3019 1 3");
  ConsoleRun fits;
  EXPECT_EQ(endStatus([&] { mv::readStudy(dir.path(), fits.console); }), -1);
  writeInput(dir.path(), "3018 3 1 3019 1 4");
  ConsoleRun late("\n");
  EXPECT_EQ(endStatus([&] { mv::readStudy(dir.path(), late.console); }), 1);
}
