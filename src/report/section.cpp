#include "report/section.hpp"

#include <vector>

#include "model/labels.hpp"

namespace mv {

void sectionTitle(Writer& report, Writer& console, std::string_view title) {
  sectionTitle(report, console, title, title);
}

void sectionTitle(Writer& report, Writer& console, std::string_view reportLine, std::string_view consoleLine) {
  // "(a)" takes the text at its own length, so no width is counted by hand.
  report.write("(a)", reportLine);
  console.free(consoleLine);
}

int yearSum(const Months& months) {
  int sum = 0;
  for (int m = 1; m <= 12; ++m) sum += months[m];
  return sum;
}

void monthHeader(Writer& report, std::string_view layout, std::initializer_list<Value> leading) {
  std::vector<Value> values(leading);
  for (int m = 1; m <= 12; ++m) values.emplace_back(monthName(m));
  values.emplace_back("Total");
  report.writeValues(layout, values);
}

void monthRow(Writer& report, std::string_view layout, std::initializer_list<Value> leading, const Months& months) {
  monthRow(report, layout, leading, months, yearSum(months));
}

void monthRow(Writer& report, std::string_view layout, std::initializer_list<Value> leading, const Months& months,
              int total) {
  std::vector<Value> values(leading);
  for (int m = 1; m <= 12; ++m) values.emplace_back(months[m]);
  values.emplace_back(total);
  report.writeValues(layout, values);
}

}  // namespace mv
