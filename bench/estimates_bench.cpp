// The estimates of a study of 80 species x 60 groups x 260 weekly occasions:
// both occupancy models, the abundance index and richness, as a run with
// --tables makes them once its tables are written.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "estimates/estimates.hpp"
#include "support/random.hpp"

namespace {

struct Study {
  std::vector<std::vector<mv::SiteHistory>> history;
  std::vector<std::vector<long long>> events;
  std::vector<long long> trapDays;
};

// Occupancy from 0.2 to 0.9 and weekly detection from 0.02 to 0.3, drawn
// per species; about a tenth of the weeks without camera trap days.
Study makeStudy(int species, int groups, int occasions) {
  mvtest::Random random{42};
  Study s;
  s.history.assign(static_cast<std::size_t>(species), std::vector<mv::SiteHistory>(static_cast<std::size_t>(groups)));
  s.events.assign(static_cast<std::size_t>(species), std::vector<long long>(static_cast<std::size_t>(groups), 0));
  std::vector<std::vector<char>> worked(static_cast<std::size_t>(groups),
                                        std::vector<char>(static_cast<std::size_t>(occasions)));
  for (auto& g : worked)
    for (auto& o : g) o = random.next() < 0.9;
  for (int g = 0; g < groups; ++g) {
    long long days = 0;
    for (char o : worked[static_cast<std::size_t>(g)]) days += o ? 7 : 0;
    s.trapDays.push_back(days);
  }
  for (std::size_t k = 0; k < s.history.size(); ++k) {
    const double psi = 0.2 + 0.7 * random.next();
    const double p = 0.02 + 0.28 * random.next();
    for (std::size_t g = 0; g < s.history[k].size(); ++g) {
      const bool occupied = random.next() < psi;
      for (char o : worked[g]) {
        if (!o) continue;
        ++s.history[k][g].surveyed;
        if (occupied && random.next() < p) {
          ++s.history[k][g].detected;
          s.events[k][g] += 1 + static_cast<long long>(random.next() * 3.0);
        }
      }
    }
  }
  return s;
}

void BM_StudyEstimates(benchmark::State& state) {
  const Study study = makeStudy(80, 60, 260);
  for (auto _ : state) {
    const mv::StudyEstimates e = mv::estimateStudy(study.history, study.events, study.trapDays);
    benchmark::DoNotOptimize(e.species.data());
  }
  state.SetLabel("80 species x 60 groups x 260 occasions");
}
BENCHMARK(BM_StudyEstimates)->Unit(benchmark::kMillisecond);

}  // namespace
