// Micro-benchmarks of the per-picture hot paths: reading and checking the
// lines of AllPictures.txt (and writing the picture list), and the picture
// list itself, written and read back, in memory and through its file.
//
// The study comes from morvelstrand-make-study (100,000 picture lines, 60
// groups, 80 species, 5 years), generated once into a scratch folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "events/events.hpp"
#include "input/input.hpp"
#include "input/picture_list.hpp"
#include "io/console.hpp"
#include "io/sinks.hpp"
#include "model/study.hpp"

namespace {

constexpr long kPictures = 100000;

// The generated study folder, read up to the picture lines.
struct Fixture {
  std::filesystem::path folder;
  mv::Study st;
  std::ostringstream out;
  std::istringstream in;
  mv::Console console{out, in};

  Fixture() {
    folder = std::filesystem::temp_directory_path() / "morvelstrand-bench-study";
    if (!std::filesystem::exists(folder / "AllPictures.txt")) {
      const std::string command = std::string(MORVELSTRAND_MAKE_STUDY) + " '" + folder.string() + "' --pictures " +
                                  std::to_string(kPictures) + " > /dev/null";
      if (std::system(command.c_str()) != 0) std::abort();
    }
    static_cast<mv::StudyInput&>(st) = mv::readStudy(folder, console);
    mv::READALLPICTURES(st, st, folder, console);  // FinalPicsList.txt for the benchmarks below
    st.sizeTallies();
    st.PERIOD = 60;
    mv::MOONPHASES(st, st);
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

// The picture list's lines, read once into memory.
const std::vector<std::string>& listLines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> v;
    mv::FileLines file;
    if (!file.open(fixture().folder / "FinalPicsList.txt")) std::abort();
    std::string_view line;
    while (file.nextView(line)) v.emplace_back(line);
    return v;
  }();
  return lines;
}

// AllPictures.txt read, every line checked, FinalPicsList.txt and Reject.txt
// written: READALLPICTURES as the run calls it.
void BM_ReadAllPictures(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    f.out.str({});
    mv::READALLPICTURES(f.st, f.st, f.folder, f.console);
  }
  state.SetItemsProcessed(state.iterations() * f.st.NPROCESSED);
}
BENCHMARK(BM_ReadAllPictures)->Unit(benchmark::kMillisecond);

// One picture-list line formatted, in memory.
void BM_PictureListFormat(benchmark::State& state) {
  const std::vector<std::string>& lines = listLines();
  std::vector<mv::ListedPicture> pictures;
  for (const std::string& l : lines) {
    mv::ListedPicture p;
    mv::parseListedPicture(l, p);
    pictures.push_back({p.group, p.species, p.year, p.month, p.day, p.hour, p.minute, p.second, p.individuals,
                        p.dayNumber, p.hourNumber, p.minuteNumber});
  }
  std::string line;
  std::size_t k = 0;
  for (auto _ : state) {
    mv::formatListedPicture(pictures[k], line);
    benchmark::DoNotOptimize(line.data());
    if (++k == pictures.size()) k = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PictureListFormat);

// One picture-list line parsed, in memory.
void BM_PictureListParse(benchmark::State& state) {
  const std::vector<std::string>& lines = listLines();
  mv::ListedPicture p;
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(mv::parseListedPicture(lines[k], p));
    if (++k == lines.size()) k = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PictureListParse);

// The whole picture list formatted and written through the file sink.
void BM_PictureListWrite(benchmark::State& state) {
  const std::vector<std::string>& lines = listLines();
  std::vector<mv::ListedPicture> pictures;
  for (const std::string& l : lines) {
    mv::ListedPicture p;
    mv::parseListedPicture(l, p);
    pictures.push_back({p.group, p.species, p.year, p.month, p.day, p.hour, p.minute, p.second, p.individuals,
                        p.dayNumber, p.hourNumber, p.minuteNumber});
  }
  const std::filesystem::path path = fixture().folder / "BenchList.txt";
  std::string line;
  for (auto _ : state) {
    mv::FileSink file;
    if (!file.open(path)) std::abort();
    for (const mv::ListedPicture& p : pictures) {
      mv::formatListedPicture(p, line);
      file.line(line);
    }
    if (!file.close()) std::abort();
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(pictures.size()));
}
BENCHMARK(BM_PictureListWrite)->Unit(benchmark::kMillisecond);

// FinalPicsList.txt read back and counted into the tallies: READPICTURELIST.
void BM_PictureListReadBack(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    state.PauseTiming();
    f.st.sizeTallies();
    mv::MOONPHASES(f.st, f.st);
    state.ResumeTiming();
    mv::READPICTURELIST(f.st, f.st, f.folder);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(listLines().size()));
}
BENCHMARK(BM_PictureListReadBack)->Unit(benchmark::kMillisecond);

}  // namespace
