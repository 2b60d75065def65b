#include <string>
#include <vector>

#include "activity/activity.hpp"
#include "activity_test_support.hpp"
#include "support/test_support.hpp"

using acttest::hours;
using acttest::name;
using acttest::rep;

namespace {

const std::string kHeading = "SPECIES PAIRS ACTIVITY SIMILARITY (LOWER IS MORE SIMILAR)";
const std::string kMostSimilar = "SPECIES PAIR MOST SIMILAR IN ACTIVITY (FREQUENCY)";
const std::string kChiSquare = "CHI-SQUARE ANALYSIS OF PAIRED ACTIVITY PATTERNS";
const std::string kContinued = "Species list continued";

// One species' hour line with no pictures in any column.
// clang-format off
std::string quietHour(int h) { return hours(h) + "    " + rep("     0    0.000  ", 12) + "     0    0.000"; }

// Hour line of the most-similar pair.
std::string pairHour(int h, const char* a, const char* b) { return hours(h) + "    " + a + std::string(24, ' ') + b; }

// Species with all their activity pictures in January at one hour.
mv::Study studyAtHours(const std::vector<std::string>& names, const std::vector<std::pair<int, int>>& hourAndCount) {
  mv::Study st = acttest::makeStudy(names);
  for (int s = 1; s <= st.NSPECIES; ++s) {
    const auto [h, count] = hourAndCount[static_cast<std::size_t>(s - 1)];
    st.ACTMONTHHOUR(s, 1, h) = count;
  }
  return st;
}

std::vector<std::string> numberedNames(int n) {
  std::vector<std::string> names;
  char buf[16];
  for (int s = 1; s <= n; ++s) {
    std::snprintf(buf, sizeof buf, n > 80 ? "S%03d" : "Sp%02d", s);
    names.emplace_back(buf);
  }
  return names;
}

// n species with 25 activity pictures at 05 hours, except the last at 06
// hours: every pair has similarity 0 except those with the last species (2).
mv::Study lastOneDiffers(int n) {
  std::vector<std::pair<int, int>> at(static_cast<std::size_t>(n), {5, 25});
  at.back() = {6, 25};
  return studyAtHours(numberedNames(n), at);
}

// Header of a matrix block: the lead columns, then " abcd " per species
// (the last trailing blank is not written).
std::string header(int lead, const std::vector<std::string>& names, int first, int last) {
  std::string out(static_cast<std::size_t>(lead), ' ');
  // Appended piece by piece: GCC 12 at -O3 takes `" " + std::string` for an
  // overlapping copy and warns (-Wrestrict).
  for (int s = first; s <= last; ++s) {
    out += ' ';
    out += names[static_cast<std::size_t>(s - 1)].substr(0, 4);
    out += ' ';
  }
  out.pop_back();
  return out;
}

}  // namespace

// A complete section: two species with activity around a species without
// any (no block of its own, still a row of zeros in the similarity matrix,
// no row in the chi-square matrix).
TEST(ActivityPattern, CompleteSection) {
  mv::Study st = acttest::makeStudy({"Ocelot", "Tapir", "Puma"}, 2, 2010, 2011);
  // clang-format on
  st.ACTMONTHHOUR(1, 1, 0) = 10;
  st.ACTMONTHHOUR(1, 1, 12) = 5;
  st.ACTMONTHHOUR(1, 7, 23) = 10;
  st.ACTMONTHHOUR(3, 3, 0) = 20;
  st.ACTMONTHHOUR(3, 3, 12) = 5;
  // Activity (kind 2) and all pictures (kind 1) over groups and years.
  st.PICCOUNT(1, 1, 2010, 1, 2) = 15;
  st.PICCOUNT(1, 1, 2010, 1, 1) = 30;
  st.PICCOUNT(2, 1, 2011, 7, 2) = 10;
  st.PICCOUNT(2, 1, 2011, 7, 1) = 10;
  st.PICCOUNT(1, 2, 2010, 5, 1) = 3;
  st.PICCOUNT(2, 3, 2010, 3, 2) = 25;
  st.PICCOUNT(2, 3, 2010, 3, 1) = 31;
  st.PICCOUNT(1, 3, 2011, 3, 3) = 7;  // kind 3 is not used here

  const std::string zero = "     0    0.000  ";
  const std::string monthsHeader = std::string(19, ' ') + "All months" + std::string(9, ' ') + "Jan" +
                                   std::string(14, ' ') + "Feb" + std::string(14, ' ') + "Mar" + std::string(14, ' ') +
                                   "Apr" + std::string(14, ' ') + "May" + std::string(14, ' ') + "Jun" +
                                   std::string(14, ' ') + "Jul" + std::string(14, ' ') + "Aug" + std::string(14, ' ') +
                                   "Sep" + std::string(14, ' ') + "Oct" + std::string(14, ' ') + "Nov" +
                                   std::string(14, ' ') + "Dec";
  const std::string hoursHeader = "    Hour        " + rep("Number Frequency ", 12) + "Number Frequency";

  // clang-format off
  std::vector<std::string> expected = {
      "ACTIVITY PATTERNS",
      " Activity in one-hour segments - Species (Number of independent pics/Total number of pics)",
      "Ocelot                    (    25/    40)",
      monthsHeader,
      hoursHeader,
  };
  // clang-format on
  for (int h = 0; h <= 23; ++h) {
    if (h == 0)
      expected.push_back("00:00-01:00        10    0.400      10    0.667  " + rep(zero, 10) + "     0    0.000");
    else if (h == 12)
      expected.push_back("12:00-13:00         5    0.200       5    0.333  " + rep(zero, 10) + "     0    0.000");
    else if (h == 23)
      // clang-format off
      expected.push_back("23:00-24:00        10    0.400  " + rep(zero, 6) + "    10    1.000  " + rep(zero, 4) +
                         "     0    0.000");
    // clang-format on
    else
      expected.push_back(quietHour(h));
  }
  // clang-format off
  expected.push_back("Total              25  100.000      15  100.000  " + rep("     0  100.000  ", 5) +
                     "    10  100.000  " + rep("     0  100.000  ", 4) + "     0  100.000");
  // clang-format on
  expected.push_back("");
  expected.push_back("Puma                      (    25/    31)");
  expected.push_back(monthsHeader);
  expected.push_back(hoursHeader);
  for (int h = 0; h <= 23; ++h) {
    if (h == 0)
      // clang-format off
      expected.push_back("00:00-01:00        20    0.800  " + rep(zero, 2) + "    20    0.800  " + rep(zero, 8) +
                         "     0    0.000");
    // clang-format on
    else if (h == 12)
      // clang-format off
      expected.push_back("12:00-13:00         5    0.200  " + rep(zero, 2) + "     5    0.200  " + rep(zero, 8) +
                         "     0    0.000");
    // clang-format on
    else
      expected.push_back(quietHour(h));
  }
  // clang-format off
  expected.push_back("Total              25  100.000  " + rep("     0  100.000  ", 2) + "    25  100.000  " +
                     rep("     0  100.000  ", 8) + "     0  100.000");
  // clang-format on
  expected.push_back("");
  // Ocelot 0.4/0.2/0.4 against Puma 0.8/0.2/0: 0.16 + 0 + 0.16.
  expected.push_back(kHeading);
  expected.push_back("                            Ocel  Tapi  Puma");
  expected.push_back("Ocelot                     0.000 0.000 0.320");
  expected.push_back("Tapir                      0.000 0.000 0.000");
  expected.push_back("");
  expected.push_back(kMostSimilar);
  expected.push_back("  Consider those species with 25 or more pictures");
  expected.push_back("Hour            Ocelot                        Puma                     ");
  for (int h = 0; h <= 23; ++h) {
    if (h == 0)
      expected.push_back(pairHour(h, " 0.400", " 0.800"));
    else if (h == 12)
      expected.push_back(pairHour(h, " 0.200", " 0.200"));
    else if (h == 23)
      expected.push_back(pairHour(h, " 0.400", " 0.000"));
    else
      expected.push_back(pairHour(h, " 0.000", " 0.000"));
  }
  expected.push_back("");
  expected.push_back(kChiSquare);
  expected.push_back("H0: Species A and B have similar activity patterns at 95%");
  expected.push_back("Significant = +, Not significant = 0");
  expected.push_back("Consider only species with >= 25 pictures");
  // Ocelot against Puma: (10-15)^2/15 twice at 00 hours, nothing at 12
  // hours, (10-5)^2/5 twice at 23 hours: 13.33, not significant.
  expected.push_back("                           Ocel  Tapi  Puma");
  expected.push_back("Ocelot                        0     0     0");
  expected.push_back("");

  std::vector<std::string> console;
  EXPECT_EQ(mvtest::runSection(mv::ACTIVITYPATTERN, st, &console), expected);
  EXPECT_EQ(console, std::vector<std::string>{" ACTIVITY PATTERNS"});
}

TEST(ActivityPattern, TwentySpeciesMakeOneBlock) {
  const std::vector<std::string> names = numberedNames(20);
  const auto lines = mvtest::runSection(mv::ACTIVITYPATTERN, lastOneDiffers(20));
  std::size_t k = acttest::find(lines, kHeading);
  ASSERT_LT(k, lines.size());
  EXPECT_EQ(lines[++k], header(27, names, 1, 20));
  // 19 rows; identical profiles give 0.000, the last species 2.000.
  // clang-format off
  for (int i = 1; i <= 19; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("0.000 ", 19) + "2.000");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  // Every pair has 0; the first pair in row order stays the most similar.
  EXPECT_EQ(lines[++k], kMostSimilar);
  ++k;
  // clang-format off
  EXPECT_EQ(lines[++k], "Hour            " + name("Sp01") + "     " + name("Sp02"));
  // clang-format on
  EXPECT_EQ(lines[k + 6], pairHour(5, " 1.000", " 1.000"));
  EXPECT_EQ(lines[k + 7], pairHour(6, " 0.000", " 0.000"));
  k += 25;
  EXPECT_EQ(lines[k], "");
  EXPECT_EQ(lines[++k], kChiSquare);
  k += 3;
  EXPECT_EQ(lines[++k], header(26, names, 1, 20));
  // 25 at 05 hours against 25 at 06 hours: 4 terms of 12.5 = 50, significant.
  // clang-format off
  for (int i = 1; i <= 19; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("   0  ", 19) + "   +");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(++k, lines.size());
  EXPECT_EQ(acttest::find(lines, kContinued), lines.size());
}

TEST(ActivityPattern, TwentyOneSpeciesMakeTwoBlocks) {
  const std::vector<std::string> names = numberedNames(21);
  const auto lines = mvtest::runSection(mv::ACTIVITYPATTERN, lastOneDiffers(21));
  std::size_t k = acttest::find(lines, kHeading);
  ASSERT_LT(k, lines.size());
  // Columns 1 to 10, rows 1 to 9.
  EXPECT_EQ(lines[++k], header(27, names, 1, 10));
  // clang-format off
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("0.000 ", 9) + "0.000");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(lines[++k], kContinued);
  // Columns 11 to 21, rows 1 to 20.
  EXPECT_EQ(lines[++k], header(27, names, 11, 21));
  // clang-format off
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("0.000 ", 10) + "2.000");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(lines[++k], kMostSimilar);
  k += 27;
  EXPECT_EQ(lines[k], "");
  EXPECT_EQ(lines[++k], kChiSquare);
  k += 3;
  EXPECT_EQ(lines[++k], header(26, names, 1, 10));
  // clang-format off
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("   0  ", 9) + "   0");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(lines[++k], kContinued);
  EXPECT_EQ(lines[++k], header(26, names, 11, 21));
  // clang-format off
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("   0  ", 10) + "   +");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(++k, lines.size());
}

// 81 species: the first block has exactly 40 columns and fits its lines;
// the second has 41, so each header and row goes on with one more line,
// restarting at the repeated group in column 1.
TEST(ActivityPattern, MoreThanEightySpeciesContinueOnFurtherLines) {
  const std::vector<std::string> names = numberedNames(81);
  const auto lines = mvtest::runSection(mv::ACTIVITYPATTERN, lastOneDiffers(81));
  std::size_t k = acttest::find(lines, kHeading);
  ASSERT_LT(k, lines.size());
  EXPECT_EQ(lines[++k], header(27, names, 1, 40));
  // clang-format off
  for (int i = 1; i <= 39; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("0.000 ", 39) + "0.000");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(lines[++k], kContinued);
  EXPECT_EQ(lines[++k], header(27, names, 41, 80));
  EXPECT_EQ(lines[++k], " S081");
  for (int i = 1; i <= 80; ++i) {
    // clang-format off
    EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("0.000 ", 39) + "0.000");
    // clang-format on
    EXPECT_EQ(lines[++k], "2.000");
  }
  EXPECT_EQ(lines[++k], "");

  k = acttest::find(lines, kChiSquare);
  ASSERT_LT(k, lines.size());
  k += 3;
  EXPECT_EQ(lines[++k], header(26, names, 1, 40));
  // clang-format off
  for (int i = 1; i <= 39; ++i) EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("   0  ", 39) + "   0");
  // clang-format on
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(lines[++k], kContinued);
  EXPECT_EQ(lines[++k], header(26, names, 41, 80));
  EXPECT_EQ(lines[++k], " S081");
  for (int i = 1; i <= 80; ++i) {
    // clang-format off
    EXPECT_EQ(lines[++k], name(names[i - 1]) + "  " + rep("   0  ", 39) + "   0");
    // clang-format on
    EXPECT_EQ(lines[++k], "   +");
  }
  EXPECT_EQ(lines[++k], "");
  EXPECT_EQ(++k, lines.size());
}

// Aaaa at 05 hours, Bbbb at 05 hours with 24 or 25 pictures, Cccc at 06
// hours: 24 pictures keep Bbbb out of the search and the chi-square matrix.
TEST(ActivityPattern, TwentyFivePicturesTakePartTwentyFourDoNot) {
  const auto section = [](int bPictures, int cPictures) {
    const auto lines = mvtest::runSection(
        mv::ACTIVITYPATTERN, studyAtHours({"Aaaa", "Bbbb", "Cccc"}, {{5, 25}, {5, bPictures}, {6, cPictures}}));
    const std::size_t k = acttest::find(lines, kHeading);
    return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(k), lines.end());
  };
  const std::vector<std::string> chiHeading = {
      kChiSquare, "H0: Species A and B have similar activity patterns at 95%", "Significant = +, Not significant = 0",
      "Consider only species with >= 25 pictures", "                           Aaaa  Bbbb  Cccc"};
  const auto pairBlock = [](const char* second, int secondHour) {
    std::vector<std::string> out = {kMostSimilar, "  Consider those species with 25 or more pictures",
                                    // clang-format off
                                    "Hour            " + name("Aaaa") + "     " + name(second)};
    // clang-format on
    for (int h = 0; h <= 23; ++h)
      out.push_back(pairHour(h, h == 5 ? " 1.000" : " 0.000", h == secondHour ? " 1.000" : " 0.000"));
    out.push_back("");
    return out;
  };
  const std::vector<std::string> similarity = {kHeading, "                            Aaaa  Bbbb  Cccc",
                                               "Aaaa                       0.000 0.000 2.000",
                                               "Bbbb                       0.000 0.000 2.000", ""};

  // Bbbb with 24: the only pair is Aaaa-Cccc; no row for Bbbb.
  std::vector<std::string> expected = similarity;
  for (auto& l : pairBlock("Cccc", 6)) expected.push_back(l);
  for (auto& l : chiHeading) expected.push_back(l);
  expected.push_back("Aaaa                          0     0     +");
  expected.push_back("");
  EXPECT_EQ(section(24, 25), expected);

  // Bbbb with 25: Aaaa-Bbbb (0) is the most similar; Bbbb-Cccc significant.
  expected = similarity;
  for (auto& l : pairBlock("Bbbb", 5)) expected.push_back(l);
  for (auto& l : chiHeading) expected.push_back(l);
  expected.push_back("Aaaa                          0     0     +");
  expected.push_back("Bbbb                          0     0     +");
  expected.push_back("");
  EXPECT_EQ(section(25, 25), expected);

  // Only Aaaa has 25: no most-similar block, every mark 0, Aaaa's row stays.
  expected = similarity;
  for (auto& l : chiHeading) expected.push_back(l);
  expected.push_back("Aaaa                          0     0     0");
  expected.push_back("");
  EXPECT_EQ(section(24, 24), expected);
}

// Two species with pictures at 00 and 01 hours. Aaaa 2/51 against Bbbb
// 39/33: the 2x2 chi-square is 125*1923^2/(53*72*41*84) = 35.1720007, and the
// 4-byte sums land exactly on 35.172. Aaaa 7/39 against Bbbb 71/34:
// 151*2531^2/(46*105*78*73) = 35.1719696, just below.
TEST(ActivityPattern, ChiSquareAtTheCriticalValueIsSignificant) {
  const auto markRow = [](int a0, int a1, int b0, int b1) {
    mv::Study st = acttest::makeStudy({"Aaaa", "Bbbb"});
    st.ACTMONTHHOUR(1, 4, 0) = a0;
    st.ACTMONTHHOUR(1, 4, 1) = a1;
    st.ACTMONTHHOUR(2, 9, 0) = b0;
    st.ACTMONTHHOUR(2, 9, 1) = b1;
    const auto lines = mvtest::runSection(mv::ACTIVITYPATTERN, st);
    const std::size_t k = acttest::find(lines, kChiSquare);
    EXPECT_EQ(lines.at(k + 4), "                           Aaaa  Bbbb");
    EXPECT_EQ(lines.at(k + 6), "");
    EXPECT_EQ(lines.size(), k + 7);
    return lines.at(k + 5);
  };
  EXPECT_EQ(markRow(2, 51, 39, 33), "Aaaa                          0     +");
  EXPECT_EQ(markRow(7, 39, 71, 34), "Aaaa                          0     0");
}

// With no activity pictures at all there are no blocks, zero matrices and no
// most-similar pair.
TEST(ActivityPattern, NoActivityPictures) {
  mv::Study st = acttest::makeStudy({"Aaaa", "Bbbb"});
  st.PICCOUNT(1, 1, 2010, 6, 1) = 4;
  // clang-format off
  const std::vector<std::string> expected = {
      "ACTIVITY PATTERNS",
      " Activity in one-hour segments - Species (Number of independent pics/Total number of pics)",
      kHeading,
      "                            Aaaa  Bbbb",
      "Aaaa                       0.000 0.000",
      "",
      kChiSquare,
      "H0: Species A and B have similar activity patterns at 95%",
      "Significant = +, Not significant = 0",
      "Consider only species with >= 25 pictures",
      "                           Aaaa  Bbbb",
      ""};
  // clang-format on
  EXPECT_EQ(mvtest::runSection(mv::ACTIVITYPATTERN, st), expected);
}
