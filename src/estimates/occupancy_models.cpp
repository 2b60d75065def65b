// Maximum likelihood for the single-season occupancy model and the
// Royle-Nichols model. Both likelihoods are finite mixtures per site, so one
// routine gives the log-likelihood with its analytic gradient and Hessian on
// the logit/log scale for either: for a site with mixture components k of
// log-weight w_k, derivative D_k and second derivative S_k (of w_k), with
// posterior weights o_k = exp(w_k) / sum exp(w),
//   d log L = sum o_k D_k,  d2 log L = sum o_k (D_k D_k' + S_k) - (sum o_k D_k)(sum o_k D_k)'.
// The likelihood depends on a site only through its surveyed and detected
// occasions, so equal sites are counted once with their number.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

#include "circular/numerics.hpp"
#include "estimates/estimates.hpp"

namespace mv {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// log(1 + e^x) without overflow or lost digits.
double softplus(double x) { return x > 0.0 ? x + std::log1p(std::exp(-x)) : std::log1p(std::exp(x)); }
double logistic(double x) { return x >= 0.0 ? 1.0 / (1.0 + std::exp(-x)) : std::exp(x) / (1.0 + std::exp(x)); }
double logit(double p) { return std::log(p) - std::log1p(-p); }

struct Pattern {
  int surveyed;
  int detected;
  double count;
};

// Sites grouped by (surveyed, detected); sites never surveyed carry no
// information and are left out.
std::vector<Pattern> patterns(std::span<const SiteHistory> sites) {
  std::map<std::pair<int, int>, double> counts;
  for (const SiteHistory& s : sites) {
    if (s.surveyed <= 0) continue;
    counts[{s.surveyed, std::clamp(s.detected, 0, s.surveyed)}] += 1.0;
  }
  std::vector<Pattern> out;
  for (const auto& [key, n] : counts) out.push_back({key.first, key.second, n});
  return out;
}

// Log-likelihood with gradient and Hessian (h[0] = d2/da2, h[1] = d2/dadb,
// h[2] = d2/db2) in two parameters.
struct Derivatives {
  double ll = 0.0;
  std::array<double, 2> g{};
  std::array<double, 3> h{};
};

struct Component {
  double logWeight;
  std::array<double, 2> d;
  std::array<double, 2> s;  // the mixed second derivative of every component here is 0
};

// Adds `count` sites whose likelihood is the mixture of `comps`.
void addMixture(Derivatives& out, double count, const Component* comps, std::size_t n) {
  double top = -kInf;
  for (std::size_t k = 0; k < n; ++k) top = std::max(top, comps[k].logWeight);
  if (top == -kInf) {
    out.ll = -kInf;
    return;
  }
  double sum = 0.0;
  std::array<double, 2> mean{};
  std::array<double, 3> second{};
  for (std::size_t k = 0; k < n; ++k) {
    // A component below e^-40 of the largest changes nothing.
    if (comps[k].logWeight - top < -40.0) continue;
    const double o = std::exp(comps[k].logWeight - top);
    const Component& c = comps[k];
    sum += o;
    mean[0] += o * c.d[0];
    mean[1] += o * c.d[1];
    second[0] += o * (c.d[0] * c.d[0] + c.s[0]);
    second[1] += o * (c.d[0] * c.d[1]);
    second[2] += o * (c.d[1] * c.d[1] + c.s[1]);
  }
  for (double& m : mean) m /= sum;
  for (double& s : second) s /= sum;
  out.ll += count * (top + std::log(sum));
  out.g[0] += count * mean[0];
  out.g[1] += count * mean[1];
  out.h[0] += count * (second[0] - mean[0] * mean[0]);
  out.h[1] += count * (second[1] - mean[0] * mean[1]);
  out.h[2] += count * (second[2] - mean[1] * mean[1]);
}

// Occupancy model at a = logit(psi), b = logit(p).
Derivatives occupancyDerivatives(const std::vector<Pattern>& sites, double a, double b) {
  const double psi = logistic(a);
  const double p = logistic(b);
  const double logPsi = -softplus(-a);
  const double logNotPsi = -softplus(a);
  const double logP = -softplus(-b);
  const double logQ = -softplus(b);
  Derivatives out;
  for (const Pattern& s : sites) {
    const double j = s.surveyed;
    const double d = s.detected;
    Component comps[2];
    std::size_t n = 0;
    comps[n++] = {logPsi + d * logP + (j - d) * logQ, {1.0 - psi, d - j * p}, {-psi * (1.0 - psi), -j * p * (1.0 - p)}};
    if (s.detected == 0) comps[n++] = {logNotPsi, {-psi, 0.0}, {-psi * (1.0 - psi), 0.0}};
    addMixture(out, s.count, comps, n);
  }
  return out;
}

// Royle-Nichols model at a = log(lambda), b = logit(r).
Derivatives royleNicholsDerivatives(const std::vector<Pattern>& sites, int k, double a, double b) {
  const double lambda = std::exp(a);
  const double r = logistic(b);
  const double s = 1.0 - r;
  const double log1mR = -softplus(b);  // log(1 - r)
  std::vector<double> logPoisson(static_cast<std::size_t>(k) + 1), logP(logPoisson.size()), logQ(logPoisson.size()),
      qOverP(logPoisson.size()), pN(logPoisson.size());
  for (int n = 0; n <= k; ++n) {
    const auto i = static_cast<std::size_t>(n);
    logPoisson[i] = -lambda + n * a - std::lgamma(n + 1.0);
    logQ[i] = n * log1mR;
    pN[i] = -std::expm1(logQ[i]);
    logP[i] = std::log(pN[i]);
    qOverP[i] = n > 0 ? std::exp(logQ[i]) / pN[i] : 0.0;
  }
  Derivatives out;
  std::vector<Component> comps(static_cast<std::size_t>(k) + 1);
  for (const Pattern& site : sites) {
    const double j = site.surveyed;
    const double d = site.detected;
    std::size_t used = 0;
    for (int n = site.detected > 0 ? 1 : 0; n <= k; ++n) {
      const auto i = static_cast<std::size_t>(n);
      const double nr = n * r;
      const double inner = (d > 0.0 ? d * qOverP[i] : 0.0) - (j - d);
      const double detectionTerm = d > 0.0 ? d * logP[i] : 0.0;
      const double second = n > 0 ? nr * s * inner - (d > 0.0 ? d * nr * nr * qOverP[i] / pN[i] : 0.0) : 0.0;
      comps[used++] = {
          logPoisson[i] + detectionTerm + (j - d) * logQ[i], {n - lambda, n > 0 ? nr * inner : 0.0}, {-lambda, second}};
    }
    addMixture(out, site.count, comps.data(), used);
  }
  return out;
}

// Damped Newton ascent from `x` within the box [lo, hi]; a Hessian that is
// not negative definite is shifted until it is. Returns the point reached.
template <typename F>
std::array<double, 2> newtonAscent(F&& f, std::array<double, 2> x, std::array<double, 2> lo, std::array<double, 2> hi) {
  Derivatives at = f(x[0], x[1]);
  for (int iteration = 0; iteration < 200; ++iteration) {
    if (!std::isfinite(at.ll)) break;
    double h0 = at.h[0], h1 = at.h[1], h2 = at.h[2];
    // Shift -H to positive definite where needed.
    const double scale = std::abs(h0) + std::abs(h2) + 1e-12;
    double shift = 0.0;
    while (!(-(h0 - shift) > 0.0 && (h0 - shift) * (h2 - shift) - h1 * h1 > 1e-14 * scale * scale)) {
      shift = shift == 0.0 ? 1e-8 * scale : shift * 4.0;
      if (shift > 1e12 * scale) break;
    }
    h0 -= shift;
    h2 -= shift;
    const double det = h0 * h2 - h1 * h1;
    std::array<double, 2> step = {-(h2 * at.g[0] - h1 * at.g[1]) / det, -(-h1 * at.g[0] + h0 * at.g[1]) / det};
    // A full Newton step this short is the last one that changes anything.
    const bool last = shift == 0.0 && std::max(std::abs(step[0]), std::abs(step[1])) < 1e-9;
    // No step longer than a few units on the logit/log scale at once.
    const double longest = std::max(std::abs(step[0]), std::abs(step[1]));
    if (longest > 4.0) {
      step[0] *= 4.0 / longest;
      step[1] *= 4.0 / longest;
    }
    double t = 1.0;
    bool moved = false;
    for (int halving = 0; halving < 60; ++halving, t *= 0.5) {
      const std::array<double, 2> y = {std::clamp(x[0] + t * step[0], lo[0], hi[0]),
                                       std::clamp(x[1] + t * step[1], lo[1], hi[1])};
      const Derivatives next = f(y[0], y[1]);
      if (std::isfinite(next.ll) && next.ll >= at.ll - 1e-15 * std::abs(at.ll)) {
        const double moveSize = std::max(std::abs(y[0] - x[0]), std::abs(y[1] - x[1]));
        x = y;
        at = next;
        moved = moveSize > 0.0;
        if (moveSize < 1e-13) moved = false;
        break;
      }
    }
    if (!moved || last) break;
  }
  return x;
}

// Standard errors of two parameters from the Hessian of the log-likelihood;
// nothing when it is not negative definite (to working precision).
std::optional<std::array<double, 2>> standardErrors(const Derivatives& at) {
  const double i0 = -at.h[0], i1 = -at.h[1], i2 = -at.h[2];
  const double det = i0 * i2 - i1 * i1;
  if (!(i0 > 0.0 && i2 > 0.0 && det > 1e-10 * i0 * i2)) return std::nullopt;
  const double v0 = i2 / det, v2 = i0 / det;
  return std::array<double, 2>{std::sqrt(v0), std::sqrt(v2)};
}

// A probability from its logit with standard error, interval on the logit
// scale.
Parameter probability(double b, std::optional<double> se, double z) {
  Parameter out;
  out.value = logistic(b);
  if (se) {
    const double v = *out.value;
    out.se = *se * v * (1.0 - v);
    out.lcl = logistic(b - z * *se);
    out.ucl = logistic(b + z * *se);
  }
  return out;
}

Parameter rate(double a, std::optional<double> se, double z) {
  Parameter out;
  out.value = std::exp(a);
  if (se) {
    out.se = *se * *out.value;
    out.lcl = std::exp(a - z * *se);
    out.ucl = std::exp(a + z * *se);
  }
  return out;
}

// What the data allow before any fit: the counts and the cases without an
// estimate.
struct Summary {
  int sites = 0, occasions = 0, sitesDetected = 0, detections = 0;
  int longest = 0;
  FitFlag flag = FitFlag::kNone;
  std::string reason;
};

Summary summarise(const std::vector<Pattern>& sites) {
  Summary s;
  for (const Pattern& p : sites) {
    const int n = static_cast<int>(p.count);
    s.sites += n;
    s.occasions += n * p.surveyed;
    s.detections += n * p.detected;
    if (p.detected > 0) s.sitesDetected += n;
    s.longest = std::max(s.longest, p.surveyed);
  }
  if (s.detections == 0) {
    s.flag = FitFlag::kNoDetection;
    s.reason = s.sites == 0 ? "no site with camera trap days" : "never detected: nothing to estimate";
  } else if (s.sites == 1) {
    s.flag = FitFlag::kOneSite;
    s.reason = "one site: occupancy cannot be told from detection";
  } else if (s.longest == 1) {
    s.flag = FitFlag::kOneOccasion;
    s.reason = "no site surveyed in two occasions: occupancy and detection cannot be told apart";
  } else if (s.detections == s.occasions) {
    s.flag = FitFlag::kAllDetected;
    s.reason = "detected in every surveyed occasion: occupancy and detection both at 1, no estimate";
  }
  return s;
}

// The occupancy that maximises the likelihood for a given p (the
// likelihood is concave in psi), and the log-likelihood there.
std::pair<double, double> profile(const std::vector<Pattern>& sites, double sitesDetected, double b) {
  const double logP = -softplus(-b);
  const double logQ = -softplus(b);
  double fixedPart = 0.0;
  // c = P(detected at least once | occupied) of the sites never detected.
  std::vector<std::pair<double, double>> missed;
  for (const Pattern& s : sites) {
    if (s.detected > 0)
      fixedPart += s.count * (s.detected * logP + (s.surveyed - s.detected) * logQ);
    else
      missed.push_back({s.count, -std::expm1(s.surveyed * logQ)});
  }
  const auto slope = [&](double psi) {
    double v = sitesDetected / psi;
    for (const auto& [n, c] : missed) v -= n * c / (1.0 - psi * c);
    return v;
  };
  const auto value = [&](double psi) {
    double v = sitesDetected * std::log(psi);
    for (const auto& [n, c] : missed) v += n * std::log1p(-psi * c);
    return v + fixedPart;
  };
  // At psi = 1 the sites never detected need c < 1.
  bool oneAllowed = true;
  for (const auto& mc : missed) oneAllowed = oneAllowed && mc.second < 1.0;
  if (oneAllowed && slope(1.0) >= 0.0) return {1.0, value(1.0)};
  double lo = 0.0, hi = 1.0, psi = 0.5;
  for (int i = 0; i < 200 && hi - lo > 1e-16; ++i) {
    const double g = slope(psi);
    if (g > 0.0)
      lo = psi;
    else
      hi = psi;
    double curvature = -sitesDetected / (psi * psi);
    for (const auto& [n, c] : missed) curvature -= n * c * c / ((1.0 - psi * c) * (1.0 - psi * c));
    double next = psi - g / curvature;
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    const bool converged = std::abs(next - psi) <= 1e-15 * psi;
    psi = next;
    if (converged || g == 0.0) break;
  }
  return {psi, value(psi)};
}

}  // namespace

const char* flagCode(FitFlag flag) {
  switch (flag) {
    case FitFlag::kNone:
      return "";
    case FitFlag::kNoDetection:
      return "no_detection";
    case FitFlag::kOneSite:
      return "one_site";
    case FitFlag::kOneOccasion:
      return "one_occasion";
    case FitFlag::kAllDetected:
      return "all_detected";
    case FitFlag::kBoundary:
      return "boundary";
    case FitFlag::kSingular:
      return "singular";
  }
  return "";
}

double occupancyLogLik(std::span<const SiteHistory> sites, double psi, double p) {
  double ll = 0.0;
  for (const Pattern& s : patterns(sites)) {
    const double j = s.surveyed, d = s.detected;
    const double seen = (d > 0.0 ? d * std::log(p) : 0.0) + (j > d ? (j - d) * std::log1p(-p) : 0.0);
    ll += s.count * (s.detected > 0 ? std::log(psi) + seen : std::log(psi * std::exp(seen) + (1.0 - psi)));
  }
  return ll;
}

double royleNicholsLogLik(std::span<const SiteHistory> sites, double lambda, double r, int k) {
  return royleNicholsDerivatives(patterns(sites), k, std::log(lambda), logit(r)).ll;
}

OccupancyFit fitOccupancy(std::span<const SiteHistory> input) {
  const std::vector<Pattern> sites = patterns(input);
  const Summary sum = summarise(sites);
  OccupancyFit fit;
  fit.sites = sum.sites;
  fit.occasions = sum.occasions;
  fit.sitesDetected = sum.sitesDetected;
  fit.detections = sum.detections;
  fit.naive = sum.sites > 0 ? static_cast<double>(sum.sitesDetected) / sum.sites : 0.0;
  if (sum.flag != FitFlag::kNone) {
    fit.flag = sum.flag;
    fit.reason = sum.reason;
    return fit;
  }
  const double z = normalQuantile(0.975);
  const double nd = sum.sitesDetected;
  // At the maximum, p is the detections over the occasions of the sites
  // detected plus the expected occupied share of the others, so it lies
  // between detections / all occasions and detections / occasions of the
  // sites detected.
  double detectedOccasions = 0.0;
  for (const Pattern& s : sites)
    if (s.detected > 0) detectedOccasions += s.count * s.surveyed;
  const double pLo = sum.detections / static_cast<double>(sum.occasions);
  const double pHi = sum.detections / detectedOccasions;
  const double bLo = logit(pLo);
  const double bHi = pHi < 1.0 ? logit(pHi) : 40.0;

  // The profile likelihood over p on a grid, then a golden-section search
  // around the best grid point.
  constexpr int kGrid = 24;
  double bestB = bLo;
  std::pair<double, double> best = profile(sites, nd, bLo);
  std::vector<double> grid(kGrid + 1);
  for (int i = 0; i <= kGrid; ++i) {
    grid[static_cast<std::size_t>(i)] = bLo + (bHi - bLo) * i / kGrid;
    const auto at = profile(sites, nd, grid[static_cast<std::size_t>(i)]);
    if (at.second > best.second) {
      best = at;
      bestB = grid[static_cast<std::size_t>(i)];
    }
  }
  const double cell = (bHi - bLo) / kGrid;
  double lo = std::max(bLo, bestB - cell), hi = std::min(bHi, bestB + cell);
  const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
  double x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
  double f1 = profile(sites, nd, x1).second, f2 = profile(sites, nd, x2).second;
  // The Newton steps after it finish the last digits.
  for (int i = 0; i < 200 && hi - lo > 1e-6 * (1.0 + std::abs(lo)); ++i) {
    if (f1 < f2) {
      lo = x1;
      x1 = x2;
      f1 = f2;
      x2 = lo + ratio * (hi - lo);
      f2 = profile(sites, nd, x2).second;
    } else {
      hi = x2;
      x2 = x1;
      f2 = f1;
      x1 = hi - ratio * (hi - lo);
      f1 = profile(sites, nd, x1).second;
    }
  }
  const double mid = 0.5 * (lo + hi);
  const auto atMid = profile(sites, nd, mid);
  if (atMid.second >= best.second) {
    best = atMid;
    bestB = mid;
  }

  // With p at 1 the sites never detected are unoccupied: psi is the naive
  // proportion, and the likelihood its binomial one.
  const double naiveLl = nd * std::log(fit.naive) + (sum.sites - nd) * std::log1p(-fit.naive);
  if (pHi >= 1.0 && naiveLl >= best.second - 1e-12 * std::abs(best.second)) {
    // Every detected site was detected in all its occasions and the
    // likelihood still rises towards p = 1: occupancy is the naive one.
    fit.psi.value = fit.naive;
    fit.p.value = 1.0;
    fit.flag = FitFlag::kBoundary;
    fit.reason = "p at 1 (on the boundary): every site detected was detected in all its occasions; no standard errors";
  } else if (best.first >= 1.0) {
    // All sites occupied: p is then the plain binomial proportion.
    const double b = logit(pLo);
    const auto atOne = profile(sites, nd, b);
    if (atOne.first >= 1.0 && atOne.second >= best.second - 1e-9) bestB = b;
    const double p = logistic(bestB);
    fit.psi.value = 1.0;
    fit.p = probability(bestB, 1.0 / std::sqrt(sum.occasions * p * (1.0 - p)), z);
    fit.flag = FitFlag::kBoundary;
    fit.reason = sum.sitesDetected == sum.sites
                     ? "psi at 1 (on the boundary): detected at every site; p's standard error with psi fixed at 1"
                     : "psi at 1 (on the boundary): the likelihood is highest with every site occupied; p's "
                       "standard error with psi fixed at 1";
  } else {
    const auto f = [&](double a, double b) { return occupancyDerivatives(sites, a, b); };
    const std::array<double, 2> x = newtonAscent(f, {logit(best.first), bestB}, {-40.0, -40.0}, {40.0, 40.0});
    const Derivatives at = f(x[0], x[1]);
    const auto se = standardErrors(at);
    fit.psi = probability(x[0], se ? std::optional<double>((*se)[0]) : std::nullopt, z);
    fit.p = probability(x[1], se ? std::optional<double>((*se)[1]) : std::nullopt, z);
    if (!se) {
      fit.flag = FitFlag::kSingular;
      fit.reason = "Hessian singular at the maximum: no standard errors";
    }
  }
  const double ll = occupancyLogLik(input, *fit.psi.value, *fit.p.value);
  fit.logLik = ll;
  fit.aic = -2.0 * ll + 4.0;
  return fit;
}

RoyleNicholsFit fitRoyleNichols(std::span<const SiteHistory> input, int k) {
  const std::vector<Pattern> sites = patterns(input);
  const Summary sum = summarise(sites);
  RoyleNicholsFit fit;
  if (sum.flag != FitFlag::kNone) {
    fit.flag = sum.flag;
    fit.reason = sum.reason;
    return fit;
  }
  const double z = normalQuantile(0.975);
  const auto f = [&](double a, double b) { return royleNicholsDerivatives(sites, k, a, b); };
  // Bounds: lambda from e^-20 to far beyond k, r within 1e-13 of 0 and 1.
  const std::array<double, 2> lo = {-20.0, -30.0};
  const std::array<double, 2> hi = {std::log(static_cast<double>(k)) + 3.0, 30.0};
  // Starts: one from the naive occupancy and detection (lambda from
  // psi = 1 - e^-lambda, r from p shared among the animals of an occupied
  // site) and a coarse grid; Newton from the best two.
  std::vector<std::pair<double, std::array<double, 2>>> starts;
  double detectedOccasions = 0.0;
  for (const Pattern& s : sites)
    if (s.detected > 0) detectedOccasions += s.count * s.surveyed;
  const double naive = std::min(0.95, static_cast<double>(sum.sitesDetected) / sum.sites);
  const double lambda0 = -std::log1p(-naive);
  const double r0 = std::clamp(sum.detections / detectedOccasions * naive / lambda0, 1e-4, 0.9);
  starts.push_back({f(std::log(lambda0), logit(r0)).ll, {std::log(lambda0), logit(r0)}});
  for (double lambda : {0.2, 1.0, 5.0})
    for (double r : {0.01, 0.05, 0.25}) {
      const std::array<double, 2> x = {std::log(lambda), logit(r)};
      starts.push_back({f(x[0], x[1]).ll, x});
    }
  std::sort(starts.begin(), starts.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::array<double, 2> bestX = starts.front().second;
  double bestLl = -kInf;
  for (std::size_t i = 0; i < 2 && i < starts.size(); ++i) {
    const std::array<double, 2> x = newtonAscent(f, starts[i].second, lo, hi);
    const double ll = f(x[0], x[1]).ll;
    if (ll > bestLl) {
      bestLl = ll;
      bestX = x;
    }
  }
  const Derivatives at = f(bestX[0], bestX[1]);
  const bool edge =
      bestX[0] <= lo[0] + 1e-6 || bestX[0] >= hi[0] - 1e-6 || bestX[1] <= lo[1] + 1e-6 || bestX[1] >= hi[1] - 1e-6;
  const auto se = edge ? std::nullopt : standardErrors(at);
  fit.lambda = rate(bestX[0], se ? std::optional<double>((*se)[0]) : std::nullopt, z);
  fit.r = probability(bestX[1], se ? std::optional<double>((*se)[1]) : std::nullopt, z);
  fit.psi = -std::expm1(-*fit.lambda.value);
  fit.logLik = at.ll;
  fit.aic = -2.0 * at.ll + 4.0;
  if (edge) {
    fit.flag = FitFlag::kBoundary;
    fit.reason = bestX[1] >= hi[1] - 1e-6   ? "r at 1 (on the boundary): no standard errors"
                 : bestX[1] <= lo[1] + 1e-6 ? "r at 0 (on the boundary): no standard errors"
                 : bestX[0] >= hi[0] - 1e-6
                     ? "lambda beyond the abundance bound K (on the boundary): no standard errors"
                     : "lambda at 0 (on the boundary): no standard errors";
  } else if (!se) {
    fit.flag = FitFlag::kSingular;
    fit.reason = "Hessian singular at the maximum: no standard errors";
  }
  return fit;
}

}  // namespace mv
