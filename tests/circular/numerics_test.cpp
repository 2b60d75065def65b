#include "circular/numerics.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

using mv::besselIScaled;

TEST(Bessel, KnownValuesOnBothSidesOfTheSeriesLimit) {
  // I_n(1), I_n(10) and I_0(50) from tables of the functions.
  EXPECT_NEAR(besselIScaled(0, 1.0) * std::exp(1.0), 1.2660658777520084, 1e-15);
  EXPECT_NEAR(besselIScaled(1, 1.0) * std::exp(1.0), 0.5651591039924851, 1e-15);
  EXPECT_NEAR(besselIScaled(2, 1.0) * std::exp(1.0), 0.1357476697670383, 1e-15);
  EXPECT_NEAR(besselIScaled(3, 1.0) * std::exp(1.0), 0.0221684249243319, 1e-15);
  EXPECT_NEAR(besselIScaled(0, 10.0) * std::exp(10.0) / 2815.716628466254, 1.0, 1e-14);
  EXPECT_NEAR(besselIScaled(1, 10.0) * std::exp(10.0) / 2670.988303701255, 1.0, 1e-14);
  EXPECT_NEAR(besselIScaled(2, 10.0) * std::exp(10.0) / 2281.518967726004, 1.0, 1e-14);
  EXPECT_NEAR(besselIScaled(3, 10.0) * std::exp(10.0) / 1758.380716610853, 1.0, 1e-14);
  EXPECT_NEAR(besselIScaled(0, 50.0) * std::exp(50.0) / 2.93255378384933e20, 1.0, 1e-13);
  EXPECT_EQ(besselIScaled(0, 0.0), 1.0);
  EXPECT_EQ(besselIScaled(2, 0.0), 0.0);
}

TEST(Bessel, ScaledFunctionsStayFiniteWhereTheUnscaledOverflow) {
  // I_0(720) exceeds the largest double; the scaled one is about
  // 1 / sqrt(2 pi x).
  for (double x : {720.0, 5000.0, 1e6}) {
    const double v = besselIScaled(0, x);
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_NEAR(v * std::sqrt(2.0 * M_PI * x), 1.0, 1.0 / (7.0 * x));
  }
}

TEST(Bessel, RatiosByRecurrenceAgreeWithTheFunctions) {
  // Two independent routes: the recurrence of the ratios, and the series
  // or expansion of each function.
  for (double x : {1e-4, 0.3, 2.0, 11.0, 24.999, 25.0, 25.001, 80.0, 345.0, 700.0, 9265.0}) {
    const std::vector<double> a = mv::besselRatios(x, 3);
    for (int k = 1; k <= 3; ++k) {
      const double expected = besselIScaled(k, x) / besselIScaled(0, x);
      EXPECT_NEAR(a[static_cast<std::size_t>(k)] / expected, 1.0, 1e-13) << "x " << x << " k " << k;
      EXPECT_NEAR(mv::besselRatio(k, x) / expected, 1.0, 1e-13) << "x " << x << " k " << k;
    }
  }
}

TEST(Bessel, KernelTermsLeaveOnlyNegligibleCoefficients) {
  for (double h : {0.01, 1.0, 12.0, 121.0, 9265.0}) {
    const int terms = mv::kernelTerms(h);
    const std::vector<double> a = mv::besselRatios(h, terms);
    EXPECT_LT(a[static_cast<std::size_t>(terms)], 1e-16) << h;
    EXPECT_GE(a[static_cast<std::size_t>(terms) - 1], 1e-16) << h;
  }
  EXPECT_EQ(mv::kernelTerms(0.0), 0);
}

TEST(Brent, ZeroinFindsRootsToTheTolerance) {
  // Brent's own test function x^3 - 2x - 5.
  const auto f = [](double x) { return x * x * x - 2.0 * x - 5.0; };
  EXPECT_NEAR(mv::brentZero(f, 2.0, 3.0, f(2.0), f(3.0), 1e-12), 2.0945514815423265, 1e-11);
  const double rough = mv::brentZero(f, 2.0, 3.0, f(2.0), f(3.0), mv::kSearchTolerance);
  EXPECT_NEAR(rough, 2.0945514815423265, mv::kSearchTolerance);
  // A root at an end.
  const auto g = [](double x) { return x - 1.0; };
  EXPECT_EQ(mv::brentZero(g, 0.0, 1.0, g(0.0), g(1.0), 1e-10), 1.0);
  // The evaluation count is bounded.
  int calls = 0;
  const auto h = [&calls](double x) {
    ++calls;
    return x < 0.5 ? -1.0 : 1.0;  // a step: bisection only
  };
  mv::brentZero(h, 0.0, 1.0, -1.0, 1.0, 0.0, 20);
  EXPECT_LE(calls, 20);
}

TEST(Brent, FminFindsMinimaInsideAndAtTheEnd) {
  const auto f = [](double x) { return (x - 0.7) * (x - 0.7) + 3.0; };
  // Within 2 (sqrt(eps) |x| + tol / 3).
  EXPECT_NEAR(mv::brentMinimum(f, 0.0, 2.0, 1e-10), 0.7, 3e-8);
  // Decreasing over the interval: the search ends close to the upper end.
  const auto g = [](double x) { return -x; };
  const double end = mv::brentMinimum(g, 0.0, 100.0, mv::kSearchTolerance);
  EXPECT_GT(end, 100.0 - 1e-3);
  EXPECT_LE(end, 100.0);
}

TEST(NormalQuantile, KnownValuesAndTails) {
  EXPECT_NEAR(mv::normalQuantile(0.975), 1.959963984540054, 1e-14);
  EXPECT_NEAR(mv::normalQuantile(0.025), -1.959963984540054, 1e-14);
  EXPECT_NEAR(mv::normalQuantile(0.5), 0.0, 1e-15);
  EXPECT_NEAR(mv::normalQuantile(0.02), -2.0537489106318225, 1e-13);
  EXPECT_NEAR(mv::normalQuantile(1e-10), -6.361340902404056, 1e-11);
  EXPECT_TRUE(std::isnan(mv::normalQuantile(0.0)));
  EXPECT_TRUE(std::isnan(mv::normalQuantile(1.0)));
}

TEST(Rng, StreamsAreReproducibleAndDistinct) {
  mv::Rng a(7, 1, 2), b(7, 1, 2), c(7, 1, 3), d(8, 1, 2);
  std::set<std::uint64_t> firsts;
  for (int i = 0; i < 5; ++i) {
    const std::uint64_t v = a.next();
    EXPECT_EQ(v, b.next());
    firsts.insert(v);
  }
  EXPECT_NE(c.next(), mv::Rng(7, 1, 2).next());
  EXPECT_NE(d.next(), mv::Rng(7, 1, 2).next());
  EXPECT_EQ(firsts.size(), 5u);
  for (int i = 0; i < 1000; ++i) {
    const double u = a.uniform();
    EXPECT_GE(u, 0.0);
    EXPECT_LT(u, 1.0);
    EXPECT_LT(a.below(7), 7u);
  }
}

TEST(AliasTable, DrawsFollowTheWeights) {
  // Weights 0, 1, 3: 40,000 draws; 6 standard deviations of the counts.
  const mv::AliasTable table({0.0, 1.0, 3.0});
  mv::Rng rng(1, 2, 3);
  int counts[3] = {0, 0, 0};
  const int n = 40000;
  for (int i = 0; i < n; ++i) ++counts[table.draw(rng)];
  EXPECT_EQ(counts[0], 0);
  EXPECT_NEAR(counts[1], n / 4.0, 6.0 * std::sqrt(n * 0.25 * 0.75));
  EXPECT_NEAR(counts[2], 3.0 * n / 4.0, 6.0 * std::sqrt(n * 0.25 * 0.75));
}

}  // namespace
