#include "report/section.hpp"

namespace mv {

void sectionTitle(Writer& report, Writer& console, std::string_view title) { sectionTitle(report, console, title, title); }

void sectionTitle(Writer& report, Writer& console, std::string_view reportLine, std::string_view consoleLine) {
  // "(a)" takes the text at its own length, so no width is counted by hand.
  report.write("(a)", reportLine);
  console.free(consoleLine);
}

}  // namespace mv
