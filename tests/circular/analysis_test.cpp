#include "circular/analysis.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "circular/tiny_reference.hpp"

namespace {

TEST(EventTimes, ClockTimesAsAnglesAndHandedOn) {
  struct Counter final : mv::EventObserver {
    int events = 0;
    void eventClosed(const mv::IndependentEvent&) override { ++events; }
  } counter;
  mv::EventTimes times(&counter);
  mv::IndependentEvent e;
  e.start.species = 2;
  e.start.hour = 18;
  e.start.minute = 0;
  e.start.second = 0;
  times.eventClosed(e);
  e.start.hour = 0;
  times.eventClosed(e);
  EXPECT_EQ(counter.events, 2);
  ASSERT_EQ(times.of(2).size(), 2u);
  EXPECT_DOUBLE_EQ(times.of(2)[0], 1.5 * M_PI);
  EXPECT_DOUBLE_EQ(times.of(2)[1], 0.0);
  EXPECT_TRUE(times.of(1).empty());
  EXPECT_TRUE(times.of(99).empty());
  EXPECT_TRUE(times.of(0).empty());
}

mv::ActivityAnalysis tinyAnalysis(int overlapSpecies, int bootstrap) {
  mv::ActivityOptions o;
  o.overlapSpecies = overlapSpecies;
  o.bootstrap = bootstrap;
  o.seed = 5;
  o.threads = 2;
  return mv::analyseActivity(mvtest::tinyEventTimes(), 6, o);
}

TEST(ActivityAnalysis, EverySpeciesWithItsReasonWhenValuesAreMissing) {
  const mv::ActivityAnalysis a = tinyAnalysis(10, 40);
  ASSERT_EQ(a.species.size(), 6u);
  // Alpha 12, Beta 12, Gamma 18, Delta 1, Epsilon 0, Zeta 2 events.
  const int events[] = {12, 12, 18, 1, 0, 2};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(a.species[i].events, events[i]);
  const mv::SpeciesActivity& delta = a.species[3];
  EXPECT_EQ(delta.note, "one event");
  EXPECT_FALSE(delta.bandwidth || delta.level || delta.se);
  EXPECT_TRUE(delta.density.empty());
  EXPECT_EQ(a.species[4].note, "no events");
  // Two events: a level and its interval; the upper end is the estimate.
  const mv::SpeciesActivity& zeta = a.species[5];
  EXPECT_EQ(zeta.note, "");
  ASSERT_TRUE(zeta.level && zeta.high && zeta.low);
  EXPECT_NEAR(*zeta.level, 0.073900549503001955, 1e-9);
  EXPECT_NEAR(*zeta.high, *zeta.level, 1e-12);
  EXPECT_EQ(zeta.replicates, 40);
  // Densities per hour integrate to 1 over the day.
  for (const mv::SpeciesActivity& s : a.species) {
    if (s.density.empty()) continue;
    ASSERT_EQ(s.density.size(), static_cast<std::size_t>(mv::kDensityPoints));
    const double sum = std::accumulate(s.density.begin(), s.density.end(), 0.0) * 24.0 / mv::kDensityPoints;
    EXPECT_NEAR(sum, 1.0, 1e-9) << s.species;
  }
}

TEST(ActivityAnalysis, AllEventsAtOneTimeGiveNoValues) {
  mv::EventTimes times;
  for (int i = 0; i < 12; ++i) times.add(1, 5, 30, 0);
  for (int i = 0; i < 12; ++i) times.add(2, 6 + i, 0, 0);
  const mv::ActivityAnalysis a = mv::analyseActivity(times, 2, {});
  EXPECT_EQ(a.species[0].note, "all events at one time of day");
  EXPECT_FALSE(a.species[0].level || a.species[0].bandwidth);
  // Without a bandwidth it is compared with nothing.
  EXPECT_TRUE(a.pairs.empty());
}

TEST(ActivityAnalysis, PairsOfTheMostRecordedSpeciesOnly) {
  // Species with at least 10 events: Gamma (18), then Alpha and Beta (12).
  mv::ActivityAnalysis a = tinyAnalysis(10, 0);
  ASSERT_EQ(a.pairs.size(), 3u);
  EXPECT_EQ(a.pairs[0].a, 3);
  EXPECT_EQ(a.pairs[0].b, 1);
  EXPECT_EQ(a.pairs[1].a, 3);
  EXPECT_EQ(a.pairs[1].b, 2);
  EXPECT_EQ(a.pairs[2].a, 1);
  EXPECT_EQ(a.pairs[2].b, 2);
  // No bootstrap: estimates without intervals.
  EXPECT_EQ(a.pairs[2].interval.replicates, 0);
  EXPECT_FALSE(a.pairs[2].interval.basic0Low);
  EXPECT_NEAR(a.pairs[2].estimate, 0.10871712438434514, 1e-9);
  EXPECT_EQ(a.pairs[2].estimator, mv::OverlapEstimator::Dhat1);
  EXPECT_EQ(a.pairs[2].note, "");

  a = tinyAnalysis(2, 0);
  ASSERT_EQ(a.pairs.size(), 1u);
  EXPECT_EQ(a.pairs[0].a, 3);
  EXPECT_EQ(a.pairs[0].b, 1);
  EXPECT_TRUE(tinyAnalysis(1, 0).pairs.empty());
  EXPECT_TRUE(tinyAnalysis(0, 0).pairs.empty());
}

TEST(ActivityAnalysis, ReproducibleForASeedWhateverTheThreads) {
  mv::ActivityOptions o;
  o.bootstrap = 60;
  o.seed = 77;
  o.threads = 1;
  const mv::ActivityAnalysis one = mv::analyseActivity(mvtest::tinyEventTimes(), 6, o);
  o.threads = 3;
  const mv::ActivityAnalysis three = mv::analyseActivity(mvtest::tinyEventTimes(), 6, o);
  ASSERT_EQ(one.pairs.size(), three.pairs.size());
  for (std::size_t i = 0; i < one.pairs.size(); ++i) {
    EXPECT_EQ(one.pairs[i].interval.basic0Low, three.pairs[i].interval.basic0Low);
    EXPECT_EQ(one.pairs[i].interval.percHigh, three.pairs[i].interval.percHigh);
  }
  for (std::size_t i = 0; i < one.species.size(); ++i) EXPECT_EQ(one.species[i].low, three.species[i].low);
  // 60 replicates: (R + 1) alpha > 1, so the percentile intervals exist.
  EXPECT_TRUE(one.pairs[0].interval.basic0Low && one.pairs[0].interval.basic0High);
}

}  // namespace
