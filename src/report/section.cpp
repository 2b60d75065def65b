#include "report/section.hpp"

#include <span>
#include <stdexcept>
#include <utility>

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

namespace {

// The values of a month header or row: the leading ones, twelve months and
// a last one, on the stack (a report can hold a million month rows).
class MonthValues {
 public:
  explicit MonthValues(std::initializer_list<Value> leading) {
    if (leading.size() > kLeading) throw std::logic_error("too many leading values for a month row");
    for (const Value& v : leading) values_[size_++] = v;
  }
  void add(const Value& v) { values_[size_++] = v; }
  std::span<const Value> values() const { return {values_.data(), size_}; }

 private:
  static constexpr std::size_t kLeading = 4;
  template <std::size_t... I>
  static std::array<Value, sizeof...(I)> zeros(std::index_sequence<I...>) {
    return {((void)I, Value(0))...};
  }
  std::array<Value, kLeading + 13> values_ = zeros(std::make_index_sequence<kLeading + 13>());
  std::size_t size_ = 0;
};

}  // namespace

void monthHeader(Writer& report, std::string_view layout, std::initializer_list<Value> leading) {
  MonthValues values(leading);
  for (int m = 1; m <= 12; ++m) values.add(monthName(m));
  values.add("Total");
  report.writeValues(layout, values.values());
}

void monthRow(Writer& report, std::string_view layout, std::initializer_list<Value> leading, const Months& months) {
  monthRow(report, layout, leading, months, yearSum(months));
}

void monthRow(Writer& report, std::string_view layout, std::initializer_list<Value> leading, const Months& months,
              int total) {
  MonthValues values(leading);
  for (int m = 1; m <= 12; ++m) values.add(months[m]);
  values.add(total);
  report.writeValues(layout, values.values());
}

}  // namespace mv
