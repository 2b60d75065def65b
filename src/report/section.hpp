// The pieces report sections share: the title line, the month rows with
// their year sums, and the order of groups by elevation.
#pragma once

#include <string_view>

#include "layout/layout.hpp"

namespace mv {

// A section's title: a report line of its own holding just the title, and
// the same words as the console's progress line.
void sectionTitle(Writer& report, Writer& console, std::string_view title);
// The same where the report's line differs from the console's (each keeps
// its own wording, spelling and blanks).
void sectionTitle(Writer& report, Writer& console, std::string_view reportLine, std::string_view consoleLine);

}  // namespace mv
