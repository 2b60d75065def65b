// The activity analysis of a run: from the start times of its independent
// events, each species' kernel density and activity level with a
// resampling interval, and the coefficient of overlap of every pair of the
// most recorded species with a smoothed-bootstrap interval. Times of day
// are the events' clock times as the study holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "circular/circular.hpp"
#include "events/events.hpp"

namespace mv {

// Collects the start time of every independent event by species, and hands
// each event on to `next` (when given).
class EventTimes final : public EventObserver {
 public:
  explicit EventTimes(EventObserver* next = nullptr) : next_(next) {}
  void eventClosed(const IndependentEvent& event) override;
  // Adds one event of species s (from 1) at a clock time.
  void add(int species, int hour, int minute, int second);
  // Times of day in radians of species s, in event order (empty when none).
  const std::vector<double>& of(int species) const;

 private:
  EventObserver* next_;
  std::vector<std::vector<double>> times_;
};

constexpr std::uint64_t kDefaultActivitySeed = 1;

struct ActivityOptions {
  int overlapSpecies = 10;  // species compared pairwise, most events first
  int bootstrap = 999;      // replicates of each interval; 0: no intervals
  std::uint64_t seed = kDefaultActivitySeed;
  int threads = 0;  // 0: one per core
};

// Species with fewer events than this are not compared.
constexpr int kOverlapMinEvents = 10;
// Points of the density curves written out: times of day 24 i / 512 hours.
constexpr int kDensityPoints = 512;

struct SpeciesActivity {
  int species = 0;  // number in the study, from 1
  int events = 0;
  // The kernel density (overlap rule bandwidth, adjust 1), per hour of day
  // at the kDensityPoints times; empty without a bandwidth.
  std::optional<double> bandwidth;
  std::vector<double> density;
  // The activity level with its own bandwidth and its resampling interval.
  std::optional<double> levelBandwidth, maxDensity, level;
  int replicates = 0;  // replicates that gave a level
  std::optional<double> se, low, high;
  std::string note;  // why values are missing
};

struct PairOverlap {
  int a = 0, b = 0;  // species numbers
  int nA = 0, nB = 0;
  double bwA = 0.0, bwB = 0.0;
  OverlapEstimates estimates;
  OverlapEstimator estimator = OverlapEstimator::Dhat1;
  double estimate = 0.0;
  BootInterval interval;
  std::string note;
};

struct ActivityAnalysis {
  std::vector<SpeciesActivity> species;  // every species of the study, in order
  std::vector<PairOverlap> pairs;        // most recorded species' pairs first
  int bootstrap = 0;
  std::uint64_t seed = 0;
};

ActivityAnalysis analyseActivity(const EventTimes& times, int speciesCount, const ActivityOptions& options);

const char* estimatorName(OverlapEstimator e);

}  // namespace mv
