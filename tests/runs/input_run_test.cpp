// Whole runs that end in the input stage: the console transcript and the
// files left in the study folder.
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "input/input_test_support.hpp"
#include "layout/layout.hpp"
#include "support/test_support.hpp"

namespace {

using inputtest::counterLine;
using inputtest::pad;

std::string joinCrlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

const std::vector<std::string> kOpening = {"Program Morvelstrand, Version 6.0, October 24, 2017", "",
                                           " BEGIN GROUP CAMERA TRAP DATA ANALYSIS"};

// Input.txt and GroupMap.txt of a two-location study: Ridge A works from
// 15 March to 30 November 2010, Creek B from 1 May to 31 August 2010 and from
// 1 April to 20 June 2011. FIRSTYEAR 2010, FIRSTDAY 74, LASTDAY 365+151+20 = 536.
void writeStudy(const mvtest::TempDir& dir) {
  mvtest::writeFile(dir / "Input.txt", mvtest::crlf("Tiny study\n"
                                                    "2\n"
                                                    "Ridge A                   512340 4012200  1450\n"
                                                    "1\n"
                                                    "2010 3 15 2010 11 30\n"
                                                    "Creek B                   515700 4010400  1020\n"
                                                    "2\n"
                                                    "2010 5 1 2010 8 31\n"
                                                    "2011 4 1 2011 6 20\n"
                                                    "2\n"
                                                    "Black bear\n"
                                                    "Puma\n"));
  mvtest::writeFile(dir / "GroupMap.txt", pad("Ridge A") + " North\n" + pad("Creek B") + " East\n");
}

}  // namespace

TEST(InputRun, StopsAtThePeriodPromptRemovingThePictureList) {
  mvtest::TempDir dir;
  writeStudy(dir);
  mvtest::writeFile(dir / "AllPictures.txt",
                    // clang-format off
                    pad("Creek B") + " " + pad("Black bear") + " 2010  7  9  4 42  0  1\n" +
                        pad("Ridge A") + " " + pad("Puma") + " 2010 07 12 03 15 00  2\n" +
                        pad("Ridge A") + " " + pad("Wolf") + " 2010  7 12  3 15  0  1\n" +
                        pad("Creek B") + " " + pad("Black bear") + " 2011  6 20 23 59 59  0\n" +
                        pad("Creek B") + " " + pad("Black bear") + " 2010  1  5 10  0  0  1\n");
  // clang-format on
  std::istringstream in("");  // the PERIOD prompt meets the end of input
  std::ostringstream out;
  EXPECT_EQ(mv::run(dir.path(), in, out), 1);

  std::vector<std::string> expected = kOpening;
  for (const std::string& line :
       {std::string(" READ INPUT.TXT"), std::string(" CALCULATE BEGIN & END YEARS"),
        std::string("  2 locations found in GroupMap.txt"), std::string("  2 groups found in GroupMap.txt"),
        std::string(" READ ALLPICTURES.TXT"), counterLine("   Processed        ", 5),
        counterLine("   Used in analysis ", 4), counterLine("   Rejected         ", 1),
        std::string(" Warning: AllPictures.txt: 1 picture used in analysis is dated outside every operating period "
                    "of its location"),
        std::string("   1 of them outside the study's operating days: counted as used, tallied nowhere"),
        std::string(""), std::string(" Enter PERIOD in minutes for independent pictures; 60 means 60 minutes"),
        std::string(" PERIOD must be greater than 1 minute and less than 60*24 minutes ... TERMINATING")})
    expected.push_back(line);
  EXPECT_EQ(out.str(), joinCrlf(expected));

  // The picture list was this run's own and goes with it; Reject.txt takes
  // its name only together with a report, and there is none.
  EXPECT_FALSE(std::filesystem::exists(dir / "FinalPicsList.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Reject.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "OutputGroups.txt"));
}

TEST(InputRun, MissingInputTxtEndsWithStatusOne) {
  mvtest::TempDir dir;
  std::istringstream in("\n");
  std::ostringstream out;
  EXPECT_EQ(mv::run(dir.path(), in, out), 1);
  std::vector<std::string> expected = kOpening;
  expected.push_back(" Input.txt was not present");
  expected.push_back(" File Input.txt must be in the same folder as Morvelstrand");
  expected.push_back(" Hit enter to TERMINATE WITH ERROR");
  EXPECT_EQ(out.str(), joinCrlf(expected));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(InputRun, MissingAllPicturesEndsWithStatusOne) {
  mvtest::TempDir dir;
  writeStudy(dir);
  std::istringstream in("\n");
  std::ostringstream out;
  EXPECT_EQ(mv::run(dir.path(), in, out), 1);
  std::vector<std::string> expected = kOpening;
  for (const char* line : {" READ INPUT.TXT", " CALCULATE BEGIN & END YEARS", "  2 locations found in GroupMap.txt",
                           "  2 groups found in GroupMap.txt", " READ ALLPICTURES.TXT",
                           " AllPictures.txt file not present ... Hit enter to TERMINATE with ERROR"})
    expected.push_back(line);
  EXPECT_EQ(out.str(), joinCrlf(expected));
  EXPECT_FALSE(std::filesystem::exists(dir / "Reject.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "FinalPicsList.txt"));
}
