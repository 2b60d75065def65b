// Activity as circular kernel densities: the von Mises kernel density of a
// species' times of day, its bandwidth, the activity level (the share of the
// day the species is active) and the coefficient of overlap of two species
// with bootstrap intervals. Times of day are angles in radians, [0, 2 pi).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mv {

// ---- Bandwidths --------------------------------------------------------

// |mean of e^(ik x)| for k = 1, 2, 3.
struct TrigMoments {
  double rho[3] = {0.0, 0.0, 0.0};
};
TrigMoments trigMoments(std::span<const double> x);

// The concentration's bandwidth [3 n k^2 I_2(2k) / (4 sqrt(pi) I_0(k)^2)]^(2/5).
double bandwidthOfConcentration(double n, double kappa);

// The overlap rule: for k = 1..3 the root of I_k(c)/I_0(c) = rho_k in
// [1e-4, 345] (Brent's zeroin at the reference tolerance) where the ends
// differ in sign; the largest such root gives the bandwidth. None when no
// k has a root (one event, or all events at one time).
std::optional<double> overlapBandwidth(double n, const TrigMoments& m);
std::optional<double> overlapBandwidth(std::span<const double> x);

// The activity-level rule: for k = 1..3 the minimum of
// (I_k(c)/I_0(c) - rho_k)^2 in [0, 100] (Brent's fmin); the largest gives
// the bandwidth. Defined for every non-empty sample.
double activityBandwidth(double n, const TrigMoments& m);
double activityBandwidth(std::span<const double> x);

// ---- Kernel densities ----------------------------------------------------

// The von Mises kernel density of `x` with concentration h at each of `at`
// (per radian).
std::vector<double> kernelDensity(std::span<const double> x, double h, std::span<const double> at);

// The same at the m angles 2 pi i / m, i = 0..m-1, from the density's
// Fourier series (its coefficients are I_k(h)/I_0(h)): no exponential per
// event and point, and the same values to rounding.
std::vector<double> circleDensity(std::span<const double> x, double h, int m);

// `points` equally spaced angles 2 pi i / (points - 1), i = 0..points-1
// (both ends included, as a sequence from 0 to 2 pi of that length).
std::vector<double> circleGrid(int points);

// ---- Overlap ---------------------------------------------------------------

// Dhat1, Dhat4 and Dhat5 of two samples with their bandwidths.
struct OverlapEstimates {
  double dhat1 = 0.0;
  double dhat4 = 0.0;
  double dhat5 = 0.0;
};
OverlapEstimates overlapEstimates(std::span<const double> a, std::span<const double> b, double bwA, double bwB);

// Which estimator the smaller sample calls for: Dhat4 above 75 events,
// else Dhat1.
enum class OverlapEstimator { Dhat1, Dhat4 };
OverlapEstimator recommendedEstimator(std::size_t nA, std::size_t nB);

// ---- Bootstrap intervals ---------------------------------------------------

// Intervals at 95 % from replicates of an estimate t0: basic0 (percentile
// less the bias), norm0 (t0 +- z sd) and percentile (order statistics
// interpolated on the normal scale; none with too few replicates).
struct BootInterval {
  int replicates = 0;  // finite replicates used
  double mean = 0.0;
  double sd = 0.0;
  std::optional<double> basic0Low, basic0High;
  std::optional<double> norm0Low, norm0High;
  std::optional<double> percLow, percHigh;
};
BootInterval bootInterval(double t0, std::vector<double> replicates);

// The type-7 sample quantile (linear between order statistics) of sorted values.
double sampleQuantile(std::span<const double> sorted, double p);

// The smoothed bootstrap of the overlap: each replicate draws as many
// points as each sample has from the 511 grid points 2 pi i / 511 with
// probabilities proportional to the sample's kernel density (bandwidth at
// adjust 1), re-estimates both bandwidths and computes `estimator`.
// Replicates whose bandwidths fail are NaN. Replicate r takes the stream
// (seed, stream, r), so the values do not depend on `threads`.
std::vector<double> overlapReplicates(std::span<const double> a, std::span<const double> b, double bwA, double bwB,
                                      OverlapEstimator estimator, int count, std::uint64_t seed, std::uint64_t stream,
                                      int threads);

// The same for many pairs at once: a species' replicate r is drawn once
// (from its stream) and taken into every pair it is in, so that each pair's
// replicates are as above while the species' work is done only once.
// Returns the replicates of pairs[p] in element p.
struct OverlapSample {
  std::span<const double> times;
  double bandwidth = 0.0;
  std::uint64_t stream = 0;
};
struct OverlapPair {
  std::size_t a = 0, b = 0;  // indices into the samples
  OverlapEstimator estimator = OverlapEstimator::Dhat1;
};
std::vector<std::vector<double>> overlapReplicates(const std::vector<OverlapSample>& samples,
                                                   const std::vector<OverlapPair>& pairs, int count, std::uint64_t seed,
                                                   int threads);

// The activity level with its bandwidth and the largest value of the kernel
// density on the 513 points pi i / 256.
struct ActivityLevel {
  double bandwidth = 0.0;
  double maxDensity = 0.0;
  double level = 0.0;  // 1 / (2 pi max density)
};
ActivityLevel activityLevel(std::span<const double> x);

// Activity levels of `count` resamples of the data (with replacement),
// the bandwidth re-estimated for each.
std::vector<double> activityReplicates(std::span<const double> x, int count, std::uint64_t seed, std::uint64_t stream,
                                       int threads);

}  // namespace mv
