#include "report/pair_table.hpp"

#include <algorithm>
#include <vector>

namespace mv {

void printPairTable(const StudyInput& st, const Table<float, 2>& cells, std::string_view headerLayout,
                    std::string_view rowLayout, Writer& report) {
  constexpr int B = 10;
  const int n = st.NGROUPS;
  const int blocks = (n - 1) / B + 1;
  std::vector<Value> values;
  for (int r = 1; r <= blocks; ++r) {
    const int rowFirst = (r - 1) * B + 1;
    const int rowLast = std::min(r * B, n - 1);
    for (int c = r; c <= blocks; ++c) {
      // Column groups start one after the row groups: only i < j is printed.
      const int colFirst = (c - 1) * B + 2;
      const int colLast = std::min(c * B + 1, n);
      if (colFirst > colLast) continue;
      values.clear();
      values.emplace_back("Locations");
      for (int j = colFirst; j <= colLast; ++j) values.emplace_back(st.GROUPNAME(j));
      report.writeValues(headerLayout, values);
      for (int i = rowFirst; i <= rowLast; ++i) {
        values.clear();
        values.emplace_back(st.GROUPNAME(i));
        for (int j = colFirst; j <= colLast; ++j) values.emplace_back(cells(i, j));
        report.writeValues(rowLayout, values);
      }
      report.blank();
    }
  }
}

}  // namespace mv
