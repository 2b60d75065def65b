#include <string>
#include <vector>

#include "activity/activity.hpp"
#include "activity_test_support.hpp"
#include "support/test_support.hpp"

using acttest::hours;
using acttest::name;
using acttest::rep;

namespace {

constexpr const char* kNone = "        0        0.000";

// Hour line with the four seasons' number-and-frequency cells.
std::string hourLine(int h, const std::vector<std::string>& cells) {
  // clang-format off
  std::string out = "       " + hours(h);
  // clang-format on
  for (const auto& c : cells) out += c;
  return out;
}

void addHours(std::vector<std::string>& out, const std::vector<std::pair<int, std::vector<std::string>>>& special) {
  for (int h = 0; h <= 23; ++h) {
    std::string line = hourLine(h, {kNone, kNone, kNone, kNone});
    for (const auto& [sh, cells] : special)
      if (sh == h) line = hourLine(h, cells);
    out.push_back(line);
  }
}

const std::string kLabels = std::string(21, ' ') + "Dec-Jan-Feb" + std::string(11, ' ') + "Mar-Apr-May" +
                            std::string(11, ' ') + "Jun-Jul-Aug" + std::string(11, ' ') + "Sep-Oct-Nov";
const std::string kHourHeader = std::string(11, ' ') + "Hour  " + rep("      Number      Freq", 4);
const std::string k16(16, ' ');
const std::string k15(15, ' ');
const std::string k13(13, ' ');
// clang-format off
const std::string kEffort = "Camera trap days  " "    " "    70" + k16 + "    30" + k16 + "     0" + k16 + "    40";
// clang-format on

}  // namespace

// Two groups over 2010-2011. December of both years joins January and
// February in season 1: effort 31 + 20 + 9 + 10 = 70, records 3 + 2 + 1 + 1.
// Summer has records but no effort, so its rate is 0.
TEST(SeasonalActivity, CompleteSection) {
  mv::Study st = acttest::makeStudy({"Ocelot", "Tapir", "Puma"}, 2, 2010, 2011);
  st.GROUPTRAPDAYS(1, 2010, 12) = 31;
  st.GROUPTRAPDAYS(2, 2011, 1) = 20;
  st.GROUPTRAPDAYS(1, 2011, 2) = 9;
  st.GROUPTRAPDAYS(2, 2011, 12) = 10;
  st.GROUPTRAPDAYS(1, 2010, 4) = 30;
  st.GROUPTRAPDAYS(2, 2011, 10) = 40;

  st.PICCOUNT(1, 1, 2010, 12, 3) = 3;
  st.PICCOUNT(2, 1, 2011, 1, 3) = 2;
  st.PICCOUNT(1, 1, 2011, 2, 3) = 1;
  st.PICCOUNT(2, 1, 2011, 12, 3) = 1;
  st.PICCOUNT(1, 1, 2010, 4, 3) = 3;
  st.PICCOUNT(2, 1, 2011, 7, 3) = 5;
  st.PICCOUNT(1, 1, 2010, 12, 1) = 50;  // only independent pictures count
  st.PICCOUNT(1, 1, 2010, 10, 2) = 9;
  st.ACTSEASONHOUR(1, 1, 0) = 4;
  st.ACTSEASONHOUR(1, 1, 23) = 2;
  st.ACTSEASONHOUR(1, 2, 12) = 3;
  st.ACTSEASONHOUR(1, 3, 6) = 5;

  // Records without activity pictures: nothing written.
  st.PICCOUNT(1, 2, 2011, 1, 3) = 4;

  // Records only in a season without effort: every proportion 0.
  st.PICCOUNT(2, 3, 2010, 7, 3) = 2;
  st.ACTSEASONHOUR(3, 3, 1) = 2;

  // clang-format off
  std::vector<std::string> expected = {
      "ACTIVITY PATTERNS BY SEASON",
      "  Activity in one-hour segments by season",
      name("Ocelot"),
      kLabels,
      kEffort,
      "Number of pictures" "    " "     7" + k16 + "     3" + k16 + "     5" + k16 + "     0",
      "Pictures/Effort   " "     " " 0.1000" + k15 + " 0.1000" + k15 + " 0.0000" + k15 + " 0.0000",
      "Visitation proportion" "  " " 0.5000" + k15 + " 0.5000" + k15 + " 0.0000" + k15 + " 0.0000",
      kHourHeader,
  };
  // clang-format on
  addHours(expected, {{0, {"        4        0.667", kNone, kNone, kNone}},
                      {6, {kNone, kNone, "        5        1.000", kNone}},
                      {12, {kNone, "        3        1.000", kNone, kNone}},
                      {23, {"        2        0.333", kNone, kNone, kNone}}});
  // clang-format off
  expected.push_back("       " "Hourly pics" "   " "     6" + k13 + "   " "     3" + k13 + "   " "     5" + k13 + "   " "     0");
  // clang-format on
  expected.push_back("");
  expected.push_back(name("Puma"));
  expected.push_back(kLabels);
  expected.push_back(kEffort);
  // clang-format off
  expected.push_back("Number of pictures" "    " "     0" + k16 + "     0" + k16 + "     2" + k16 + "     0");
  expected.push_back("Pictures/Effort   " "     " " 0.0000" + k15 + " 0.0000" + k15 + " 0.0000" + k15 + " 0.0000");
  expected.push_back("Visitation proportion" "  " " 0.0000" + k15 + " 0.0000" + k15 + " 0.0000" + k15 + " 0.0000");
  // clang-format on
  expected.push_back(kHourHeader);
  addHours(expected, {{1, {kNone, kNone, "        2        1.000", kNone}}});
  // clang-format off
  expected.push_back("       " "Hourly pics" "   " "     0" + k13 + "   " "     0" + k13 + "   " "     2" + k13 + "   " "     0");
  // clang-format on
  expected.push_back("");

  std::vector<std::string> console;
  EXPECT_EQ(mvtest::runSection(mv::SEASONALACTIVITY, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" ACTIVITY PATTERNS BY SEASON"});
}

TEST(SeasonalActivity, NoActivityPictures) {
  mv::Study st = acttest::makeStudy({"Ocelot"});
  st.GROUPTRAPDAYS(1, 2010, 5) = 31;
  st.PICCOUNT(1, 1, 2010, 5, 3) = 2;
  EXPECT_EQ(mvtest::runSection(mv::SEASONALACTIVITY, st),
            (std::vector<std::string>{"ACTIVITY PATTERNS BY SEASON", "  Activity in one-hour segments by season"}));
}
