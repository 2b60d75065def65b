#include <string>
#include <utility>
#include <vector>

#include "activity/activity.hpp"
#include "activity_test_support.hpp"
#include "support/test_support.hpp"

using acttest::hours;
using acttest::name;

namespace {

constexpr int kFull = 1;
constexpr int kNew = 2;

// Hour line: the hour, then number and frequency at full and at new moon.
std::string hourLine(int h, const char* full, const char* atNew) {
  // clang-format off
  return hours(h) + "   " + full + "   " + atNew;
  // clang-format on
}
constexpr const char* kNone = "     0        0.000";

// The 24 hour lines of one species with the given exceptions.
void addHours(std::vector<std::string>& out, const std::vector<std::pair<int, std::string>>& special) {
  for (int h = 0; h <= 23; ++h) {
    std::string line = hourLine(h, kNone, kNone);
    for (const auto& [sh, text] : special)
      if (sh == h) line = text;
    out.push_back(line);
  }
}

// Full moon 25 at 00 hours; new moon 20 at 00 and 5 at 01 hours:
// (1 - 0.8)^2 + (0 - 0.2)^2 = 0.08.
void pumaProfile(mv::Study& st, int s) {
  st.ACTMOONHOUR(s, kFull, 0) = 25;
  st.ACTMOONHOUR(s, kNew, 0) = 20;
  st.ACTMOONHOUR(s, kNew, 1) = 5;
}

}  // namespace

// Ocelot has 25 full-moon and 24 new-moon pictures: a full block but it
// cannot be named. Tapir has only full-moon pictures: nothing at all.
TEST(LunarActivity, CompleteSection) {
  mv::Study st = acttest::makeStudy({"Ocelot", "Tapir", "Puma"});
  st.ACTMOONHOUR(1, kFull, 0) = 20;
  st.ACTMOONHOUR(1, kFull, 12) = 5;
  st.ACTMOONHOUR(1, kNew, 0) = 4;
  st.ACTMOONHOUR(1, kNew, 23) = 20;
  st.ACTMOONHOUR(2, kFull, 3) = 7;
  pumaProfile(st, 3);

  // clang-format off
  std::vector<std::string> expected = {
      "LUNAR ACTIVITY PATTERNS",
      "  New and full moon +/- 5 days activity patterns",
      "  Difference (large is greater difference)",
      name("Ocelot"),
      "                 Full moon activity    New moon activity",
      "    Hour        Number    Frequency   Number    Frequency",
  };
  // clang-format on
  addHours(expected, {{0, "00:00-01:00       20        0.800        4        0.167"},
                      {12, "12:00-13:00        5        0.200        0        0.000"},
                      {23, "23:00-24:00        0        0.000       20        0.833"}});
  // clang-format off
  expected.push_back("Total" "         " "    25" "                " "    24");
  // clang-format on
  // (0.8 - 0.1667)^2 + 0.2^2 + 0.8333^2 = 1.1356, root 1.0656.
  // clang-format off
  expected.push_back("Difference " "   " "  1.07");
  // clang-format on
  expected.push_back("");
  expected.push_back(name("Puma"));
  expected.push_back("                 Full moon activity    New moon activity");
  expected.push_back("    Hour        Number    Frequency   Number    Frequency");
  addHours(expected, {{0, "00:00-01:00       25        1.000       20        0.800"},
                      {1, "01:00-02:00        0        0.000        5        0.200"}});
  // clang-format off
  expected.push_back("Total" "         " "    25" "                " "    25");
  expected.push_back("Difference " "   " "  0.28");
  // clang-format on
  expected.push_back("");
  expected.push_back("SPECIES LUNAR ACTIVITY MOST DIFFERENT: " + name("Puma"));
  expected.push_back("");

  std::vector<std::string> console;
  EXPECT_EQ(mvtest::runSection(mv::LUNARACTIVITY, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" LUNAR ACTIVITY PATTERNS"});
}

// Zzzz differs less; Aaaa and Bbbb differ equally and most: the lower
// species number is named.
TEST(LunarActivity, EqualDifferencesNameTheLowerSpecies) {
  mv::Study st = acttest::makeStudy({"Zzzz", "Aaaa", "Bbbb"});
  st.ACTMOONHOUR(1, kFull, 0) = 25;
  st.ACTMOONHOUR(1, kNew, 0) = 24;
  st.ACTMOONHOUR(1, kNew, 1) = 1;
  pumaProfile(st, 2);
  pumaProfile(st, 3);
  const auto lines = mvtest::runSection(mv::LUNARACTIVITY, st);
  ASSERT_GE(lines.size(), 3u);
  // clang-format off
  EXPECT_EQ(lines[lines.size() - 4], "Difference " "   " "  0.28");
  // clang-format on
  EXPECT_EQ(lines[lines.size() - 2], "SPECIES LUNAR ACTIVITY MOST DIFFERENT: " + name("Aaaa"));
  EXPECT_EQ(lines.back(), "");
}

// Identical profiles give 0 and are never named; with no pictures in a
// window the species is skipped.
TEST(LunarActivity, NothingNamedWithoutADifference) {
  mv::Study st = acttest::makeStudy({"Aaaa", "Bbbb"});
  st.ACTMOONHOUR(1, kFull, 5) = 30;
  st.ACTMOONHOUR(1, kNew, 5) = 40;
  st.ACTMOONHOUR(2, kNew, 5) = 40;
  const auto lines = mvtest::runSection(mv::LUNARACTIVITY, st);
  ASSERT_EQ(lines.size(), 3u + 3u + 24u + 3u + 1u);
  EXPECT_EQ(lines[3], name("Aaaa"));
  EXPECT_EQ(lines[3 + 3 + 5], hourLine(5, "    30        1.000", "    40        1.000"));
  // clang-format off
  EXPECT_EQ(lines[30], "Total" "         " "    30" "                " "    40");
  EXPECT_EQ(lines[31], "Difference " "   " "  0.00");
  // clang-format on
  EXPECT_EQ(lines[32], "");
  EXPECT_EQ(lines[33], "");
}

// Moon days of a study year outside the built-in calendar are computed, and
// the section says so under its heading; a study within the calendar (2010,
// above) does not get the line.
TEST(LunarActivity, SaysWhenMoonDatesWereComputed) {
  for (const auto& [first, last] : {std::pair{2016, 2017}, std::pair{1999, 2000}}) {
    const mv::Study st = acttest::makeStudy({"Ocelot"}, 1, first, last);
    const auto lines = mvtest::runSection(mv::LUNARACTIVITY, st);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "  Difference (large is greater difference)");
    EXPECT_EQ(lines[3], "  Moon dates outside 2000 to 2016 computed as UTC dates");
    EXPECT_EQ(lines[4], "");
  }
}
