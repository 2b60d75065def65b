// The activity analysis of a large study: activity levels of every species
// with 999 resamples each and the overlap of the 45 pairs of the 10 most
// recorded species with 999 bootstrap replicates each, on every core.
//
// The study comes from morvelstrand-make-study (1,000,000 picture lines, 60
// groups, 80 species, 5 years; the same scratch folder as the page
// benchmark), read and taken through the independence rule at PERIOD 60;
// the species have from a few hundred to about 25,000 events.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "circular/analysis.hpp"
#include "events/events.hpp"
#include "input/input.hpp"
#include "io/console.hpp"
#include "model/study.hpp"

namespace {

struct Events {
  mv::Study st;
  mv::EventTimes times;
};

const Events& study() {
  static const std::unique_ptr<Events> events = [] {
    auto e = std::make_unique<Events>();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "morvelstrand-bench-60x80";
    if (!std::filesystem::exists(folder / "AllPictures.txt")) {
      const std::string command =
          std::string(MORVELSTRAND_MAKE_STUDY) + " '" + folder.string() + "' --pictures 1000000 > /dev/null";
      if (std::system(command.c_str()) != 0) std::abort();
    }
    std::ostringstream out;
    std::istringstream in;
    mv::Console console(out, in);
    mv::Study& st = e->st;
    static_cast<mv::StudyInput&>(st) = mv::readStudy(folder, console);
    mv::READALLPICTURES(st, st, folder, console);
    st.sizeTallies();
    mv::GETPERIOD(st, console, 60);
    mv::MOONPHASES(st, st);
    mv::READPICTURELIST(st, st, folder, &e->times);
    return e;
  }();
  return *events;
}

void counters(benchmark::State& state, const Events& e, int overlapSpecies) {
  int most = 0, all = 0;
  for (int s = 1; s <= e.st.NSPECIES; ++s) {
    const auto n = static_cast<int>(e.times.of(s).size());
    most = std::max(most, n);
    all += n;
  }
  state.counters["events"] = all;
  state.counters["most_events"] = most;
  state.counters["pairs"] = overlapSpecies * (overlapSpecies - 1) / 2;
}

// The whole analysis as a run with --tables or --html makes it.
void BM_ActivityAnalysis(benchmark::State& state) {
  const Events& e = study();
  mv::ActivityOptions o;
  o.bootstrap = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const mv::ActivityAnalysis a = mv::analyseActivity(e.times, e.st.NSPECIES, o);
    benchmark::DoNotOptimize(a.pairs.data());
  }
  counters(state, e, o.overlapSpecies);
}

// The overlap alone: no activity levels' resamples.
void BM_OverlapPairs(benchmark::State& state) {
  const Events& e = study();
  mv::EventTimes top;
  for (int s = 1; s <= 10; ++s)
    for (double t : e.times.of(s)) {
      const auto second = static_cast<int>(t / (2.0 * 3.141592653589793) * 86400.0 + 0.5);
      top.add(s, second / 3600, second / 60 % 60, second % 60);
    }
  mv::ActivityOptions o;
  o.bootstrap = 999;
  for (auto _ : state) {
    const mv::ActivityAnalysis a = mv::analyseActivity(top, 10, o);
    benchmark::DoNotOptimize(a.pairs.data());
  }
  counters(state, e, 10);
}

BENCHMARK(BM_ActivityAnalysis)->Arg(999)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OverlapPairs)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
