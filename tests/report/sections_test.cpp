#include "report/sections.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Sections of very different sizes, each writing report and console lines
// that name it, so any line out of order or lost shows.
std::vector<mv::ReportSection> numberedSections(int count) {
  std::vector<mv::ReportSection> sections;
  for (int k = 0; k < count; ++k)
    sections.push_back([k](mv::Writer& report, mv::Writer& console) {
      console.free("SECTION " + std::to_string(k));
      const int lines = (k % 3 == 0) ? 40000 : k * 7;
      for (int n = 0; n < lines; ++n) report.free("section " + std::to_string(k) + " line " + std::to_string(n));
      console.free("END " + std::to_string(k));
    });
  return sections;
}

struct Output {
  mv::VectorSink reportSink;
  mv::VectorSink consoleSink;
  mv::Writer report{reportSink};
  mv::Writer console{consoleSink};
};

}  // namespace

// On several threads, with little room ahead of the section due next (so
// that threads wait for their turn), the lines are those of one section
// after another.
TEST(ReportSections, ThreadsWriteExactlyTheLinesOfOneAfterAnother) {
  const std::vector<mv::ReportSection> sections = numberedSections(12);
  Output serial;
  mv::runSections(sections, serial.report, serial.console, mv::SectionRunning{1});
  for (const int threads : {2, 3}) {
    Output parallel;
    mv::runSections(sections, parallel.report, parallel.console, mv::SectionRunning{threads, 100000});
    EXPECT_EQ(parallel.reportSink.lines, serial.reportSink.lines) << threads;
    EXPECT_EQ(parallel.consoleSink.lines, serial.consoleSink.lines) << threads;
  }
}

// A failing section ends the run there: what came before is written,
// nothing after it, and its exception reaches the caller.
TEST(ReportSections, FailureStopsAfterTheSectionsBeforeIt) {
  std::vector<mv::ReportSection> sections = numberedSections(6);
  sections[3] = [](mv::Writer& report, mv::Writer&) {
    report.free("partial");
    throw std::runtime_error("disk gone");
  };
  Output out;
  EXPECT_THROW(mv::runSections(sections, out.report, out.console, mv::SectionRunning{2, 1000}), std::runtime_error);
  ASSERT_FALSE(out.consoleSink.lines.empty());
  EXPECT_EQ(out.consoleSink.lines.back(), " END 2");
  EXPECT_EQ(out.reportSink.lines.back(), " partial");
}
