// The relative abundance index with its intervals, the richness estimators,
// and the estimates of a whole study.
#include <boost/math/distributions/chi_squared.hpp>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <system_error>

#include "circular/numerics.hpp"
#include "concurrency/threads.hpp"
#include "estimates/estimates.hpp"

namespace mv {

double chiSquareQuantile(double probability, double df) {
  return boost::math::quantile(boost::math::chi_squared(df), probability);
}

AbundanceIndex abundanceIndex(std::span<const long long> events, std::span<const long long> trapDays) {
  AbundanceIndex out;
  for (std::size_t g = 0; g < trapDays.size() && g < events.size(); ++g) {
    if (trapDays[g] <= 0) continue;
    ++out.groups;
    out.events += events[g];
    out.trapDays += trapDays[g];
  }
  if (out.trapDays == 0) {
    out.reason = "no camera trap days";
    return out;
  }
  const double y = static_cast<double>(out.events);
  const double x = static_cast<double>(out.trapDays);
  const double ratio = y / x;
  const double per100 = 100.0 / x;
  out.rai = 100.0 * ratio;
  // Exact Poisson interval of the count (Garwood), per 100 trap days.
  out.poissonLcl = out.events > 0 ? chiSquareQuantile(0.025, 2.0 * y) / 2.0 * per100 : 0.0;
  out.poissonUcl = chiSquareQuantile(0.975, 2.0 * y + 2.0) / 2.0 * per100;
  // The ratio estimator's variance with groups as sampling units (Fewster et
  // al. 2009, R2): m/(m-1) * sum (y_i - R x_i)^2 / X^2.
  if (out.groups < 2) {
    out.reason = "one group with camera trap days: no ratio-estimator interval";
    return out;
  }
  double squares = 0.0;
  for (std::size_t g = 0; g < trapDays.size() && g < events.size(); ++g) {
    if (trapDays[g] <= 0) continue;
    const double e = static_cast<double>(events[g]) - ratio * static_cast<double>(trapDays[g]);
    squares += e * e;
  }
  const double m = out.groups;
  const double variance = m / (m - 1.0) * squares / (x * x);
  const double se = 100.0 * std::sqrt(variance);
  const double z = normalQuantile(0.975);
  out.ratioSe = se;
  out.ratioLcl = std::max(0.0, *out.rai - z * se);
  out.ratioUcl = *out.rai + z * se;
  return out;
}

namespace {

// ACE from the frequency counts of the rare species (f[i] species with i
// events, i = 1..10) and the number of abundant ones, with its delta-method
// standard error: the gradient of the estimate in the rare frequency counts,
// which vary as multinomial counts of the estimated species total
// (var f_i = f_i (1 - f_i/S), cov(f_i, f_j) = -f_i f_j / S). Where the
// coefficient of variation is cut at 0 it is a constant of the counts.
void ace(Richness& out, const std::vector<double>& f, double abundant) {
  double sr = 0.0, n = 0.0, t = 0.0;
  for (std::size_t i = 1; i < f.size(); ++i) {
    const double k = static_cast<double>(i);
    sr += f[i];
    n += k * f[i];
    t += k * (k - 1.0) * f[i];
  }
  if (sr == 0.0) {
    out.ace = abundant;
    out.aceSe = 0.0;
    return;
  }
  const double f1 = f[1];
  const double c = 1.0 - f1 / n;
  if (c <= 0.0) {
    out.aceReason = "every rare species seen once: the sample coverage is 0 and ACE is undefined";
    return;
  }
  const double d = c * n * (n - 1.0);
  const double gammaRaw = sr * t / d - 1.0;
  const double gamma2 = std::max(gammaRaw, 0.0);
  const double estimate = abundant + sr / c + f1 * gamma2 / c;
  out.ace = estimate;
  std::vector<double> gradient(f.size(), 0.0);
  for (std::size_t i = 1; i < f.size(); ++i) {
    const double k = static_cast<double>(i);
    const double dc = (i == 1 ? -1.0 / n : 0.0) + f1 * k / (n * n);
    const double dd = dc * n * (n - 1.0) + c * k * (n - 1.0) + c * n * k;
    const double dGamma = gammaRaw > 0.0 ? ((t + sr * k * (k - 1.0)) * d - sr * t * dd) / (d * d) : 0.0;
    gradient[i] =
        1.0 / c - sr * dc / (c * c) + (i == 1 ? gamma2 / c : 0.0) + f1 * dGamma / c - f1 * gamma2 * dc / (c * c);
  }
  double variance = 0.0;
  for (std::size_t i = 1; i < f.size(); ++i)
    for (std::size_t j = 1; j < f.size(); ++j) {
      const double cov = i == j ? f[i] * (1.0 - f[i] / estimate) : -f[i] * f[j] / estimate;
      variance += gradient[i] * gradient[j] * cov;
    }
  out.aceSe = std::sqrt(std::max(0.0, variance));
}

// The bootstrap estimate over the groups and its variance in closed form:
// a species in q of n groups is missed by a resample of the groups with
// probability (1 - q/n)^n, two species together with (z/n)^n, z the groups
// holding neither.
void bootstrap(Richness& out, const std::vector<std::vector<std::uint64_t>>& present,
               const std::vector<int>& groupsWith, int n) {
  const double dn = n;
  std::vector<double> missed(groupsWith.size());
  double sum = 0.0, variance = 0.0;
  for (std::size_t i = 0; i < groupsWith.size(); ++i) {
    missed[i] = std::pow(1.0 - groupsWith[i] / dn, dn);
    sum += missed[i];
    variance += missed[i] * (1.0 - missed[i]);
  }
  for (std::size_t i = 0; i < groupsWith.size(); ++i)
    for (std::size_t j = i + 1; j < groupsWith.size(); ++j) {
      int both = 0;
      for (std::size_t w = 0; w < present[i].size(); ++w) both += std::popcount(present[i][w] & present[j][w]);
      const int neither = n - groupsWith[i] - groupsWith[j] + both;
      variance += 2.0 * (std::pow(neither / dn, dn) - missed[i] * missed[j]);
    }
  out.bootstrap = out.observed + sum;
  out.bootstrapSe = std::sqrt(std::max(0.0, variance));
}

}  // namespace

Richness richness(const std::vector<std::vector<long long>>& eventsBySpecies) {
  Richness out;
  out.groups = eventsBySpecies.empty() ? 0 : static_cast<int>(eventsBySpecies.front().size());
  const int n = out.groups;
  std::vector<long long> singletonsInGroup(static_cast<std::size_t>(n), 0);
  double a1 = 0.0, a2 = 0.0;
  std::vector<double> rare(11, 0.0);
  double abundant = 0.0, f1 = 0.0, f2 = 0.0;
  // The groups of each species seen, as bits, for the bootstrap.
  const std::size_t words = (static_cast<std::size_t>(n) + 63) / 64;
  std::vector<std::vector<std::uint64_t>> present;
  std::vector<int> seenIn;
  for (const std::vector<long long>& row : eventsBySpecies) {
    int groupsWith = 0;
    long long total = 0;
    std::size_t last = 0;
    for (std::size_t g = 0; g < row.size(); ++g)
      if (row[g] > 0) {
        ++groupsWith;
        total += row[g];
        last = g;
      }
    if (groupsWith == 0) continue;
    ++out.observed;
    std::vector<std::uint64_t>& bits = present.emplace_back(words, 0);
    for (std::size_t g = 0; g < row.size(); ++g)
      if (row[g] > 0) bits[g / 64] |= std::uint64_t{1} << (g % 64);
    seenIn.push_back(groupsWith);
    if (groupsWith == 1) {
      a1 += 1.0;
      ++singletonsInGroup[last];
    }
    if (groupsWith == 2) a2 += 1.0;
    if (total == 1) f1 += 1.0;
    if (total == 2) f2 += 1.0;
    if (total <= 10)
      rare[static_cast<std::size_t>(total)] += 1.0;
    else
      abundant += 1.0;
  }
  const double s = out.observed;
  if (n == 0) return out;
  const double dn = n;
  // Incidence estimators, groups as sampling units, with the small-sample
  // factor (n-1)/n.
  const double ssc = (dn - 1.0) / dn;
  if (a2 > 0.0) {
    const double chao = s + ssc * a1 * a1 / (2.0 * a2);
    const double aa = a1 / a2;
    out.chao2 = chao;
    out.chao2Se = std::sqrt(a1 * ssc * (0.5 + ssc * (1.0 + aa / 4.0) * aa) * aa);
  } else {
    const double chao = s + ssc * a1 * (a1 - 1.0) / 2.0;
    out.chao2 = chao;
    const double variance =
        chao > 0.0 ? ssc * (ssc * (a1 * (2.0 * a1 - 1.0) * (2.0 * a1 - 1.0) / 4.0 - a1 * a1 * a1 * a1 / chao / 4.0) +
                            a1 * (a1 - 1.0) / 2.0)
                   : 0.0;
    out.chao2Se = std::sqrt(std::max(0.0, variance));
  }
  // First-order jackknife: the variance of the leave-one-group-out values.
  out.jack1 = s + a1 * ssc;
  double squares = 0.0;
  for (long long m : singletonsInGroup) squares += static_cast<double>(m) * static_cast<double>(m);
  out.jack1Se = std::sqrt(std::max(0.0, (squares - a1 * a1 / dn) * ssc));
  out.jack2 = n > 1 ? s + a1 * (2.0 * dn - 3.0) / dn - a2 * (dn - 2.0) * (dn - 2.0) / (dn * (dn - 1.0)) : s;
  bootstrap(out, present, seenIn, n);
  // Abundance estimators from the event totals: bias-corrected Chao1 with
  // its delta-method standard error, and ACE.
  const double chao1 = s + f1 * (f1 - 1.0) / (2.0 * (f2 + 1.0));
  out.chao1 = chao1;
  if (s > 0.0) {
    const double g1 = 1.0 + (2.0 * f1 - 1.0) / (2.0 * (f2 + 1.0));
    const double g2 = 1.0 - f1 * (f1 - 1.0) / (2.0 * (f2 + 1.0) * (f2 + 1.0));
    const double rest = s - f1 - f2;
    const double sumG2F = g1 * g1 * f1 + g2 * g2 * f2 + rest;
    const double sumGF = g1 * f1 + g2 * f2 + rest;
    out.chao1Se = std::sqrt(std::max(0.0, sumG2F - sumGF * sumGF / chao1));
  } else {
    out.chao1Se = 0.0;
  }
  ace(out, rare, abundant);
  return out;
}

StudyEstimates estimateStudy(const std::vector<std::vector<SiteHistory>>& history,
                             const std::vector<std::vector<long long>>& events, std::span<const long long> trapDays) {
  StudyEstimates out;
  out.species.resize(history.size());
  // The species are fitted apart, shared out among the threads.
  const std::size_t threads = std::min(history.size(), static_cast<std::size_t>(std::max(1, workThreads())));
  const auto work = [&](std::size_t first) {
    for (std::size_t s = first; s < history.size(); s += threads) {
      SpeciesEstimates& e = out.species[s];
      e.occupancy = fitOccupancy(history[s]);
      e.royleNichols = fitRoyleNichols(history[s]);
      e.index = abundanceIndex(events[s], trapDays);
    }
  };
  std::vector<BackgroundJob> helpers(threads > 0 ? threads - 1 : 0);
  std::vector<std::size_t> ownShares = {0};
  for (std::size_t t = 1; t < threads; ++t) {
    try {
      helpers[t - 1].start([&work, t] { work(t); });
    } catch (const std::system_error&) {
      ownShares.push_back(t);  // no thread to be had: done here
    }
  }
  for (std::size_t t : ownShares) work(t);
  for (BackgroundJob& h : helpers) h.wait();
  // Richness over the groups that worked or had an event.
  std::vector<std::size_t> used;
  for (std::size_t g = 0; g < trapDays.size(); ++g) {
    bool any = trapDays[g] > 0;
    for (const auto& row : events) any = any || (g < row.size() && row[g] > 0);
    if (any) used.push_back(g);
  }
  std::vector<std::vector<long long>> incidence(events.size(), std::vector<long long>(used.size(), 0));
  for (std::size_t s = 0; s < events.size(); ++s)
    for (std::size_t i = 0; i < used.size(); ++i)
      if (used[i] < events[s].size()) incidence[s][i] = events[s][used[i]];
  out.richness = richness(incidence);
  return out;
}

}  // namespace mv
