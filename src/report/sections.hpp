// The report's later sections, which only read the finished tables, written
// on several threads at once: each section renders into its own buffer and
// the buffers reach the report and the console in the sections' order, so
// both come out exactly as from one section after another.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <utility>

#include "layout/layout.hpp"

namespace mv {

// One section: writes its lines to the report and its progress lines to the
// console it is given. It must only read shared data.
using ReportSection = std::function<void(Writer& report, Writer& console)>;

// A side step among the sections: it fills tables that later stages read
// and writes only progress lines to the console, never report lines. It
// runs beside the sections before it (so it must not write what they read),
// its console lines coming out in its place.
inline ReportSection sideStep(std::function<void(Writer& console)> step) {
  return [step = std::move(step)](Writer&, Writer& console) { step(console); };
}

struct SectionRunning {
  // Threads that render sections; 1 runs them one after another straight
  // into the report and the console.
  int threads = 1;
  // Output a section that is not yet due may hold in memory before its
  // thread waits for its turn; the section due next never waits.
  std::size_t aheadBytes = std::size_t{64} << 20;
};

// Runs the sections. An exception from a section is thrown here once the
// sections before it are written; nothing after it is written then.
void runSections(std::span<const ReportSection> sections, Writer& report, Writer& console, const SectionRunning& how);

}  // namespace mv
