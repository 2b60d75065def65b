#include "circular/analysis.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "concurrency/threads.hpp"

namespace mv {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Replicate streams: one per species for the activity level, one per pair
// of species numbers for the overlap, so a pair's interval does not depend
// on which other species are compared.
constexpr std::uint64_t kLevelStreams = std::uint64_t{1} << 40;
constexpr std::uint64_t kPairStreams = std::uint64_t{2} << 40;

bool allAtOneTime(const std::vector<double>& x) {
  return std::all_of(x.begin(), x.end(), [&](double v) { return v == x.front(); });
}

bool finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }

}  // namespace

void EventTimes::eventClosed(const IndependentEvent& event) {
  add(event.start.species, event.start.hour, event.start.minute, event.start.second);
  if (next_ != nullptr) next_->eventClosed(event);
}

void EventTimes::add(int species, int hour, int minute, int second) {
  if (species < 1) return;
  if (static_cast<std::size_t>(species) >= times_.size()) times_.resize(static_cast<std::size_t>(species) + 1);
  // Seconds of the day as a share of the circle.
  const int s = ((hour * 60 + minute) * 60 + second) % 86400;
  times_[static_cast<std::size_t>(species)].push_back(kTwoPi * s / 86400.0);
}

const std::vector<double>& EventTimes::of(int species) const {
  static const std::vector<double> none;
  if (species < 1 || static_cast<std::size_t>(species) >= times_.size()) return none;
  return times_[static_cast<std::size_t>(species)];
}

const char* estimatorName(OverlapEstimator e) { return e == OverlapEstimator::Dhat4 ? "Dhat4" : "Dhat1"; }

ActivityAnalysis analyseActivity(const EventTimes& times, int speciesCount, const ActivityOptions& options) {
  ActivityAnalysis out;
  out.bootstrap = std::max(options.bootstrap, 0);
  out.seed = options.seed;
  const int threads = options.threads > 0 ? options.threads : workThreads();

  for (int s = 1; s <= speciesCount; ++s) {
    const std::vector<double>& x = times.of(s);
    SpeciesActivity a;
    a.species = s;
    a.events = static_cast<int>(x.size());
    if (x.empty()) {
      a.note = "no events";
    } else if (x.size() == 1) {
      a.note = "one event";
    } else if (allAtOneTime(x)) {
      // No concentration fits a single time: the level would only mirror
      // where the search for one stops.
      a.note = "all events at one time of day";
    } else {
      a.bandwidth = overlapBandwidth(x);
      if (a.bandwidth) {
        // Per radian to per hour of the day.
        a.density = circleDensity(x, *a.bandwidth, kDensityPoints);
        for (double& d : a.density) d *= kTwoPi / 24.0;
      }
      const ActivityLevel level = activityLevel(x);
      a.levelBandwidth = level.bandwidth;
      a.maxDensity = level.maxDensity;
      a.level = level.level;
      if (out.bootstrap > 0) {
        std::vector<double> reps =
            activityReplicates(x, out.bootstrap, out.seed, kLevelStreams + static_cast<std::uint64_t>(s), threads);
        std::erase_if(reps, [](double v) { return !std::isfinite(v); });
        std::sort(reps.begin(), reps.end());
        a.replicates = static_cast<int>(reps.size());
        if (reps.size() >= 2) {
          const BootInterval spread = bootInterval(*a.level, reps);
          a.se = spread.sd;
          a.low = sampleQuantile(reps, 0.025);
          a.high = sampleQuantile(reps, 0.975);
        } else {
          a.note = "too few replicates for an interval";
        }
      }
      if (!a.bandwidth) a.note = "no bandwidth: no density";
      if (!finite(a.levelBandwidth) || !finite(a.level) || !finite(a.maxDensity) || !finite(a.se) || !finite(a.low) ||
          !finite(a.high)) {
        a.levelBandwidth.reset();
        a.maxDensity.reset();
        a.level.reset();
        a.se.reset();
        a.low.reset();
        a.high.reset();
        a.note = "the activity level could not be computed";
      }
    }
    out.species.push_back(std::move(a));
  }

  // The species compared: at least kOverlapMinEvents events and a
  // bandwidth, the most recorded first (by number on a tie).
  std::vector<int> compared;
  for (const SpeciesActivity& a : out.species)
    if (a.events >= kOverlapMinEvents && a.bandwidth) compared.push_back(a.species);
  std::stable_sort(compared.begin(), compared.end(), [&](int p, int q) {
    return out.species[static_cast<std::size_t>(p - 1)].events > out.species[static_cast<std::size_t>(q - 1)].events;
  });
  if (static_cast<int>(compared.size()) > std::max(options.overlapSpecies, 0))
    compared.resize(static_cast<std::size_t>(std::max(options.overlapSpecies, 0)));

  // Species numbers make the streams, so a species' replicates do not
  // depend on which other species are compared.
  std::vector<OverlapSample> samples;
  for (int sp : compared)
    samples.push_back({times.of(sp), *out.species[static_cast<std::size_t>(sp - 1)].bandwidth,
                       kPairStreams + static_cast<std::uint64_t>(sp)});
  std::vector<OverlapPair> pairs;
  for (std::size_t i = 0; i < compared.size(); ++i)
    for (std::size_t j = i + 1; j < compared.size(); ++j) {
      const SpeciesActivity& sa = out.species[static_cast<std::size_t>(compared[i] - 1)];
      const SpeciesActivity& sb = out.species[static_cast<std::size_t>(compared[j] - 1)];
      PairOverlap p;
      p.a = sa.species;
      p.b = sb.species;
      p.nA = sa.events;
      p.nB = sb.events;
      p.bwA = *sa.bandwidth;
      p.bwB = *sb.bandwidth;
      p.estimates = overlapEstimates(samples[i].times, samples[j].times, p.bwA, p.bwB);
      p.estimator = recommendedEstimator(samples[i].times.size(), samples[j].times.size());
      p.estimate = p.estimator == OverlapEstimator::Dhat4 ? p.estimates.dhat4 : p.estimates.dhat1;
      pairs.push_back({i, j, p.estimator});
      out.pairs.push_back(std::move(p));
    }
  if (out.bootstrap > 0) {
    const std::vector<std::vector<double>> reps = overlapReplicates(samples, pairs, out.bootstrap, out.seed, threads);
    for (std::size_t k = 0; k < out.pairs.size(); ++k) {
      PairOverlap& p = out.pairs[k];
      p.interval = bootInterval(p.estimate, reps[k]);
      if (p.interval.replicates == 0)
        p.note = "no replicate gave both bandwidths";
      else if (!p.interval.percLow)
        p.note = "too few replicates for the percentile intervals";
    }
  }
  return out;
}

}  // namespace mv
