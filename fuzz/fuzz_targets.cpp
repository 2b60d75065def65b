#include "fuzz_targets.hpp"

#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "events/events.hpp"
#include "input/input.hpp"
#include "layout/layout.hpp"

namespace fs = std::filesystem;

namespace mvfuzz {

namespace {

// One scratch folder per process, emptied before each input.
const fs::path& scratch() {
  static const fs::path dir = [] {
    fs::path p = fs::temp_directory_path() / ("morvelstrand-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
  }();
  for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());
  return dir;
}

void put(const fs::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

const char* const kInput =
    "Fuzz study\r\n2\r\nRidge A                   512340 4012200  1450\r\n1\r\n2010 3 15 2011 6 30\r\n"
    "Creek B                   515100 4009800   980\r\n1\r\n2010 4 1 2010 12 31\r\n2\r\nPuma\r\nBobcat\r\n";
const char* const kMap = "Ridge A                   North\r\nCreek B                   East\r\n";

struct Reading {
  mv::Study st;
  std::istringstream in;
  std::ostringstream out;
  mv::Console console{out, in};
};

void readStudy(Reading& r, const fs::path& dir, bool withMap) {
  mv::READINPUTPARAMETERS(r.st, dir, r.console);
  r.st.sizeLocationTables();
  mv::READINPUT(r.st, dir, r.console);
  mv::STARTSTOPDAYS(r.st, r.console);
  r.st.sizeLocationTrapDays();
  if (!withMap) return;
  mv::GETNUMBEROFLOCATIONS(r.st, dir, r.console);
  r.st.sizeMapTables();
  mv::READGROUPMAP(r.st, dir, r.console);
  r.st.sizeGroupTables();
  mv::CREATESHORTGROUPLIST(r.st);
}

// The leading number of `text` after blanks, when it is within [lo, hi];
// `text` moves past it.
int number(std::string_view& text, int lo, int hi, int fallback) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc()) return fallback;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value >= lo && value <= hi ? value : fallback;
}

std::vector<std::string_view> split(std::string_view data, char sep, std::size_t parts) {
  std::vector<std::string_view> out;
  while (out.size() + 1 < parts) {
    const std::size_t k = data.find(sep);
    if (k == std::string_view::npos) break;
    out.push_back(data.substr(0, k));
    data.remove_prefix(k + 1);
  }
  out.push_back(data);
  while (out.size() < parts) out.emplace_back();
  return out;
}

}  // namespace

void layoutReader(std::string_view data) {
  static const char* const kLayouts[] = {"(a75)",        "(a25,1x,i6,1x,i7,1x,i5)", "(a25)",
                                         "(a25,1x,a25)", "(2(a25,1x),i4,6(1x,i2))", "(2(i3,1x),i4,6(1x,i2),3(1x,i7))"};
  const auto parts = split(data, '\n', 2);
  // The first line, taken as a layout text, must parse or be refused cleanly.
  try {
    const mv::Layout layout(parts[0]);
    mv::VectorSink sink;
    std::vector<mv::Value> values;
    for (std::size_t k = 0; k < 8; ++k) values.emplace_back(static_cast<std::int32_t>(k * 7919 - 20000));
    try {
      mv::render(layout, values, sink);
    } catch (const std::logic_error&) {
    }
    (void)mv::readFixed(layout, parts[1]);
  } catch (const std::logic_error&) {
  }
  for (const char* text : kLayouts) {
    const auto fields = mv::readFixed(mv::Layout::of(text), parts[1]);
    for (const auto& f : fields)
      if (!f.isInt) (void)mv::fitString(f.text, static_cast<int>(f.text.size()), 25);
  }
}

void inputFile(std::string_view data) {
  const fs::path& dir = scratch();
  put(dir / "Input.txt", data);
  Reading r;
  try {
    readStudy(r, dir, false);
  } catch (const mv::RunEnded&) {
  }
}

void groupMap(std::string_view data) {
  const fs::path& dir = scratch();
  put(dir / "Input.txt", kInput);
  put(dir / "GroupMap.txt", data);
  Reading r;
  try {
    readStudy(r, dir, true);
  } catch (const mv::RunEnded&) {
  }
}

void allPictures(std::string_view data) {
  const fs::path& dir = scratch();
  put(dir / "Input.txt", kInput);
  put(dir / "GroupMap.txt", kMap);
  put(dir / "AllPictures.txt", data);
  Reading r;
  try {
    readStudy(r, dir, true);
    mv::READALLPICTURES(r.st, r.st, dir, r.console);
    r.st.sizeTallies();
    r.st.PERIOD = 60;
    mv::MOONPHASES(r.st, r.st);
    mv::READPICTURELIST(r.st, r.st, dir);
  } catch (const mv::RunEnded&) {
  }
}

void wholeRun(std::string_view data) {
  const fs::path& dir = scratch();
  const auto parts = split(data, '\x01', 4);
  put(dir / "Input.txt", parts[0]);
  put(dir / "GroupMap.txt", parts[1]);
  put(dir / "AllPictures.txt", parts[2]);
  std::istringstream in{std::string(parts[3])};
  std::ostringstream out;
  mv::RunOptions options;
  options.date = mv::LocalDate{2026, 12, 8};
  (void)mv::run(dir, in, out, options);
}

void tablesAndPage(std::string_view data) {
  const fs::path& dir = scratch();
  const auto parts = split(data, '\x01', 4);
  put(dir / "Input.txt", parts[0]);
  put(dir / "GroupMap.txt", parts[1]);
  put(dir / "AllPictures.txt", parts[2]);
  std::string_view numbers = parts[3];
  std::istringstream in;
  std::ostringstream out;
  mv::RunOptions options;
  options.date = mv::LocalDate{2026, 12, 8};
  options.period = number(numbers, 1, 1440, 60);
  options.occasionDays = number(numbers, 1, 100000, 7);
  options.console.noWait = true;
  options.console.quiet = true;
  options.err = &out;
  options.tables = dir / "tables";
  options.html = dir / "page.html";
  (void)mv::run(dir, in, out, options);
}

}  // namespace mvfuzz
