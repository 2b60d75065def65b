// The position and elevation of every group: integer averages over its
// camera locations.
#include <cstdint>
#include <utility>
#include <vector>

#include "effort/effort.hpp"
#include "report/section.hpp"

namespace mv {

void GROUPUTMELEV(const StudyInput& st, GroupPositions& positions, Writer& report, Writer& console) {
  for (int g = 1; g <= st.NGROUPS; ++g) {
    positions.GROUPUTM(g, 1) = 0;
    positions.GROUPUTM(g, 2) = 0;
    positions.GROUPELEV(g) = 0;
  }
  sectionTitle(report, console, "GROUP UTM AND ELEVATION AVERAGES");
  report.write("(a51)", "Group                          UTM        Elevation");
  for (int g = 1; g <= st.NGROUPS; ++g) {
    // Only a location with both coordinates and an elevation counts, for the
    // position as well as for the elevation. The sums are 64-bit so large
    // groups at north-south values of millions of metres cannot overflow.
    std::int64_t east = 0;
    std::int64_t north = 0;
    std::int64_t elev = 0;
    std::int64_t count = 0;
    for (int k = 1; k <= st.GROUPSIZE(g); ++k) {
      const int loc = st.GROUPLOCATIONS(g, k);
      if (st.LOCATIONUTM(loc, 1) != 0 && st.LOCATIONUTM(loc, 2) != 0 && st.LOCATIONELEV(loc) != 0) {
        east += st.LOCATIONUTM(loc, 1);
        north += st.LOCATIONUTM(loc, 2);
        elev += st.LOCATIONELEV(loc);
        ++count;
      }
    }
    if (count > 0) {
      // Integer division: the quotient is cut toward zero.
      positions.GROUPUTM(g, 1) = static_cast<int>(east / count);
      positions.GROUPUTM(g, 2) = static_cast<int>(north / count);
      positions.GROUPELEV(g) = static_cast<int>(elev / count);
    }
    report.write("(a25,2x,i6,1x,i7,3x,i5)", st.GROUPNAME(g), positions.GROUPUTM(g, 1), positions.GROUPUTM(g, 2),
                 positions.GROUPELEV(g));
  }
  report.blank();
}

std::vector<int> elevationOrder(const StudyInput& st, const GroupPositions& positions, ElevationOrder direction) {
  const auto before = [&](int a, int b) {
    return direction == ElevationOrder::HighestFirst ? positions.GROUPELEV(a) > positions.GROUPELEV(b)
                                                     : positions.GROUPELEV(a) < positions.GROUPELEV(b);
  };
  const auto n = static_cast<std::size_t>(st.NGROUPS);
  std::vector<int> order(n);
  for (std::size_t k = 0; k < n; ++k) order[k] = static_cast<int>(k) + 1;
  for (std::size_t i = 0; i + 1 < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j)
      if (before(order[j], order[i])) std::swap(order[i], order[j]);
  return order;
}

}  // namespace mv
