#include <string_view>
#include <vector>

#include "report/section.hpp"
#include "tallies/tallies.hpp"

namespace mv {

namespace {

// Independent pictures of all species at one group in each month of a year.
Months groupMonths(const StudyInput& st, const PictureTallies& tallies, int g, int y) {
  Months m{};
  for (int s = 1; s <= st.NSPECIES; ++s)
    for (int k = 1; k <= 12; ++k) m[k] += tallies.PICCOUNT(g, s, y, k, kIndependentPictures);
  return m;
}

// Pictures per camera trap day for each month and for the whole span; a month
// (or span) without camera trap days shows 0.00.
void rateLine(Writer& report, const Months& pictures, const Months& days) {
  std::vector<Value> values;
  values.emplace_back("Pictures/day");
  for (int m = 1; m <= 12; ++m)
    values.emplace_back(days[m] > 0 ? static_cast<float>(pictures[m]) / static_cast<float>(days[m]) : 0.0f);
  const int allPictures = yearSum(pictures);
  const int allDays = yearSum(days);
  values.emplace_back(allDays > 0 ? static_cast<float>(allPictures) / static_cast<float>(allDays) : 0.0f);
  report.writeValues("(a12,15x,12(f5.2,1x),2x,f5.2)", values);
}

}  // namespace

void GROUPSBYMONTH(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                   Writer& console) {
  // The report's title ends in a blank.
  sectionTitle(report, console, "PICTURES FOR EACH GROUP BY MONTH AND YEAR ",
               "PICTURES FOR EACH GROUP BY MONTH AND YEAR");
  report.write("(a42)", "  Number of independent pictures per group");

  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    report.write("(i4)", y);
    monthHeader(report, "(a8,21x,12(a3,3x),a5)", {"Location"});
    Months pictures{};
    Months days{};
    for (int g = 1; g <= st.NGROUPS; ++g) {
      const Months counts = groupMonths(st, tallies, g, y);
      for (int m = 1; m <= 12; ++m) {
        pictures[m] += counts[m];
        days[m] += effort.GROUPTRAPDAYS(g, y, m);
      }
      // Groups without pictures this year get no line, but their days count.
      if (yearSum(counts) > 0) monthRow(report, "(a25,2x,12(i5,1x),2x,i5)", {st.GROUPNAME(g)}, counts);
    }
    monthRow(report, "(a14,13x,12(i5,1x),2x,i5)", {"Total pictures"}, pictures);
    monthRow(report, "(a10,17x,12(i5,1x),2x,i5)", {"Total days"}, days);
    rateLine(report, pictures, days);
    report.blank();
  }

  if (st.FIRSTYEAR == st.LASTYEAR) return;

  report.write("(a49)", "PICTURES FOR EACH GROUP BY MONTH AND YEAR SUMMARY");
  report.write("(a52)", "  One record of each species per location per PERIOD");
  report.write("(i4,a4,i4)", st.FIRSTYEAR, " to ", st.LASTYEAR);
  monthHeader(report, "(a5,24x,12(a3,3x),a5)", {"Group"});
  Months pictures{};
  Months days{};
  for (int g = 1; g <= st.NGROUPS; ++g) {
    Months counts{};
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
      const Months year = groupMonths(st, tallies, g, y);
      for (int m = 1; m <= 12; ++m) {
        counts[m] += year[m];
        days[m] += effort.GROUPTRAPDAYS(g, y, m);
      }
    }
    for (int m = 1; m <= 12; ++m) pictures[m] += counts[m];
    monthRow(report, "(a25,2x,12(i5,1x),1x,i6)", {st.GROUPNAME(g)}, counts);
  }
  monthRow(report, "(a14,13x,12(i5,1x),1x,i6)", {"Total pictures"}, pictures);
  monthRow(report, "(a10,17x,12(i5,1x),2x,i5)", {"Total days"}, days);
  rateLine(report, pictures, days);
  report.blank();
}

}  // namespace mv
