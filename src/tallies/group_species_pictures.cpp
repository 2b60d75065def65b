#include <algorithm>
#include <string_view>
#include <vector>

#include "report/section.hpp"
#include "tallies/tallies.hpp"

namespace mv {

namespace {

// Independent pictures of one species at one group over the years first..last.
Months speciesMonths(const PictureTallies& tallies, int g, int s, int first, int last) {
  Months m{};
  for (int y = first; y <= last; ++y)
    for (int k = 1; k <= 12; ++k) m[k] += tallies.PICCOUNT(g, s, y, k, kIndependentPictures);
  return m;
}

// One group's month block: header, a line per species with pictures, the
// monthly totals, the effort (`trapDays`) and the pictures per camera trap
// day. `days` and `trapDays` cover the same years as the pictures.
void writeMonthBlock(const StudyInput& st, const PictureTallies& tallies, Writer& report, int g, int first, int last,
                     const Months& days, int trapDays, bool totalLine) {
  monthHeader(report, "(a25,1x,12(4x,a3),3x,a5)", {st.GROUPNAME(g)});

  Months totals{};
  for (int s = 1; s <= st.NSPECIES; ++s) {
    const Months counts = speciesMonths(tallies, g, s, first, last);
    for (int m = 1; m <= 12; ++m) totals[m] += counts[m];
    if (yearSum(counts) > 0) monthRow(report, "(a25,1x,12(1x,i6),1x,i7)", {st.SPECIESNAME(s)}, counts);
  }

  const int sum = yearSum(totals);
  if (totalLine) monthRow(report, "(a14,12x,12(1x,i6),1x,i7)", {"Total pictures"}, totals);
  monthRow(report, "(a12,14x,12(1x,i6),1x,i7)", {"Total effort"}, days, trapDays);

  // A month with pictures but no camera trap days shows 0.00; the block is
  // only written for a positive effort, so the whole-period ratio is defined.
  std::vector<Value> values;
  values.emplace_back("Total pics/Total effort");
  for (int m = 1; m <= 12; ++m) {
    const float rate = days[m] > 0 ? static_cast<float>(totals[m]) / static_cast<float>(days[m]) : 0.0f;
    values.emplace_back(rate);
  }
  values.emplace_back(static_cast<float>(sum) / static_cast<float>(trapDays));
  report.writeValues("(a23,3x,12(1x,f6.2),1x,f7.2)", values);
  report.blank();
}

// Each group's total and each species' share of it, three groups side by side.
void speciesPercentSection(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  sectionTitle(report, console, "FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES");
  // The 25-column field shows "  Use independent picture".
  report.write("(a25)", "  Use independent pictures");

  const int ng = st.NGROUPS;
  std::vector<int> groupTotal(static_cast<std::size_t>(ng) + 1, 0);
  std::vector<Value> values;
  const int blocks = (ng + 2) / 3;
  for (int b = 1; b <= blocks; ++b) {
    const int g1 = 3 * b - 2;
    const int g2 = std::min(3 * b, ng);

    values.clear();
    for (int g = g1; g <= g2; ++g) values.emplace_back(st.GROUPNAME(g));
    report.writeValues("(26x,3(a25,7x))", values);
    values.clear();
    values.emplace_back("Species");
    for (int g = g1; g <= g2; ++g) values.emplace_back("Total Percent");
    report.writeValues("(a7,19x,3(a13,19x))", values);

    for (int g = g1; g <= g2; ++g)
      for (int s = 1; s <= st.NSPECIES; ++s)
        for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
          for (int m = 1; m <= 12; ++m) groupTotal[g] += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);

    for (int s = 1; s <= st.NSPECIES; ++s) {
      values.clear();
      values.emplace_back(st.SPECIESNAME(s));
      for (int g = g1; g <= g2; ++g) {
        const Months counts = speciesMonths(tallies, g, s, st.FIRSTYEAR, st.LASTYEAR);
        int count = 0;
        for (int m = 1; m <= 12; ++m) count += counts[m];
        // A group without pictures divides by 1, so its percents are 0.00.
        const float percent = static_cast<float>(count) * 100.0f / static_cast<float>(std::max(groupTotal[g], 1));
        values.emplace_back(count);
        values.emplace_back(percent);
      }
      report.writeValues("(a25,3(i6,2x,f6.2,18x))", values);
    }

    if (st.NSPECIES > 1) {
      values.clear();
      values.emplace_back("Total pictures");
      for (int g = g1; g <= g2; ++g) {
        values.emplace_back(groupTotal[g]);
        values.emplace_back(100.0f);
      }
      report.writeValues("(a14,11x,3(i6,2x,f6.2,18x))", values);
    }
    report.blank();
  }
}

// For each year, the groups that operated in it, by species and month.
void yearlyMonthSection(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                        Writer& console) {
  sectionTitle(report, console, "FOR EACH GROUP AND MONTH TOTAL NUMBER EACH SPECIES",
               "FOR EACH GOUP AND MONTH TOTAL NUMBER EACH SPECIES");
  report.write("(a25)", "  Use independent pictures");

  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    report.write("(i4)", y);
    for (int g = 1; g <= st.NGROUPS; ++g) {
      Months days{};
      int trapDays = 0;
      for (int m = 1; m <= 12; ++m) {
        days[m] = effort.GROUPTRAPDAYS(g, y, m);
        trapDays += days[m];
      }
      if (trapDays == 0) continue;
      writeMonthBlock(st, tallies, report, g, y, y, days, trapDays, st.NSPECIES > 1);
    }
  }
}

// The same with all years added; only for studies of more than one year.
void allYearsMonthSection(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                          Writer& report, Writer& console) {
  sectionTitle(report, console, "ALL GROUPS ALL SPECIES FOR EACH MONTH FOR ALL YEARS");
  report.write("(a25)", "  Use independent pictures");
  report.write("(i4,a4,i4)", st.FIRSTYEAR, " to ", st.LASTYEAR);

  for (int g = 1; g <= st.NGROUPS; ++g) {
    Months days{};
    int trapDays = 0;
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) {
        days[m] += effort.GROUPTRAPDAYS(g, y, m);
        trapDays += effort.GROUPTRAPDAYS(g, y, m);
      }
    if (trapDays == 0) continue;
    writeMonthBlock(st, tallies, report, g, st.FIRSTYEAR, st.LASTYEAR, days, trapDays, true);
  }
}

}  // namespace

void GROUPSPECIESPICS(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                      Writer& console) {
  speciesPercentSection(st, tallies, report, console);
  yearlyMonthSection(st, tallies, effort, report, console);
  if (st.FIRSTYEAR < st.LASTYEAR) allYearsMonthSection(st, tallies, effort, report, console);
}

}  // namespace mv
