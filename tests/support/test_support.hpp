// Shared helpers for the tests: a temporary folder per test, file access,
// and in-memory report/console writers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "layout/layout.hpp"

namespace mvtest {

// A fresh folder removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& text);
std::string readFile(const std::filesystem::path& path);
// The file split into lines at CR LF (a final CR LF ends the last line).
std::vector<std::string> readLines(const std::filesystem::path& path);
// Text with LF line ends turned into CR LF.
std::string crlf(const std::string& text);

// Lines written through a Writer, kept in memory.
struct Capture {
  mv::VectorSink sink;
  mv::Writer writer{sink};
  std::vector<std::string>& lines() { return sink.lines; }
};

// Runs one report section on in-memory writers, as `section(report,
// console)`: returns the report's lines, and puts the console's in
// *consoleLines when asked.
template <class Section>
std::vector<std::string> runSection(Section&& section, std::vector<std::string>* consoleLines = nullptr) {
  Capture report;
  Capture console;
  std::forward<Section>(section)(report.writer, console.writer);
  if (consoleLines) *consoleLines = console.lines();
  return report.lines();
}

// Renders one layout with values into lines (the layout checked at compile time).
template <class... A>
std::vector<std::string> lines(mv::LayoutString<A...> layout, const A&... args) {
  Capture c;
  c.writer.write(layout, args...);
  return c.sink.lines;
}

// The same with the layout checked only by the renderer, at run time.
template <class... A>
std::vector<std::string> runtimeLines(std::string_view layout, const A&... args) {
  Capture c;
  const mv::Value values[] = {mv::Value(args)..., mv::Value(0)};
  c.writer.writeValues(layout, std::span<const mv::Value>(values, sizeof...(A)));
  return c.sink.lines;
}

template <class... A>
std::vector<std::string> freeLines(const A&... args) {
  Capture c;
  c.writer.free(args...);
  return c.sink.lines;
}

}  // namespace mvtest
