// ACTIVITY PATTERNS: hourly activity of every species over the whole study,
// the similarity of the hourly profiles of every pair of species, the most
// similar well-photographed pair and a chi-square test of every such pair.
#include <string_view>
#include <vector>

#include "activity/activity.hpp"
#include "model/labels.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

// Species with fewer activity pictures take no part in the most-similar
// search and the chi-square tests.
constexpr int kPictureThreshold = 25;
// Starting value of the most-similar search: above any possible sum.
constexpr float kNoPairYet = 1000.0f;
// 95% point of the chi-square distribution with 23 degrees of freedom.
constexpr float kChiSquareCritical = 35.172f;
// Species matrices switch to two blocks above this many species.
constexpr int kOneBlockSpecies = 20;

constexpr const char* kSignificant = "+";
constexpr const char* kNotSignificant = "0";

// Writes a species x species matrix: in one block for up to 20 species,
// otherwise in two blocks, the first with the columns 1..half and the rows
// 1..half-1, the second with the columns half+1..n and the rows 1..n-1.
// The last species never has a row. `cell(i, j)` gives the value shown in
// row i, column j; `wantRow(i)` says whether row i is written at all.
template <class Cell, class WantRow>
void writeSpeciesMatrix(const StudyInput& st, std::string_view headerLayout, std::string_view rowLayout, Cell cell,
                        WantRow wantRow, Writer& report) {
  const int n = st.NSPECIES;
  std::vector<Value> values;
  const auto block = [&](int firstColumn, int lastColumn, int lastRow) {
    values.clear();
    for (int j = firstColumn; j <= lastColumn; ++j) values.emplace_back(st.SPECIESNAME(j));
    report.writeValues(headerLayout, values);
    for (int i = 1; i <= lastRow; ++i) {
      if (!wantRow(i)) continue;
      values.clear();
      values.emplace_back(st.SPECIESNAME(i));
      for (int j = firstColumn; j <= lastColumn; ++j) values.push_back(cell(i, j));
      report.writeValues(rowLayout, values);
    }
  };
  if (n <= kOneBlockSpecies) {
    block(1, n, n - 1);
  } else {
    const int half = n / 2;
    block(1, half, half - 1);
    report.blank();
    report.write("(a22)", "Species list continued");
    block(half + 1, n, n - 1);
  }
}

// Share of hour h in a species' activity total (the total is not 0).
float share(int count, int total) { return static_cast<float>(count) / static_cast<float>(total); }

}  // namespace

void addHourSpan(std::vector<Value>& values, int h) {
  values.emplace_back(hourLabel(h));
  values.emplace_back(":00-");
  values.emplace_back(hourLabel(h + 1));
  values.emplace_back(":00");
}

void ACTIVITYPATTERN(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  const int n = st.NSPECIES;
  sectionTitle(report, console, "ACTIVITY PATTERNS");
  report.write("(a48,a42)", "Activity in one-hour segments - Species (Number",
               " of independent pics/Total number of pics)");

  // Hour totals H(s,h) over the months; month totals M(s,m), with index 0
  // holding the species' activity total N(s).
  Table<int, 2> hourTotal;
  Table<int, 2> monthTotal;
  hourTotal.resize({st.species(), Range{0, 23}}, 0);
  monthTotal.resize({st.species(), Range{0, 12}}, 0);
  for (int s = 1; s <= n; ++s) {
    for (int h = 0; h <= 23; ++h) {
      for (int m = 1; m <= 12; ++m) hourTotal(s, h) += tallies.ACTMONTHHOUR(s, m, h);
      monthTotal(s, 0) += hourTotal(s, h);
    }
    for (int m = 1; m <= 12; ++m)
      for (int h = 0; h <= 23; ++h) monthTotal(s, m) += tallies.ACTMONTHHOUR(s, m, h);
  }
  const auto total = [&](int s) { return monthTotal(s, 0); };

  // Per-species blocks.
  Table<float, 2> monthFrequency;
  monthFrequency.resize({Range{1, 12}, Range{0, 23}}, 0.0f);
  std::vector<Value> values;
  for (int s = 1; s <= n; ++s) {
    for (int m = 1; m <= 12; ++m) {
      const int inMonth = monthTotal(s, m);
      for (int h = 0; h <= 23; ++h)
        monthFrequency(m, h) = inMonth > 0 ? share(tallies.ACTMONTHHOUR(s, m, h), inMonth) : 0.0f;
    }
    int activityPics = 0;
    int allPics = 0;
    for (int g = 1; g <= st.NGROUPS; ++g)
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) {
          activityPics += tallies.PICCOUNT(g, s, y, m, kActivityPictures);
          allPics += tallies.PICCOUNT(g, s, y, m, kAllPictures);
        }
    if (total(s) == 0) continue;

    // The layout stops at its third i6, for which no value is left.
    report.write("(a25,1x,3(a1,i6))", st.SPECIESNAME(s), "(", activityPics, "/", allPics, ")");
    values.clear();
    values.emplace_back("All months");
    for (int m = 1; m <= 12; ++m) values.emplace_back(monthName(m));
    report.writeValues("(19x,a10,9x,12(a3,14x))", values);
    values.clear();
    values.emplace_back("Hour");
    for (int c = 0; c < 13; ++c) values.emplace_back("Number Frequency");
    report.writeValues("(4x,a4,8x,13(a16,1x))", values);
    for (int h = 0; h <= 23; ++h) {
      values.clear();
      addHourSpan(values, h);
      values.emplace_back(hourTotal(s, h));
      values.emplace_back(share(hourTotal(s, h), total(s)));
      for (int m = 1; m <= 12; ++m) {
        values.emplace_back(tallies.ACTMONTHHOUR(s, m, h));
        values.emplace_back(monthFrequency(m, h));
      }
      report.writeValues("(a2,a4,a2,a3,4x,13(i6,3x,f6.3,2x))", values);
    }
    // Every column's shares add up to 100 per cent, also in an empty month.
    values.clear();
    values.emplace_back("Total");
    values.emplace_back(total(s));
    values.emplace_back("100.000");
    for (int m = 1; m <= 12; ++m) {
      values.emplace_back(monthTotal(s, m));
      values.emplace_back("100.000");
    }
    report.writeValues("(a5,10x,13(i6,2x,a7,2x))", values);
    report.blank();
  }

  // Similarity of two species: the sum of squared differences of their
  // hourly shares (lower is more similar). Only the upper triangle is filled.
  Table<float, 2> similarity;
  similarity.resize({st.species(), st.species()}, 0.0f);
  for (int i = 1; i <= n - 1; ++i) {
    if (total(i) <= 0) continue;
    for (int j = i + 1; j <= n; ++j) {
      if (total(j) <= 0) continue;
      float sum = 0.0f;
      for (int h = 0; h <= 23; ++h) {
        const float d = share(hourTotal(i, h), total(i)) - share(hourTotal(j, h), total(j));
        sum = sum + d * d;
      }
      similarity(i, j) = sum;
    }
  }
  report.write("(a57)", "SPECIES PAIRS ACTIVITY SIMILARITY (LOWER IS MORE SIMILAR)");
  writeSpeciesMatrix(
      st, "(27x,40(1x,a4,1x))", "(a25,2x,40(f5.3,1x))", [&](int i, int j) { return Value(similarity(i, j)); },
      [](int) { return true; }, report);
  report.blank();

  // The most similar pair among the well-photographed species; on equal
  // values the first pair in row order stays.
  const auto wellPhotographed = [&](int s) { return total(s) >= kPictureThreshold; };
  float best = kNoPairYet;
  int bestI = 0;
  int bestJ = 0;
  for (int i = 1; i <= n - 1; ++i) {
    if (!wellPhotographed(i)) continue;
    for (int j = i + 1; j <= n; ++j) {
      if (!wellPhotographed(j)) continue;
      if (similarity(i, j) < best) {
        best = similarity(i, j);
        bestI = i;
        bestJ = j;
      }
    }
  }
  if (bestI > 0) {
    report.write("(a49)", "SPECIES PAIR MOST SIMILAR IN ACTIVITY (FREQUENCY)");
    report.write("(a49)", "  Consider those species with 25 or more pictures");
    report.write("(a4,12x,a25,5x,a25)", "Hour", st.SPECIESNAME(bestI), st.SPECIESNAME(bestJ));
    for (int h = 0; h <= 23; ++h)
      report.write("(a2,a4,a2,a3,4x,f6.3,24x,f6.3)", hourLabel(h), ":00-", hourLabel(h + 1), ":00",
                   share(hourTotal(bestI, h), total(bestI)), share(hourTotal(bestJ, h), total(bestJ)));
    report.blank();
  }

  // Chi-square test of each pair of well-photographed species on their
  // hourly counts: expected counts split each hour's pair total in the
  // ratio of the species' activity totals; 23 degrees of freedom.
  report.write("(a47)", "CHI-SQUARE ANALYSIS OF PAIRED ACTIVITY PATTERNS");
  report.write("(a57)", "H0: Species A and B have similar activity patterns at 95%");
  report.write("(a36)", "Significant = +, Not significant = 0");
  report.write("(a41)", "Consider only species with >= 25 pictures");
  Table<const char*, 2> mark;
  mark.resize({st.species(), st.species()}, kNotSignificant);
  for (int i = 1; i <= n - 1; ++i) {
    if (!wellPhotographed(i)) continue;
    for (int j = i + 1; j <= n; ++j) {
      if (!wellPhotographed(j)) continue;
      const float pairTotal = static_cast<float>(total(i) + total(j));
      const float pi = static_cast<float>(total(i)) / pairTotal;
      const float pj = static_cast<float>(total(j)) / pairTotal;
      float chi = 0.0f;
      for (int h = 0; h <= 23; ++h) {
        const float inHour = static_cast<float>(hourTotal(i, h) + hourTotal(j, h));
        const float ei = pi * inHour;
        const float ej = pj * inHour;
        if (ei > 0.0f) {
          const float d = static_cast<float>(hourTotal(i, h)) - ei;
          chi = chi + d * d / ei;
        }
        if (ej > 0.0f) {
          const float d = static_cast<float>(hourTotal(j, h)) - ej;
          chi = chi + d * d / ej;
        }
      }
      if (chi >= kChiSquareCritical) mark(i, j) = kSignificant;
    }
  }
  writeSpeciesMatrix(
      st, "(26x,40(1x,a4,1x))", "(a25,2x,40(3x,a1,2x))", [&](int i, int j) { return Value(mark(i, j)); },
      wellPhotographed, report);
  report.blank();
}

}  // namespace mv
