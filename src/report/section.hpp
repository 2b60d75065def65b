// The pieces report sections share: the title line, the month rows with
// their year sums, and the order of groups by elevation.
#pragma once

#include <array>
#include <initializer_list>
#include <string_view>

#include "layout/layout.hpp"

namespace mv {

// A section's title: a report line of its own holding just the title, and
// the same words as the console's progress line.
void sectionTitle(Writer& report, Writer& console, std::string_view title);
// The same where the report's line differs from the console's (each keeps
// its own wording, spelling and blanks).
void sectionTitle(Writer& report, Writer& console, std::string_view reportLine, std::string_view consoleLine);

// Twelve monthly values, months 1..12 (slot 0 unused).
using Months = std::array<int, 13>;

// The sum of the twelve months: what a month row shows as its total.
int yearSum(const Months& months);

// A month header: the leading values, the twelve month names and "Total".
void monthHeader(Writer& report, std::string_view layout, std::initializer_list<Value> leading);

// A month row: the leading values (a label, a name, ...), the twelve months
// and their yearSum, or the `total` given where the row's total is counted
// apart from its months.
void monthRow(Writer& report, std::string_view layout, std::initializer_list<Value> leading, const Months& months);
void monthRow(Writer& report, std::string_view layout, std::initializer_list<Value> leading, const Months& months,
              int total);

}  // namespace mv
