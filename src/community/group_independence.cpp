// GROUPINDEPENDENCE: chi-square test, for every two groups, of whether the
// species frequencies depend on the group, at the 95 % level.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "community/community.hpp"
#include "community/independent_counts.hpp"

namespace mv {

namespace {

// Upper 5 % points of the chi-square distribution by degrees of freedom;
// entry 0 is 0.0.
constexpr std::array<float, 36> kChiSquare95 = {
    0.0f,    3.841f,  5.991f,  7.815f,  9.488f,  11.070f, 12.592f, 14.067f, 15.507f, 16.919f, 18.307f, 19.675f,
    21.026f, 22.362f, 23.685f, 24.996f, 26.296f, 27.587f, 28.869f, 30.144f, 31.410f, 32.671f, 33.924f, 35.172f,
    36.415f, 37.652f, 38.885f, 40.113f, 41.337f, 42.557f, 43.773f, 44.985f, 46.194f, 47.400f, 48.602f, 49.802f};

// Adds one species' terms to the statistics X[j] of the pairs (i, j), j
// from `first` to N - 1: a and A are the species' count and the total at
// group i, row[j] and groupTotal[j] those at group j. The pairs are side by
// side, so that the same operations on several pairs run at once; each pair
// still sees exactly the operations, in the order, of its own sum. Counts
// and totals are whole numbers, never negative, so a test of their bits for
// zero tells 0 from a positive count. An expected count ea (eb) is positive
// exactly when the species' row sum r and the group total A (B) both are; a
// term that does not count is masked to +0.0, which leaves the sum (never
// negative) exactly as it is. Masks instead of comparisons of reals keep the
// loop free of branches. Every operation is a single rounded one, so the
// wider vectors of the processors that have them give the same sums.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
[[gnu::target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")]]
#endif
void addSpeciesTerms(const float* row, const float* groupTotal, float* X, std::size_t first, std::size_t N, float a,
                     float A) {
  const auto bits = [](float x) { return std::bit_cast<std::uint32_t>(x); };
  const auto positive = [](std::uint32_t b) -> std::uint32_t { return b != 0 ? ~0u : 0u; };
  const std::uint32_t hasA = positive(bits(A));
  for (std::size_t j = first; j < N; ++j) {
    const float B = groupTotal[j];
    const float T = A + B;
    const float b = row[j];
    const float r = a + b;
    const float ea = r * A / T;
    const float eb = r * B / T;
    const float termA = (a - ea) * (a - ea) / ea;
    const float termB = (b - eb) * (b - eb) / eb;
    const std::uint32_t hasR = positive(bits(r));
    const float addA = std::bit_cast<float>(bits(termA) & (hasR & hasA));
    const float addB = std::bit_cast<float>(bits(termB) & (hasR & positive(bits(B))));
    X[j] = (X[j] + addA) + addB;
  }
}

const char* markText(char mark) { return mark == 'R' ? "R" : mark == '-' ? "-" : " "; }

// One mark matrix: groups first..last as columns, rows 1..lastRow.
void markMatrix(const StudyInput& st, const std::vector<char>& marks, int first, int last, int lastRow,
                std::string_view headerLayout, std::string_view rowLayout, Writer& report) {
  const std::size_t n = static_cast<std::size_t>(st.NGROUPS);
  std::vector<Value> values;
  values.emplace_back("Groups");
  for (int g = first; g <= last; ++g) values.emplace_back(st.GROUPNAME(g));
  report.writeValues(headerLayout, values);
  for (int i = 1; i <= lastRow; ++i) {
    values.clear();
    values.emplace_back(st.GROUPNAME(i));
    for (int j = first; j <= last; ++j)
      values.emplace_back(markText(marks[static_cast<std::size_t>(i - 1) * n + static_cast<std::size_t>(j - 1)]));
    report.writeValues(rowLayout, values);
  }
}

}  // namespace

void GROUPINDEPENDENCE(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  const int ng = st.NGROUPS;
  const int ns = st.NSPECIES;
  const char* title = "CHI-SQUARE ANALYSIS OF PAIRED GROUPS SPECIES FREQUENCIES";
  report.write("(a56)", title);
  console.free(title);
  report.write("(a47)", "H0: Species frequencies are independent of site");
  report.write("(a54)", "Reject null hypothesis = R, Accept null hypothesis = -");

  const Table<int, 2> n = independentPictures(st, tallies);
  std::vector<int> total(static_cast<std::size_t>(ng) + 1, 0);
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s) total[static_cast<std::size_t>(g)] += n(g, s);

  // The critical value depends only on the study's species count. With one
  // species (or none) there is nothing to test: every pair is accepted.
  const int df = std::min(ns - 1, 35);
  const bool testable = df >= 1;
  const float critical = testable ? kChiSquare95[static_cast<std::size_t>(df)] : 0.0f;

  // Row-major marks, blank on and below the diagonal.
  std::vector<char> marks(static_cast<std::size_t>(ng) * static_cast<std::size_t>(ng), ' ');
  // The statistic of every pair i < j, the species terms added in species
  // order, the pairs of one row i side by side. With no pictures at either
  // group every expected count is undefined (0/0) and adds nothing.
  const std::size_t N = static_cast<std::size_t>(ng) + 1;
  std::vector<float> count(static_cast<std::size_t>(ns + 1) * N, 0.0f);  // species-major
  for (int g = 1; g <= ng; ++g)
    for (int s = 1; s <= ns; ++s)
      count[static_cast<std::size_t>(s) * N + static_cast<std::size_t>(g)] = static_cast<float>(n(g, s));
  std::vector<float> groupTotal(N, 0.0f);
  for (int g = 1; g <= ng; ++g)
    groupTotal[static_cast<std::size_t>(g)] = static_cast<float>(total[static_cast<std::size_t>(g)]);
  std::vector<float> X(N, 0.0f);
  for (int i = 1; i <= ng - 1; ++i) {
    const std::size_t first = static_cast<std::size_t>(i) + 1;
    const float A = groupTotal[static_cast<std::size_t>(i)];
    std::fill(X.begin() + static_cast<std::ptrdiff_t>(first), X.end(), 0.0f);
    for (int s = 1; s <= ns; ++s) {
      const float* row = count.data() + static_cast<std::size_t>(s) * N;
      addSpeciesTerms(row, groupTotal.data(), X.data(), first, N, row[i], A);
    }
    for (std::size_t j = first; j < N; ++j)
      marks[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(ng) + (j - 1)] =
          testable && X[j] >= critical ? 'R' : '-';
  }

  if (ng <= 10) {
    markMatrix(st, marks, 1, ng, ng - 1, "(a6,20x,10(a6,1x))", "(a25,1x,10(3x,a1,3x))", report);
  } else {
    const int h = ng / 2;
    markMatrix(st, marks, 1, h, h - 1, "(a6,20x,25(a6,1x))", "(a25,1x,25(3x,a1,3x))", report);
    report.blank();
    markMatrix(st, marks, h + 1, ng, ng - 1, "(a6,20x,25(a6,1x))", "(a25,1x,25(3x,a1,3x))", report);
  }
  report.blank();
}

}  // namespace mv
