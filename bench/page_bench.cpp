// The HTML page of a finished run: built in memory, and written to a file
// (temporary name and rename), with the page size as a counter.
//
// Studies from morvelstrand-make-study, generated once into scratch folders
// and run through every step of the driver (report lines discarded):
//   Page/60x80   1,000,000 picture lines, 60 groups, 80 species, 5 years
//   Page/999x200   200,000 picture lines, 999 groups, 200 species, 2 years
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "abundance/abundance.hpp"
#include "activity/activity.hpp"
#include "community/community.hpp"
#include "effort/effort.hpp"
#include "events/events.hpp"
#include "input/input.hpp"
#include "io/console.hpp"
#include "io/sinks.hpp"
#include "model/study.hpp"
#include "page/page.hpp"
#include "report/report.hpp"
#include "tallies/tallies.hpp"

namespace {

class NullSink final : public mv::LineSink {
 public:
  void line(std::string_view) override {}
};

struct Finished {
  std::filesystem::path folder;
  mv::Study st;
};

// A generated study taken through the whole run.
std::unique_ptr<Finished> finishedRun(const std::string& name, const std::string& options) {
  auto f = std::make_unique<Finished>();
  f->folder = std::filesystem::temp_directory_path() / ("morvelstrand-bench-" + name);
  if (!std::filesystem::exists(f->folder / "AllPictures.txt")) {
    const std::string command =
        std::string(MORVELSTRAND_MAKE_STUDY) + " '" + f->folder.string() + "' " + options + " > /dev/null";
    if (std::system(command.c_str()) != 0) std::abort();
  }
  std::ostringstream out;
  std::istringstream in;
  mv::Console console(out, in);
  NullSink sink;
  mv::Writer report(sink);
  mv::Writer& con = console.out();
  mv::Study& st = f->st;
  const std::filesystem::path& folder = f->folder;
  static_cast<mv::StudyInput&>(st) = mv::readStudy(folder, console);
  mv::READALLPICTURES(st, st, folder, console);
  st.sizeTallies();
  mv::GETPERIOD(st, console, 60);
  mv::MOONPHASES(st, st);
  mv::READPICTURELIST(st, st, folder);
  st.sizeGroupDates();
  mv::GROUPSTARTSTOP(st, st, con);
  st.sizeLocationTrapDays();
  mv::CAMERATRAPEFFORT(st, st, con);
  st.sizeGroupTrapDays();
  mv::GROUPCTDAYS(st, st, con);
  st.sizeGroupPositions();
  mv::GROUPUTMELEV(st, st, report, con);
  return f;
}

Finished& study(const std::string& name) {
  static std::map<std::string, std::unique_ptr<Finished>> studies;
  auto& f = studies[name];
  if (!f) {
    f = name == "60x80" ? finishedRun(name, "--pictures 1000000")
                        : finishedRun(name, "--pictures 200000 --groups 999 --species 200 --years 2");
  }
  return *f;
}

void BM_HtmlPage(benchmark::State& state, const std::string& name) {
  const Finished& f = study(name);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string html = mv::htmlPage(f.st, f.st, f.st, f.st);
    bytes = html.size();
    benchmark::DoNotOptimize(html.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_WriteHtmlPage(benchmark::State& state, const std::string& name) {
  const Finished& f = study(name);
  const std::filesystem::path page = f.folder / "page.html";
  for (auto _ : state) {
    std::string error;
    if (!mv::writeHtmlPage(f.st, f.st, f.st, f.st, page, error)) state.SkipWithError(error.c_str());
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(page));
}

BENCHMARK_CAPTURE(BM_HtmlPage, 60x80, std::string("60x80"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteHtmlPage, 60x80, std::string("60x80"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HtmlPage, 999x200, std::string("999x200"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteHtmlPage, 999x200, std::string("999x200"))->Unit(benchmark::kMillisecond);

}  // namespace
