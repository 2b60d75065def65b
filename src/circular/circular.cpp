#include "circular/circular.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstring>
#include <numbers>

#include "circular/numerics.hpp"
#include "concurrency/parallel_for.hpp"

namespace mv {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Concentration range of the overlap rule's root search, and the
// activity-level rule's minimum search.
constexpr double kRootLow = 1e-4;
constexpr double kRootHigh = 345.0;
constexpr double kMinimumHigh = 100.0;

// Adjustments of the bandwidth for Dhat1, Dhat4 and Dhat5: the kernel's
// concentration is the bandwidth divided by them.
constexpr double kAdjust1 = 0.8;
constexpr double kAdjust5 = 4.0;
// Points of the grid the overlap estimators work on; above 1.1 times that
// many events in the two samples together, the densities at the events are
// interpolated from the grid instead of summed at each event.
constexpr int kOverlapGrid = 128;
constexpr double kInterpolateAbove = 1.1 * kOverlapGrid;
// Grid points the smoothed bootstrap draws from (2 pi i / 511, i = 1..511).
constexpr int kBootGrid = 511;
// The activity level's grid: pi i / 256, i = 0..512.
constexpr int kLevelGrid = 512;

}  // namespace

// ---- Bandwidths --------------------------------------------------------

TrigMoments trigMoments(std::span<const double> x) {
  TrigMoments m;
  if (x.empty()) return m;
  for (int k = 1; k <= 3; ++k) {
    double c = 0.0, s = 0.0;
    for (double v : x) {
      c += std::cos(k * v);
      s += std::sin(k * v);
    }
    m.rho[k - 1] = std::hypot(c, s) / static_cast<double>(x.size());
  }
  return m;
}

double bandwidthOfConcentration(double n, double kappa) {
  // I_2(2k) / I_0(k)^2 from the scaled functions: the exponentials cancel.
  const double i0 = besselIScaled(0, kappa);
  const double ratio = besselIScaled(2, 2.0 * kappa) / (i0 * i0);
  return std::pow(3.0 * n * kappa * kappa * ratio / (4.0 * std::sqrt(std::numbers::pi)), 0.4);
}

std::optional<double> overlapBandwidth(double n, const TrigMoments& m) {
  if (!(n >= 1.0)) return std::nullopt;
  std::optional<double> kappa;
  for (int k = 1; k <= 3; ++k) {
    const double rho = m.rho[k - 1];
    const auto f = [k, rho](double c) { return besselRatio(k, c) - rho; };
    const double fa = f(kRootLow), fb = f(kRootHigh);
    if (!(fa * fb <= 0.0)) continue;  // no change of sign: no root for this k
    const double root = brentZero(f, kRootLow, kRootHigh, fa, fb, kSearchTolerance);
    if (!kappa || root > *kappa) kappa = root;
  }
  if (!kappa) return std::nullopt;
  const double bw = bandwidthOfConcentration(n, *kappa);
  if (!std::isfinite(bw) || bw <= 0.0) return std::nullopt;
  return bw;
}

std::optional<double> overlapBandwidth(std::span<const double> x) {
  return overlapBandwidth(static_cast<double>(x.size()), trigMoments(x));
}

double activityBandwidth(double n, const TrigMoments& m) {
  double kappa = 0.0;
  for (int k = 1; k <= 3; ++k) {
    const double rho = m.rho[k - 1];
    const auto f = [k, rho](double c) {
      const double d = besselRatio(k, c) - rho;
      return d * d;
    };
    kappa = std::max(kappa, brentMinimum(f, 0.0, kMinimumHigh, kSearchTolerance));
  }
  return bandwidthOfConcentration(n, kappa);
}

double activityBandwidth(std::span<const double> x) {
  return activityBandwidth(static_cast<double>(x.size()), trigMoments(x));
}

// ---- Kernel densities ----------------------------------------------------

std::vector<double> kernelDensity(std::span<const double> x, double h, std::span<const double> at) {
  std::vector<double> out(at.size(), 0.0);
  if (x.empty()) return out;
  std::vector<double> cx(x.size()), sx(x.size());
  for (std::size_t j = 0; j < x.size(); ++j) {
    cx[j] = std::cos(x[j]);
    sx[j] = std::sin(x[j]);
  }
  // exp(h (cos(t - x) - 1)) / (2 pi e^-h I_0(h)): the scaled Bessel
  // function keeps every term finite whatever h.
  const double norm = 1.0 / (static_cast<double>(x.size()) * kTwoPi * besselIScaled(0, h));
  for (std::size_t i = 0; i < at.size(); ++i) {
    const double ct = std::cos(at[i]), st = std::sin(at[i]);
    double sum = 0.0;
    for (std::size_t j = 0; j < x.size(); ++j) sum += std::exp(h * (ct * cx[j] + st * sx[j] - 1.0));
    out[i] = sum * norm;
  }
  return out;
}

std::vector<double> circleGrid(int points) {
  std::vector<double> t(static_cast<std::size_t>(points));
  const double step = kTwoPi / (points - 1);
  for (int i = 0; i < points; ++i) t[static_cast<std::size_t>(i)] = i * step;
  return t;
}

// ---- Overlap ---------------------------------------------------------------

namespace {

// Dhat1 from the two densities on the 128-point grid (its first point, the
// same time as its last, left out): the sum of the smaller of the two
// densities, each normalised to sum 1.
double dhat1OfGrids(std::span<const double> fA, std::span<const double> fB) {
  double sumA = 0.0, sumB = 0.0;
  for (std::size_t i = 1; i < fA.size(); ++i) {
    sumA += fA[i];
    sumB += fB[i];
  }
  double d = 0.0;
  for (std::size_t i = 1; i < fA.size(); ++i) d += std::min(fA[i] / sumA, fB[i] / sumB);
  return d;
}

// The smaller of 1 and p/q, for densities (1 when both are 0).
double ratioAtMost1(double p, double q) { return p < q ? p / q : 1.0; }

// Linear interpolation of values on the 128-point grid at angle t.
double interpolate(std::span<const double> grid, std::span<const double> values, double t) {
  const double step = kTwoPi / (kOverlapGrid - 1);
  auto i = static_cast<std::size_t>(std::clamp(t / step, 0.0, static_cast<double>(kOverlapGrid - 2)));
  while (i + 2 < grid.size() && t > grid[i + 1]) ++i;
  while (i > 0 && t < grid[i]) --i;
  return values[i] + (values[i + 1] - values[i]) * (t - grid[i]) / (grid[i + 1] - grid[i]);
}

// The density of `x` at concentration h at every point of `points`: summed
// at each point when the two samples are small, else interpolated from the
// 128-point grid.
std::vector<double> densityAt(std::span<const double> x, double h, std::span<const double> points, bool interpolated,
                              std::span<const double> grid) {
  if (!interpolated) return kernelDensity(x, h, points);
  std::vector<double> g = circleDensity(x, h, kOverlapGrid - 1);
  g.push_back(g.front());
  std::vector<double> out(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) out[i] = interpolate(grid, g, points[i]);
  return out;
}

}  // namespace

OverlapEstimates overlapEstimates(std::span<const double> a, std::span<const double> b, double bwA, double bwB) {
  OverlapEstimates e;
  const std::vector<double> grid = circleGrid(kOverlapGrid);
  // The grid's last point is its first again.
  const auto onGrid = [](std::span<const double> x, double h) {
    std::vector<double> g = circleDensity(x, h, kOverlapGrid - 1);
    g.push_back(g.front());
    return g;
  };
  e.dhat1 = dhat1OfGrids(onGrid(a, bwA / kAdjust1), onGrid(b, bwB / kAdjust1));

  const bool interpolated = static_cast<double>(a.size() + b.size()) > kInterpolateAbove;
  // f is A's density, g is B's; each at A's events and at B's events.
  const auto at = [&](double adjust, std::vector<double>& fA, std::vector<double>& gA, std::vector<double>& fB,
                      std::vector<double>& gB) {
    fA = densityAt(a, bwA / adjust, a, interpolated, grid);
    gA = densityAt(b, bwB / adjust, a, interpolated, grid);
    fB = densityAt(a, bwA / adjust, b, interpolated, grid);
    gB = densityAt(b, bwB / adjust, b, interpolated, grid);
  };
  std::vector<double> fA, gA, fB, gB;
  at(1.0, fA, gA, fB, gB);
  double sumA = 0.0, sumB = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) sumA += ratioAtMost1(gA[i], fA[i]);
  for (std::size_t i = 0; i < b.size(); ++i) sumB += ratioAtMost1(fB[i], gB[i]);
  e.dhat4 = 0.5 * (sumA / static_cast<double>(a.size()) + sumB / static_cast<double>(b.size()));

  at(kAdjust5, fA, gA, fB, gB);
  double countA = 0.0, countB = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) countA += gA[i] > fA[i] ? 1.0 : 0.0;
  for (std::size_t i = 0; i < b.size(); ++i) countB += fB[i] >= gB[i] ? 1.0 : 0.0;
  e.dhat5 = countA / static_cast<double>(a.size()) + countB / static_cast<double>(b.size());
  return e;
}

OverlapEstimator recommendedEstimator(std::size_t nA, std::size_t nB) {
  return std::min(nA, nB) > 75 ? OverlapEstimator::Dhat4 : OverlapEstimator::Dhat1;
}

// ---- Bootstrap intervals ---------------------------------------------------

double sampleQuantile(std::span<const double> sorted, double p) {
  if (sorted.empty()) return kNaN;
  const double h = static_cast<double>(sorted.size() - 1) * p;
  const auto lo = static_cast<std::size_t>(std::floor(h + 4.0 * std::numeric_limits<double>::epsilon()));
  if (lo + 1 >= sorted.size()) return sorted.back();
  return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[lo + 1] - sorted[lo]);
}

BootInterval bootInterval(double t0, std::vector<double> replicates) {
  std::erase_if(replicates, [](double v) { return !std::isfinite(v); });
  BootInterval out;
  const std::size_t r = replicates.size();
  out.replicates = static_cast<int>(r);
  if (r == 0) return out;
  double sum = 0.0;
  for (double v : replicates) sum += v;
  out.mean = sum / static_cast<double>(r);
  if (r < 2) return out;
  double squares = 0.0;
  for (double v : replicates) squares += (v - out.mean) * (v - out.mean);
  out.sd = std::sqrt(squares / static_cast<double>(r - 1));
  const double z = normalQuantile(0.975);
  out.norm0Low = t0 - z * out.sd;
  out.norm0High = t0 + z * out.sd;

  // The order statistic at (R + 1) alpha, between two ranks interpolated
  // on the normal scale; none unless 1 < (R + 1) alpha < R.
  std::sort(replicates.begin(), replicates.end());
  const auto percentile = [&](double alpha) -> std::optional<double> {
    const double rk = static_cast<double>(r + 1) * alpha;
    if (!(rk > 1.0 && rk < static_cast<double>(r))) return std::nullopt;
    const auto k = static_cast<std::size_t>(std::floor(rk));
    const double tk = replicates[k - 1];
    if (static_cast<double>(k) == rk) return tk;
    const double tk1 = replicates[k];
    const double q = normalQuantile(alpha);
    const double qk = normalQuantile(static_cast<double>(k) / static_cast<double>(r + 1));
    const double qk1 = normalQuantile(static_cast<double>(k + 1) / static_cast<double>(r + 1));
    return tk + (q - qk) / (qk1 - qk) * (tk1 - tk);
  };
  out.percLow = percentile(0.025);
  out.percHigh = percentile(0.975);
  const double bias = out.mean - t0;
  if (out.percLow) out.basic0Low = *out.percLow - bias;
  if (out.percHigh) out.basic0High = *out.percHigh - bias;
  return out;
}

// ---- Replicates from trigonometric sums -----------------------------------------

namespace {

// cos and sin of 2 pi j / m, j = 0..m-1.
struct Roots {
  explicit Roots(int m) : m(m), c(static_cast<std::size_t>(m)), s(static_cast<std::size_t>(m)) {
    for (int j = 0; j < m; ++j) {
      c[static_cast<std::size_t>(j)] = std::cos(kTwoPi * j / m);
      s[static_cast<std::size_t>(j)] = std::sin(kTwoPi * j / m);
    }
  }
  int m;
  std::vector<double> c, s;
};

// The grids the estimators use, made once; none for another m.
const Roots* cachedRoots(int m) {
  static const Roots r127(kOverlapGrid - 1), r511(kBootGrid), r512(kLevelGrid);
  return m == kBootGrid ? &r511 : m == kLevelGrid ? &r512 : m == kOverlapGrid - 1 ? &r127 : nullptr;
}

// Sums of w e^(ikx) over weighted points, k = 0..K: the Fourier
// coefficients of their kernel density, which is
//   (1 / (2 pi W)) (W + 2 sum_k I_k(h)/I_0(h) (re_k cos kt + im_k sin kt)).
struct Sums {
  std::vector<double> re, im;
  double total = 0.0;
  void clear(int terms) {
    re.assign(static_cast<std::size_t>(terms) + 1, 0.0);
    im.assign(static_cast<std::size_t>(terms) + 1, 0.0);
  }
  TrigMoments moments() const {
    TrigMoments m;
    for (int k = 1; k <= 3; ++k)
      m.rho[k - 1] = std::hypot(re[static_cast<std::size_t>(k)], im[static_cast<std::size_t>(k)]) / total;
    return m;
  }
};

// Sums of counts on the bootstrap grid (bin b at 2 pi b / 511): the sums
// repeat every 511 terms and the upper half mirrors the lower one, so only
// k <= 255 are summed and the others are read from them.
void gridSums(const std::vector<int>& counts, int terms, Sums& out) {
  const Roots& r = *cachedRoots(kBootGrid);
  const int direct = std::min(terms, kBootGrid / 2);
  out.clear(terms);
  out.total = 0.0;
  for (int b = 0; b < kBootGrid; ++b) {
    const int c = counts[static_cast<std::size_t>(b)];
    if (c == 0) continue;
    const auto w = static_cast<double>(c);
    out.total += w;
    int idx = 0;
    for (int k = 1; k <= direct; ++k) {
      idx += b;
      if (idx >= kBootGrid) idx -= kBootGrid;
      out.re[static_cast<std::size_t>(k)] += w * r.c[static_cast<std::size_t>(idx)];
      out.im[static_cast<std::size_t>(k)] += w * r.s[static_cast<std::size_t>(idx)];
    }
  }
  out.re[0] = out.total;
  for (int k = direct + 1; k <= terms; ++k) {
    const int j = k % kBootGrid;
    const auto kk = static_cast<std::size_t>(k);
    if (j == 0) {
      out.re[kk] = out.total;
      out.im[kk] = 0.0;
    } else if (j <= kBootGrid / 2) {
      out.re[kk] = out.re[static_cast<std::size_t>(j)];
      out.im[kk] = out.im[static_cast<std::size_t>(j)];
    } else {
      out.re[kk] = out.re[static_cast<std::size_t>(kBootGrid - j)];
      out.im[kk] = -out.im[static_cast<std::size_t>(kBootGrid - j)];
    }
  }
}

// Two lanes of doubles (SSE2 and every later x86-64, NEON on ARM).
using Lanes = double __attribute__((vector_size(16)));

Lanes lanes(const double* p) {
  Lanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void store(double* p, Lanes v) { std::memcpy(p, &v, sizeof v); }

// Points by their cosines and sines with weights, padded to an even count
// with points of weight 0.
struct WeightedPoints {
  std::vector<double> c, s, w;
  void clear() {
    c.clear();
    s.clear();
    w.clear();
  }
  void add(double cosine, double sine, double weight) {
    c.push_back(cosine);
    s.push_back(sine);
    w.push_back(weight);
  }
  void pad() {
    if (c.size() % 2 != 0) add(1.0, 0.0, 0.0);
  }
};

// Sums of the weighted points, k = 1..terms, each point's e^(ikx) by
// rotation, two points at a time.
void pointSums(WeightedPoints& p, int terms, Sums& out, std::vector<double>& wr, std::vector<double>& wi) {
  p.pad();
  out.clear(terms);
  out.total = 0.0;
  for (double v : p.w) out.total += v;
  out.re[0] = out.total;
  const std::size_t n = p.c.size();
  wr.assign(p.c.begin(), p.c.end());
  wi.assign(p.s.begin(), p.s.end());
  for (int k = 1; k <= terms; ++k) {
    Lanes re = {0.0, 0.0}, im = {0.0, 0.0};
    const bool last = k == terms;
    for (std::size_t j = 0; j < n; j += 2) {
      const Lanes r = lanes(&wr[j]), i = lanes(&wi[j]), w = lanes(&p.w[j]);
      re += w * r;
      im += w * i;
      if (last) continue;
      const Lanes c = lanes(&p.c[j]), s = lanes(&p.s[j]);
      store(&wr[j], r * c - i * s);
      store(&wi[j], r * s + i * c);
    }
    out.re[static_cast<std::size_t>(k)] = re[0] + re[1];
    out.im[static_cast<std::size_t>(k)] = im[0] + im[1];
  }
}

// The density from the sums at concentration h at the points 2 pi i / m
// for every i in `at` (or every i when `at` is empty).
void densityOnRoots(const Sums& sums, double h, int terms, int m, std::span<const int> at, std::vector<double>& out) {
  const std::vector<double> a = besselRatios(h, terms);
  std::optional<Roots> own;
  const Roots* cached = cachedRoots(m);
  if (cached == nullptr) own.emplace(m);
  const Roots& r = cached != nullptr ? *cached : *own;
  const double norm = 1.0 / (kTwoPi * sums.total);
  const auto one = [&](int i) {
    double s = 0.0;
    int idx = 0;
    for (int k = 1; k <= terms; ++k) {
      idx += i;
      if (idx >= m) idx -= m;
      const auto kk = static_cast<std::size_t>(k);
      s +=
          a[kk] * (sums.re[kk] * r.c[static_cast<std::size_t>(idx)] + sums.im[kk] * r.s[static_cast<std::size_t>(idx)]);
    }
    return (sums.total + 2.0 * s) * norm;
  };
  if (at.empty()) {
    out.resize(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i) out[static_cast<std::size_t>(i)] = one(i);
  } else {
    out.resize(at.size());
    for (std::size_t j = 0; j < at.size(); ++j) out[j] = one(at[j]);
  }
}

// One smoothed-bootstrap sample of a species: counts on the bootstrap grid,
// the bins that hold any, its bandwidth and, made when a pair asks for
// them, its kernel's sums and grid densities at the estimators' adjusts.
struct GridSample {
  std::vector<int> counts = std::vector<int>(kBootGrid, 0);
  std::vector<int> bins;
  std::optional<double> bandwidth;
  struct Kernel {
    bool made = false;
    double h = 0.0;
    int terms = 0;
    Sums sums;
    std::vector<double> grid;  // the 128-point grid, its last point the first
  } kernels[2];                // Dhat1's adjust, Dhat4's

  void draw(const AliasTable& table, std::size_t n, Rng& rng) {
    std::fill(counts.begin(), counts.end(), 0);
    // Table entry i is grid point 2 pi (i + 1) / 511; 511 is 2 pi, bin 0.
    for (std::size_t j = 0; j < n; ++j) ++counts[(table.draw(rng) + 1) % kBootGrid];
    bins.clear();
    for (int b = 0; b < kBootGrid; ++b)
      if (counts[static_cast<std::size_t>(b)] != 0) bins.push_back(b);
    Sums low;
    gridSums(counts, 3, low);
    bandwidth = overlapBandwidth(low.total, low.moments());
    kernels[0].made = kernels[1].made = false;
  }
  const Kernel& kernel(OverlapEstimator e) {
    Kernel& k = kernels[e == OverlapEstimator::Dhat1 ? 0 : 1];
    if (!k.made) {
      k.h = *bandwidth / (e == OverlapEstimator::Dhat1 ? kAdjust1 : 1.0);
      k.terms = std::max(kernelTerms(k.h), 3);
      gridSums(counts, k.terms, k.sums);
      densityOnRoots(k.sums, k.h, k.terms, kOverlapGrid - 1, {}, k.grid);
      k.grid.push_back(k.grid.front());
      k.made = true;
    }
    return k;
  }
};

double replicateOverlap(GridSample& a, GridSample& b, OverlapEstimator estimator) {
  if (!a.bandwidth || !b.bandwidth) return kNaN;
  const GridSample::Kernel& ka = a.kernel(estimator);
  const GridSample::Kernel& kb = b.kernel(estimator);
  if (estimator == OverlapEstimator::Dhat1) return dhat1OfGrids(ka.grid, kb.grid);
  // f and g at the bins of A (fa, ga) and of B (fb, gb).
  std::vector<double> fa, ga, fb, gb;
  if (a.bins.empty() || b.bins.empty()) return kNaN;
  const double total = ka.sums.total + kb.sums.total;
  if (total > kInterpolateAbove) {
    static const std::vector<double> grid = circleGrid(kOverlapGrid);
    const auto at = [&](const std::vector<double>& values, const std::vector<int>& bins, std::vector<double>& out) {
      out.resize(bins.size());
      for (std::size_t j = 0; j < bins.size(); ++j) {
        const int bin = bins[j] == 0 ? kBootGrid : bins[j];
        out[j] = interpolate(grid, values, kTwoPi * bin / kBootGrid);
      }
    };
    at(ka.grid, a.bins, fa);
    at(kb.grid, a.bins, ga);
    at(ka.grid, b.bins, fb);
    at(kb.grid, b.bins, gb);
  } else {
    densityOnRoots(ka.sums, ka.h, ka.terms, kBootGrid, a.bins, fa);
    densityOnRoots(kb.sums, kb.h, kb.terms, kBootGrid, a.bins, ga);
    densityOnRoots(ka.sums, ka.h, ka.terms, kBootGrid, b.bins, fb);
    densityOnRoots(kb.sums, kb.h, kb.terms, kBootGrid, b.bins, gb);
  }
  double sumA = 0.0, sumB = 0.0;
  for (std::size_t j = 0; j < a.bins.size(); ++j)
    sumA += a.counts[static_cast<std::size_t>(a.bins[j])] * ratioAtMost1(ga[j], fa[j]);
  for (std::size_t j = 0; j < b.bins.size(); ++j)
    sumB += b.counts[static_cast<std::size_t>(b.bins[j])] * ratioAtMost1(fb[j], gb[j]);
  return 0.5 * (sumA / ka.sums.total + sumB / kb.sums.total);
}

// Replicates in blocks, each block with its own scratch space.
constexpr std::size_t kBlock = 16;

}  // namespace

// The kernel density of `x` at concentration h at 2 pi i / m, i = 0..m-1,
// from its Fourier series.
std::vector<double> circleDensity(std::span<const double> x, double h, int m) {
  WeightedPoints p;
  for (double v : x) p.add(std::cos(v), std::sin(v), 1.0);
  const int terms = std::max(kernelTerms(h), 3);
  Sums sums;
  std::vector<double> wr, wi, out;
  pointSums(p, terms, sums, wr, wi);
  densityOnRoots(sums, h, terms, m, {}, out);
  return out;
}

std::vector<std::vector<double>> overlapReplicates(const std::vector<OverlapSample>& samples,
                                                   const std::vector<OverlapPair>& pairs, int count, std::uint64_t seed,
                                                   int threads) {
  const auto replicates = static_cast<std::size_t>(std::max(count, 0));
  std::vector<std::vector<double>> out(pairs.size(), std::vector<double>(replicates, kNaN));
  if (replicates == 0 || pairs.empty()) return out;
  // Each sample's kernel at adjust 1 on the grid 2 pi i / 511, i = 1..511
  // (table entry i - 1); only the samples some pair compares.
  std::vector<char> used(samples.size(), 0);
  for (const OverlapPair& p : pairs) used[p.a] = used[p.b] = 1;
  std::vector<std::optional<AliasTable>> tables(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (!used[i] || samples[i].times.empty()) continue;
    const std::vector<double> f = circleDensity(samples[i].times, samples[i].bandwidth, kBootGrid);
    std::vector<double> weights(kBootGrid);
    for (std::size_t g = 0; g < weights.size(); ++g) weights[g] = f[(g + 1) % kBootGrid];
    tables[i].emplace(weights);
  }
  parallelForBlocks(replicates, kBlock, threads, [&](std::size_t begin, std::size_t end) {
    std::vector<GridSample> drawn(samples.size());
    for (std::size_t r = begin; r < end; ++r) {
      // Replicate r of a sample is the same in every pair it is in.
      for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!tables[i]) continue;
        Rng rng(seed, samples[i].stream, r);
        drawn[i].draw(*tables[i], samples[i].times.size(), rng);
      }
      for (std::size_t p = 0; p < pairs.size(); ++p) {
        const OverlapPair& pair = pairs[p];
        if (!tables[pair.a] || !tables[pair.b]) continue;
        out[p][r] = replicateOverlap(drawn[pair.a], drawn[pair.b], pair.estimator);
      }
    }
  });
  return out;
}

std::vector<double> overlapReplicates(std::span<const double> a, std::span<const double> b, double bwA, double bwB,
                                      OverlapEstimator estimator, int count, std::uint64_t seed, std::uint64_t stream,
                                      int threads) {
  const std::vector<OverlapSample> samples = {{a, bwA, 2 * stream}, {b, bwB, 2 * stream + 1}};
  return overlapReplicates(samples, {{0, 1, estimator}}, count, seed, threads).front();
}

ActivityLevel activityLevel(std::span<const double> x) {
  ActivityLevel level;
  level.bandwidth = activityBandwidth(x);
  // pi i / 256 for i = 0..512, the last being the first again.
  const std::vector<double> pdf = circleDensity(x, level.bandwidth, kLevelGrid);
  level.maxDensity = *std::max_element(pdf.begin(), pdf.end());
  level.level = 1.0 / (kTwoPi * level.maxDensity);
  return level;
}

std::vector<double> activityReplicates(std::span<const double> x, int count, std::uint64_t seed, std::uint64_t stream,
                                       int threads) {
  std::vector<double> out(static_cast<std::size_t>(std::max(count, 0)), kNaN);
  if (count <= 0 || x.empty()) return out;
  const std::size_t n = x.size();
  // Events at the same time of day are one point with a count: a resample
  // draws events, and its sums run over the distinct times it drew.
  std::vector<double> times(x.begin(), x.end());
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  std::vector<std::uint32_t> timeOf(n);
  for (std::size_t j = 0; j < n; ++j)
    timeOf[j] = static_cast<std::uint32_t>(std::lower_bound(times.begin(), times.end(), x[j]) - times.begin());
  std::vector<double> cx(times.size()), sx(times.size());
  for (std::size_t t = 0; t < times.size(); ++t) {
    cx[t] = std::cos(times[t]);
    sx[t] = std::sin(times[t]);
  }
  parallelForBlocks(out.size(), kBlock, threads, [&](std::size_t begin, std::size_t end) {
    std::vector<int> counts(times.size());
    WeightedPoints points;
    std::vector<double> wr, wi, pdf;
    Sums sums;
    for (std::size_t r = begin; r < end; ++r) {
      Rng rng(seed, stream, r);
      std::fill(counts.begin(), counts.end(), 0);
      for (std::size_t j = 0; j < n; ++j) ++counts[timeOf[rng.below(static_cast<std::uint32_t>(n))]];
      points.clear();
      for (std::size_t t = 0; t < times.size(); ++t)
        if (counts[t] != 0) points.add(cx[t], sx[t], counts[t]);
      pointSums(points, 3, sums, wr, wi);
      const double h = activityBandwidth(sums.total, sums.moments());
      const int terms = std::max(kernelTerms(h), 3);
      pointSums(points, terms, sums, wr, wi);
      densityOnRoots(sums, h, terms, kLevelGrid, {}, pdf);
      const double top = *std::max_element(pdf.begin(), pdf.end());
      out[r] = 1.0 / (kTwoPi * top);
    }
  });
  return out;
}

}  // namespace mv
