#include "circular/numerics.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace mv {

double besselIScaled(int n, double x) {
  if (x < 25.0) {
    // I_n(x) = sum over m of (x/2)^(2m+n) / (m! (m+n)!): positive terms.
    const double half = x / 2.0;
    double term = 1.0;
    for (int j = 1; j <= n; ++j) term *= half / j;
    double sum = term;
    const double q = half * half;
    for (int m = 1; term > 1e-17 * sum; ++m) {
      term *= q / (static_cast<double>(m) * static_cast<double>(m + n));
      sum += term;
    }
    return sum * std::exp(-x);
  }
  // e^-x I_n(x) ~ (2 pi x)^-1/2 sum over k of (-1)^k prod_{j<=k} (4n^2 - (2j-1)^2) / (k! (8x)^k);
  // from x = 25 on the terms fall below 1e-17 long before they grow again.
  const double mu = 4.0 * n * n;
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k < 200; ++k) {
    const double odd = 2.0 * k - 1.0;
    term *= -(mu - odd * odd) / (8.0 * k * x);
    sum += term;
    if (std::fabs(term) < 1e-17 * std::fabs(sum)) break;
  }
  return sum / std::sqrt(2.0 * std::numbers::pi * x);
}

double besselRatio(int k, double x) {
  if (!(x > 0.0)) return 0.0;
  if (x < 25.0) {
    // Both power series, without their common factor e^-x.
    const double half = x / 2.0, q = half * half;
    double t0 = 1.0, tk = 1.0;
    for (int j = 1; j <= k; ++j) tk *= half / j;
    double s0 = t0, sk = tk;
    for (int m = 1; t0 > 1e-17 * s0 || tk > 1e-17 * sk; ++m) {
      const auto dm = static_cast<double>(m);
      t0 *= q / (dm * dm);
      tk *= q / (dm * (dm + k));
      s0 += t0;
      sk += tk;
    }
    return sk / s0;
  }
  // Both asymptotic expansions, without their common factor.
  const double mu = 4.0 * k * k;
  double t0 = 1.0, tk = 1.0, s0 = 1.0, sk = 1.0;
  for (int j = 1; j < 200; ++j) {
    const double odd = 2.0 * j - 1.0, step = 8.0 * j * x;
    t0 *= odd * odd / step;
    tk *= -(mu - odd * odd) / step;
    s0 += t0;
    sk += tk;
    if (std::fabs(t0) < 1e-17 * s0 && std::fabs(tk) < 1e-17 * std::fabs(sk)) break;
  }
  return sk / s0;
}

std::vector<double> besselRatios(double h, int last) {
  std::vector<double> a(static_cast<std::size_t>(std::max(last, 0)) + 1, 0.0);
  a[0] = 1.0;
  if (last <= 0 || h <= 0.0) return a;
  // r_k = I_k / I_(k-1) = 1 / (2k/h + r_(k+1)), from far enough above both
  // `last` and h that the start no longer matters.
  const int top = std::max(last, static_cast<int>(std::min(h, 1e6))) + 32 +
                  static_cast<int>(4.0 * std::sqrt(std::max(static_cast<double>(last), std::min(h, 1e6))));
  std::vector<double> r(static_cast<std::size_t>(last) + 1, 0.0);
  double next = 0.0;
  for (int k = top; k >= 1; --k) {
    next = 1.0 / (2.0 * k / h + next);
    if (k <= last) r[static_cast<std::size_t>(k)] = next;
  }
  for (int k = 1; k <= last; ++k)
    a[static_cast<std::size_t>(k)] = a[static_cast<std::size_t>(k) - 1] * r[static_cast<std::size_t>(k)];
  return a;
}

int kernelTerms(double h) {
  if (!(h > 0.0)) return 0;
  int guess = static_cast<int>(std::sqrt(80.0 * std::min(h, 1e7))) + 16;
  for (;;) {
    const std::vector<double> a = besselRatios(h, guess);
    for (int k = 1; k <= guess; ++k)
      if (a[static_cast<std::size_t>(k)] < 1e-16) return k;
    guess *= 2;
  }
}

double brentZero(const std::function<double(double)>& f, double a, double b, double fa, double fb, double tol,
                 int maxIterations) {
  constexpr double eps = std::numeric_limits<double>::epsilon();
  double c = a, fc = fa, d = b - a, e = d;
  bool reset = true;
  for (int it = 0;; ++it) {
    if (reset) {
      c = a;
      fc = fa;
      d = b - a;
      e = d;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const double tol1 = 2.0 * eps * std::fabs(b) + 0.5 * tol;
    const double xm = 0.5 * (c - b);
    if (std::fabs(xm) <= tol1 || fb == 0.0 || it >= maxIterations) return b;
    bool bisect = true;
    if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
      // Secant (two points) or inverse quadratic interpolation (three).
      double p, q;
      const double s = fb / fa;
      if (a == c) {
        p = 2.0 * xm * s;
        q = 1.0 - s;
      } else {
        const double qa = fa / fc, r = fb / fc;
        p = s * (2.0 * xm * qa * (qa - r) - (b - a) * (r - 1.0));
        q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
      }
      if (p > 0.0) q = -q;
      p = std::fabs(p);
      // Taken only when it stays inside the bracket and shrinks faster than
      // bisection would.
      if (2.0 * p < 3.0 * xm * q - std::fabs(tol1 * q) && p < std::fabs(0.5 * e * q)) {
        e = d;
        d = p / q;
        bisect = false;
      }
    }
    if (bisect) {
      d = xm;
      e = d;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > tol1 ? d : (xm > 0.0 ? tol1 : -tol1);
    fb = f(b);
    reset = (fb > 0.0 && fc > 0.0) || (fb <= 0.0 && fc <= 0.0);
  }
}

double brentMinimum(const std::function<double(double)>& f, double a, double b, double tol) {
  const double golden = 0.5 * (3.0 - std::sqrt(5.0));
  const double eps = std::sqrt(std::numeric_limits<double>::epsilon());
  double v = a + golden * (b - a);
  double w = v, x = v;
  double d = 0.0, e = 0.0;
  double fx = f(x);
  double fv = fx, fw = fx;
  const double tol3 = tol / 3.0;
  for (;;) {
    const double xm = 0.5 * (a + b);
    const double tol1 = eps * std::fabs(x) + tol3;
    const double tol2 = 2.0 * tol1;
    if (std::fabs(x - xm) <= tol2 - 0.5 * (b - a)) return x;
    bool goldenStep = true;
    if (std::fabs(e) > tol1) {
      // A parabola through x, w and v.
      double r = (x - w) * (fx - fv);
      double q = (x - v) * (fx - fw);
      double p = (x - v) * q - (x - w) * r;
      q = 2.0 * (q - r);
      if (q > 0.0) p = -p;
      q = std::fabs(q);
      r = e;
      e = d;
      if (std::fabs(p) < std::fabs(0.5 * q * r) && p > q * (a - x) && p < q * (b - x)) {
        d = p / q;
        const double u = x + d;
        // Not too close to the ends.
        if (u - a < tol2 || b - u < tol2) d = xm >= x ? tol1 : -tol1;
        goldenStep = false;
      }
    }
    if (goldenStep) {
      e = x >= xm ? a - x : b - x;
      d = golden * e;
    }
    const double u = std::fabs(d) >= tol1 ? x + d : (d > 0.0 ? x + tol1 : x - tol1);
    const double fu = f(u);
    if (fu <= fx) {
      if (u >= x)
        a = x;
      else
        b = x;
      v = w;
      fv = fw;
      w = x;
      fw = fx;
      x = u;
      fx = fu;
    } else {
      if (u < x)
        a = u;
      else
        b = u;
      if (fu <= fw || w == x) {
        v = w;
        fv = fw;
        w = u;
        fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u;
        fv = fu;
      }
    }
  }
}

double normalQuantile(double p) {
  if (!(p > 0.0 && p < 1.0)) return std::numeric_limits<double>::quiet_NaN();
  // Acklam's rational approximation (relative error 1.2e-9) ...
  static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                                 1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                                 6.680131188771972e+01, -1.328068155288572e+01};
  static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                                 -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                                 3.754408661907416e+00};
  constexpr double low = 0.02425;
  double x;
  if (p < low) {
    const double q = std::sqrt(-2.0 * std::log(p));
    x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1.0);
  } else if (p <= 1.0 - low) {
    const double q = p - 0.5, r = q * q;
    x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
        (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1.0);
  } else {
    const double q = std::sqrt(-2.0 * std::log1p(-p));
    x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1.0);
  }
  // ... refined by Halley steps on the normal distribution function.
  for (int step = 0; step < 2; ++step) {
    const double err = 0.5 * std::erfc(-x / std::numbers::sqrt2) - p;
    const double u = err * std::sqrt(2.0 * std::numbers::pi) * std::exp(0.5 * x * x);
    x -= u / (1.0 + 0.5 * x * u);
  }
  return x;
}

namespace {

std::uint64_t splitmix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15u);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
  return z ^ (z >> 31);
}

}  // namespace

Rng::Rng(std::uint64_t seed, std::uint64_t stream, std::uint64_t index) {
  std::uint64_t state = seed;
  state = splitmix(state) ^ (stream * 0xd1b54a32d192ed03u);
  state = splitmix(state) ^ (index * 0xaef17502108ef2d9u);
  for (std::uint64_t& s : s_) s = splitmix(state);
}

AliasTable::AliasTable(const std::vector<double>& weights)
    : size_(weights.size()), keep_(weights.size(), 1.0), alias_(weights.size()) {
  const std::size_t n = weights.size();
  double total = 0.0;
  for (double w : weights) total += w;
  std::vector<double> p(n);
  std::vector<std::uint32_t> small, large;
  for (std::size_t i = 0; i < n; ++i) {
    alias_[i] = static_cast<std::uint32_t>(i);
    p[i] = weights[i] * static_cast<double>(n) / total;
    (p[i] < 1.0 ? small : large).push_back(static_cast<std::uint32_t>(i));
  }
  while (!small.empty() && !large.empty()) {
    const std::uint32_t s = small.back(), l = large.back();
    small.pop_back();
    large.pop_back();
    keep_[s] = p[s];
    alias_[s] = l;
    p[l] = (p[l] + p[s]) - 1.0;
    (p[l] < 1.0 ? small : large).push_back(l);
  }
  // What is left holds (to rounding) probability one.
}

}  // namespace mv
