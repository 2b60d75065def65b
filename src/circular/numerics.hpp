// Numerical building blocks of the circular statistics: modified Bessel
// functions of the first kind, Brent's root and minimum searches, the
// normal quantile, and a seeded random generator with independent streams.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace mv {

// e^-x I_n(x) for n = 0..3 and x >= 0: power series below 25, the
// asymptotic expansion above (no overflow at any x).
double besselIScaled(int n, double x);

// I_k(x)/I_0(x) for k = 1..3 and x >= 0, both series summed in one pass
// (the searches for a bandwidth evaluate it many times).
double besselRatio(int k, double x);

// I_k(h)/I_0(h) for k = 0..last (the Fourier coefficients of the von Mises
// kernel of concentration h), by backward recurrence of the ratios.
std::vector<double> besselRatios(double h, int last);

// The number of Fourier terms after which I_k(h)/I_0(h) stays below 1e-16:
// enough for a kernel density to full double precision.
int kernelTerms(double h);

// Brent's zeroin (Brent 1973, ch. 4): a root of f in [a, b] where fa = f(a)
// and fb = f(b) differ in sign, to within 4 eps |x| + tol. At most
// `maxIterations` evaluations of f.
double brentZero(const std::function<double(double)>& f, double a, double b, double fa, double fb, double tol,
                 int maxIterations = 1000);

// Brent's localmin (Brent 1973, ch. 5): a minimum of f in [a, b] by golden
// section and parabolic interpolation, to within sqrt(eps) |x| + tol / 3.
double brentMinimum(const std::function<double(double)>& f, double a, double b, double tol);

// The tolerance the reference analyses stop their searches at: eps^(1/4).
constexpr double kSearchTolerance = 0.0001220703125;

// The p-quantile of the standard normal distribution, 0 < p < 1.
double normalQuantile(double p);

// xoshiro256** seeded through splitmix64. A generator is made for one
// (seed, stream, index) triple, so that every replicate of every
// computation has its own stream whatever thread runs it.
class Rng {
 public:
  Rng(std::uint64_t seed, std::uint64_t stream, std::uint64_t index);
  std::uint64_t next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
  }
  // Uniform in [0, 1) with 53 random bits.
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // Uniform in [0, n), n >= 1.
  std::uint32_t below(std::uint32_t n) {
    return static_cast<std::uint32_t>(((next() >> 32) * static_cast<std::uint64_t>(n)) >> 32);
  }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t s_[4];
};

// Walker's alias table: draws of 0..n-1 with probabilities proportional to
// the given non-negative weights (at least one positive), one generator
// output per draw.
class AliasTable {
 public:
  explicit AliasTable(const std::vector<double>& weights);
  std::uint32_t draw(Rng& rng) const {
    const std::uint64_t u = rng.next();
    const auto i = static_cast<std::uint32_t>(((u >> 32) * size_) >> 32);
    const double f = static_cast<double>(u & 0xffffffffu) * 0x1.0p-32;
    return f < keep_[i] ? i : alias_[i];
  }

 private:
  std::uint64_t size_ = 0;
  std::vector<double> keep_;
  std::vector<std::uint32_t> alias_;
};

}  // namespace mv
