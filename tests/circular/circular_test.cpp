#include "circular/circular.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "circular/numerics.hpp"
#include "circular/tiny_reference.hpp"

namespace {

using mvtest::tinyCsv;

const std::vector<double>& tiny(const std::string& species) {
  static const mv::EventTimes times = mvtest::tinyEventTimes();
  return times.of(mvtest::tinySpeciesNumber(species));
}

double number(const std::map<std::string, std::string>& row, const char* name) { return std::stod(row.at(name)); }

TEST(TinyReference, OverlapBandwidthsAndEstimates) {
  const auto rows = tinyCsv("r_overlap.csv");
  ASSERT_EQ(rows.size(), 6u);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.at("speciesA") + "|" + row.at("speciesB"));
    const auto& a = tiny(row.at("speciesA"));
    const auto& b = tiny(row.at("speciesB"));
    ASSERT_EQ(a.size(), static_cast<std::size_t>(number(row, "nA")));
    ASSERT_EQ(b.size(), static_cast<std::size_t>(number(row, "nB")));
    const auto bwA = mv::overlapBandwidth(a), bwB = mv::overlapBandwidth(b);
    ASSERT_TRUE(bwA && bwB);
    EXPECT_NEAR(*bwA / number(row, "bwA"), 1.0, 1e-5);
    EXPECT_NEAR(*bwB / number(row, "bwB"), 1.0, 1e-5);
    const mv::OverlapEstimates e = mv::overlapEstimates(a, b, *bwA, *bwB);
    EXPECT_NEAR(e.dhat1, number(row, "Dhat1"), 1e-5);
    EXPECT_NEAR(e.dhat4, number(row, "Dhat4"), 1e-5);
    EXPECT_NEAR(e.dhat5, number(row, "Dhat5"), 1e-5);
    EXPECT_STREQ(row.at("estimator").c_str(), mv::estimatorName(mv::recommendedEstimator(a.size(), b.size())));
  }
}

TEST(TinyReference, ActivityLevels) {
  const auto rows = tinyCsv("r_activity.csv");
  ASSERT_EQ(rows.size(), 4u);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.at("species"));
    const mv::ActivityLevel level = mv::activityLevel(tiny(row.at("species")));
    EXPECT_NEAR(level.bandwidth / number(row, "bw"), 1.0, 1e-5);
    EXPECT_NEAR(level.maxDensity / number(row, "max_pdf"), 1.0, 1e-4);
    EXPECT_NEAR(level.level / number(row, "act"), 1.0, 1e-4);
  }
}

TEST(EdgeCases, BandwidthsOfDegenerateSamples) {
  const std::vector<double> none, one = {1.0}, same = {2.0, 2.0, 2.0}, two = {0.5, 0.9};
  EXPECT_FALSE(mv::overlapBandwidth(none));
  EXPECT_FALSE(mv::overlapBandwidth(one));
  EXPECT_FALSE(mv::overlapBandwidth(same));
  ASSERT_TRUE(mv::overlapBandwidth(two));
  EXPECT_TRUE(std::isfinite(*mv::overlapBandwidth(two)));
  // The activity rule always ends its search: one time gives the
  // concentration at the end of the searched range.
  EXPECT_NEAR(mv::activityLevel(one).level, 0.0424, 1e-3);
}

TEST(EdgeCases, ConcentratedLargeSampleNeedsTheScaledKernel) {
  // 5000 events within 46 minutes after 02:40: a concentration near the
  // end of the searched range and a bandwidth in the thousands, where I_0
  // itself overflows.
  std::vector<double> x, y;
  mv::Rng rng(3, 0, 0);
  for (int i = 0; i < 5000; ++i) x.push_back(0.7 + 0.2 * rng.uniform());
  for (int i = 0; i < 200; ++i) y.push_back(0.7 + 0.3 * rng.uniform());
  const auto bw = mv::overlapBandwidth(x);
  ASSERT_TRUE(bw);
  EXPECT_GT(*bw, 700.0);
  const std::vector<double> grid = mv::circleGrid(128);
  for (double d : mv::kernelDensity(x, *bw, grid)) EXPECT_TRUE(std::isfinite(d));
  const auto bwY = mv::overlapBandwidth(y);
  ASSERT_TRUE(bwY);
  const mv::OverlapEstimates e = mv::overlapEstimates(x, y, *bw, *bwY);
  for (double v : {e.dhat1, e.dhat4, e.dhat5}) {
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_GE(v, 0.0);
  }
  for (double v : mv::overlapReplicates(x, y, *bw, *bwY, mv::OverlapEstimator::Dhat4, 8, 1, 1, 2))
    EXPECT_TRUE(std::isnan(v) || (v >= 0.0 && v <= 1.0 + 1e-12));
}

TEST(EdgeCases, InterpolatedDensitiesAboveTheLimitAgreeWithExactOnes) {
  // 80 + 70 events: Dhat4 and Dhat5 from the 128-point grid; close to the
  // same estimates summed at each event.
  std::vector<double> x, y;
  mv::Rng rng(5, 0, 0);
  for (int i = 0; i < 80; ++i) x.push_back(std::fmod(1.0 + 0.8 * (rng.uniform() + rng.uniform()), 2 * M_PI));
  for (int i = 0; i < 70; ++i) y.push_back(std::fmod(2.0 + 1.5 * (rng.uniform() + rng.uniform()), 2 * M_PI));
  const double bx = *mv::overlapBandwidth(x), by = *mv::overlapBandwidth(y);
  const mv::OverlapEstimates all = mv::overlapEstimates(x, y, bx, by);
  // Without the first event of each the pair stays exact (148 > 140.8 > 138).
  const mv::OverlapEstimates fewer = mv::overlapEstimates(std::span(x).subspan(5), std::span(y).subspan(5), bx, by);
  EXPECT_NEAR(all.dhat4, fewer.dhat4, 0.05);
  EXPECT_GT(all.dhat4, 0.0);
  EXPECT_NE(all.dhat4, fewer.dhat4);
}

TEST(BootInterval, OrderStatisticsAndNormalIntervals) {
  // 79 replicates 1..79: (R + 1) alpha = 2 and 78 are ranks, taken as they are.
  std::vector<double> r;
  for (int i = 1; i <= 79; ++i) r.push_back(i);
  r.push_back(std::numeric_limits<double>::quiet_NaN());  // failed replicates are left out
  mv::BootInterval b = mv::bootInterval(30.0, r);
  EXPECT_EQ(b.replicates, 79);
  EXPECT_DOUBLE_EQ(b.mean, 40.0);
  EXPECT_NEAR(b.sd, std::sqrt(79.0 * 80.0 / 12.0), 1e-12);
  EXPECT_DOUBLE_EQ(*b.percLow, 2.0);
  EXPECT_DOUBLE_EQ(*b.percHigh, 78.0);
  // basic0: the percentile interval less the bias (mean - t0 = 10).
  EXPECT_DOUBLE_EQ(*b.basic0Low, -8.0);
  EXPECT_DOUBLE_EQ(*b.basic0High, 68.0);
  EXPECT_NEAR(*b.norm0Low, 30.0 - 1.959963984540054 * b.sd, 1e-12);
  EXPECT_NEAR(*b.norm0High, 30.0 + 1.959963984540054 * b.sd, 1e-12);

  // 99 replicates: rank 2.5 lies between the 2nd and 3rd, interpolated on
  // the normal scale: 2 + (z(.025) - z(.02)) / (z(.03) - z(.02)).
  r.clear();
  for (int i = 1; i <= 99; ++i) r.push_back(i);
  b = mv::bootInterval(50.0, r);
  const double z025 = -1.959963984540054, z02 = -2.0537489106318225, z03 = -1.8807936081512509;
  EXPECT_NEAR(*b.percLow, 2.0 + (z025 - z02) / (z03 - z02), 1e-12);
  EXPECT_NEAR(*b.percHigh, 98.0 - (z025 - z02) / (z03 - z02), 1e-12);

  // Too few for percentiles: (R + 1) alpha <= 1.
  r.resize(30);
  b = mv::bootInterval(5.0, r);
  EXPECT_FALSE(b.percLow || b.percHigh || b.basic0Low || b.basic0High);
  EXPECT_TRUE(b.norm0Low && b.norm0High);
  // Nothing at all.
  b = mv::bootInterval(5.0, {std::numeric_limits<double>::quiet_NaN()});
  EXPECT_EQ(b.replicates, 0);
  EXPECT_FALSE(b.norm0Low || b.percLow);
}

TEST(BootInterval, ReferenceIntervalsFollowFromTheirReplicateSummaries) {
  // The reference's own basic0 and norm0 come from its percentile interval,
  // mean and sd as the interval routine computes them.
  for (const auto& row : tinyCsv("r_overlap.csv")) {
    const double t0 = number(row, "estimate"), bias = number(row, "boot_mean") - t0;
    const double m = 1.959963984540054 * number(row, "boot_sd");
    EXPECT_NEAR(number(row, "basic0_lcl"), number(row, "perc_lcl") - bias, 1e-12);
    EXPECT_NEAR(number(row, "basic0_ucl"), number(row, "perc_ucl") - bias, 1e-12);
    EXPECT_NEAR(number(row, "norm0_lcl"), t0 - m, 1e-12);
    EXPECT_NEAR(number(row, "norm0_ucl"), t0 + m, 1e-12);
  }
}

TEST(SampleQuantile, Type7) {
  const std::vector<double> v = {1.0, 2.0, 4.0, 8.0};
  EXPECT_DOUBLE_EQ(mv::sampleQuantile(v, 0.0), 1.0);
  EXPECT_DOUBLE_EQ(mv::sampleQuantile(v, 1.0), 8.0);
  EXPECT_DOUBLE_EQ(mv::sampleQuantile(v, 0.5), 3.0);
  EXPECT_DOUBLE_EQ(mv::sampleQuantile(v, 0.9), 6.8);
}

TEST(Replicates, SameSeedSameValuesWhateverTheThreads) {
  const auto& a = tiny("Alpha");
  const auto& b = tiny("Gamma");
  const double bwA = *mv::overlapBandwidth(a), bwB = *mv::overlapBandwidth(b);
  const auto one = mv::overlapReplicates(a, b, bwA, bwB, mv::OverlapEstimator::Dhat1, 50, 9, 4, 1);
  const auto three = mv::overlapReplicates(a, b, bwA, bwB, mv::OverlapEstimator::Dhat1, 50, 9, 4, 3);
  const auto other = mv::overlapReplicates(a, b, bwA, bwB, mv::OverlapEstimator::Dhat1, 50, 10, 4, 1);
  EXPECT_EQ(one, three);
  EXPECT_NE(one, other);
  const auto levels1 = mv::activityReplicates(a, 40, 9, 4, 1);
  const auto levels2 = mv::activityReplicates(a, 40, 9, 4, 2);
  EXPECT_EQ(levels1, levels2);
  // Fewer replicates are the first ones of more.
  const auto first = mv::overlapReplicates(a, b, bwA, bwB, mv::OverlapEstimator::Dhat1, 20, 9, 4, 2);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), one.begin()));
}

// ---- Bootstrap against the reference, within Monte-Carlo error --------------
//
// The reference ran 999 replicates on another random stream, so only
// statistical agreement can be asked for. Each check allows at least 6
// standard errors of the two runs together (6.5 for the order statistics,
// whose tails are skewed), so with about 50 checks the test fails by
// chance less than once in a million runs.

struct Summary {
  std::vector<double> sorted;
  double mean = 0.0, sd = 0.0, m4 = 0.0;
  std::size_t drawn = 0;
};

Summary summarise(const std::vector<double>& replicates) {
  Summary s;
  s.drawn = replicates.size();
  for (double v : replicates)
    if (std::isfinite(v)) s.sorted.push_back(v);
  std::sort(s.sorted.begin(), s.sorted.end());
  const auto n = static_cast<double>(s.sorted.size());
  for (double v : s.sorted) s.mean += v / n;
  for (double v : s.sorted) {
    const double d = v - s.mean;
    s.sd += d * d / (n - 1.0);
    s.m4 += d * d * d * d / n;
  }
  s.sd = std::sqrt(s.sd);
  return s;
}

// The reference's mean and sd of R replicates against ours.
void expectSameSpread(const Summary& ours, double mean, double sd, double referenceCount) {
  const auto n = static_cast<double>(ours.sorted.size());
  EXPECT_NEAR(mean, ours.mean, 6.0 * ours.sd * std::sqrt(1.0 / referenceCount + 1.0 / n)) << "mean";
  // sd of a sample sd: sqrt((m4 - sd^4) / (4 sd^2 R)).
  const double perReplicate = (ours.m4 - std::pow(ours.sd, 4)) / (4.0 * ours.sd * ours.sd);
  EXPECT_NEAR(sd, ours.sd, 6.0 * std::sqrt(perReplicate * (1.0 / referenceCount + 1.0 / n)) + 1e-12) << "sd";
}

// A reference order statistic at level alpha: where it falls in our
// replicates must be within the sampling error of both runs' levels.
void expectSameQuantile(const Summary& ours, double value, double alpha, double referenceCount) {
  const auto n = static_cast<double>(ours.sorted.size());
  // Values equal to rounding (replicates of a resample that repeats the
  // data) count as equal.
  const double slack = 1e-9 * std::fabs(value);
  const auto& v = ours.sorted;
  const double below = static_cast<double>(std::lower_bound(v.begin(), v.end(), value - slack) - v.begin()) / n;
  const double atOrBelow = static_cast<double>(std::upper_bound(v.begin(), v.end(), value + slack) - v.begin()) / n;
  const double allowed = 6.5 * std::sqrt(alpha * (1.0 - alpha) * (1.0 / (referenceCount + 2.0) + 1.0 / n));
  EXPECT_LE(below, alpha + allowed) << "level of " << value;
  EXPECT_GE(atOrBelow, alpha - allowed) << "level of " << value;
}

constexpr int kOurReplicates = 1999;

TEST(TinyReference, OverlapBootstrapWithinMonteCarloError) {
  for (const auto& row : tinyCsv("r_overlap.csv")) {
    SCOPED_TRACE(row.at("speciesA") + "|" + row.at("speciesB"));
    const auto& a = tiny(row.at("speciesA"));
    const auto& b = tiny(row.at("speciesB"));
    const double bwA = *mv::overlapBandwidth(a), bwB = *mv::overlapBandwidth(b);
    const Summary ours =
        summarise(mv::overlapReplicates(a, b, bwA, bwB, mv::OverlapEstimator::Dhat1, kOurReplicates, 2024, 1, 2));
    // Share of replicates with both bandwidths (below 1 with Zeta's two events).
    const double drawn = number(row, "nboot"), ok = number(row, "boot_ok");
    const double p = ok / drawn, q = static_cast<double>(ours.sorted.size()) / kOurReplicates;
    EXPECT_NEAR(p, q, 6.0 * std::sqrt(std::max(q * (1.0 - q), 1e-4) * (1.0 / drawn + 1.0 / kOurReplicates)));
    expectSameSpread(ours, number(row, "boot_mean"), number(row, "boot_sd"), ok);
    expectSameQuantile(ours, number(row, "perc_lcl"), 0.025, ok);
    expectSameQuantile(ours, number(row, "perc_ucl"), 0.975, ok);
  }
}

TEST(TinyReference, ActivityResamplingWithinMonteCarloError) {
  for (const auto& row : tinyCsv("r_activity.csv")) {
    SCOPED_TRACE(row.at("species"));
    const Summary ours = summarise(mv::activityReplicates(tiny(row.at("species")), kOurReplicates, 2024, 2, 2));
    ASSERT_EQ(ours.sorted.size(), static_cast<std::size_t>(kOurReplicates));
    const double reps = number(row, "reps");
    const double level = number(row, "act");
    expectSameSpread(ours, ours.mean, number(row, "se"), reps);  // the reference gives no mean
    expectSameQuantile(ours, number(row, "lcl"), 0.025, reps);
    expectSameQuantile(ours, number(row, "ucl"), 0.975, reps);
    // The estimate lies within the replicates' range.
    EXPECT_LE(ours.sorted.front(), level * (1.0 + 1e-12));
    EXPECT_GE(ours.sorted.back(), level * (1.0 - 1e-12));
  }
}

}  // namespace
