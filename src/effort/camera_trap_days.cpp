// Sampling effort: the start and stop dates of each group, camera trap days
// per location and per group, and the effort sections of the report.
#include <string_view>
#include <vector>

#include "effort/effort.hpp"
#include "input/input.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

// The days of a walking month. A month outside 1..12 (period dates are taken
// as written) has no calendar length; it is walked as a 31-day month so the
// walk still moves on.
int walkLength(int year, int month) { return month >= 1 && month <= 12 ? monthLength(year, month) : 31; }

// The header of a per-year or summary block: "Group", the number of groups
// listed below it, the month names and "Total".
void writeBlockHeader(Writer& report, int groupCount) {
  monthHeader(report, "(a5,1x,a1,i3,a1,17x,12(a3,4x),a5)", {"Group", "(", groupCount, ")"});
}

}  // namespace

void GROUPSTARTSTOP(const StudyInput& st, GroupEffort& effort, Writer& console) {
  console.free("GROUP START-STOP DATES");
  for (int g = 1; g <= st.NGROUPS; ++g) {
    // A group none of whose locations operated keeps 0 in its date fields.
    for (int f = kYear; f <= kDay; ++f) {
      effort.GROUPSTART(g, f) = 0;
      effort.GROUPSTOP(g, f) = 0;
    }
    effort.GROUPSTART(g, kDayNumber) = kNoStartDay;
    effort.GROUPSTOP(g, kDayNumber) = 0;
  }
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int k = 1; k <= st.GROUPSIZE(g); ++k) {
      const int loc = st.GROUPLOCATIONS(g, k);
      for (int p = 1; p <= st.NPERIODS(loc); ++p) {
        // Strict comparisons: of two periods with the same day number the
        // first one met stays.
        if (st.PERIODSTART(loc, p, kDayNumber) < effort.GROUPSTART(g, kDayNumber))
          for (int f = kYear; f <= kDayNumber; ++f) effort.GROUPSTART(g, f) = st.PERIODSTART(loc, p, f);
        if (effort.GROUPSTOP(g, kDayNumber) < st.PERIODSTOP(loc, p, kDayNumber))
          for (int f = kYear; f <= kDayNumber; ++f) effort.GROUPSTOP(g, f) = st.PERIODSTOP(loc, p, f);
      }
    }
}

void CAMERATRAPEFFORT(const StudyInput& st, GroupEffort& effort, Writer& console) {
  console.free("CAMERA TRAP DAYS");
  for (int loc = 1; loc <= st.NLOCATIONS; ++loc)
    for (int p = 1; p <= st.NPERIODS(loc); ++p) {
      // Walk the calendar from the start date, one day per step; the start
      // and the stop day both count, so the steps are the difference of the
      // two day numbers plus one (none when the stop comes first). Days are
      // counted per period: overlapping periods count their shared days twice.
      int y = st.PERIODSTART(loc, p, kYear);
      int m = st.PERIODSTART(loc, p, kMonth);
      int d = st.PERIODSTART(loc, p, kDay);
      const int steps = st.PERIODSTOP(loc, p, kDayNumber) - st.PERIODSTART(loc, p, kDayNumber) + 1;
      for (int n = 0; n < steps; ++n) {
        // Dates are taken as written: a walking date outside the study years
        // or outside months 1..12 has no cell and is not counted.
        if (y >= st.FIRSTYEAR && y <= st.LASTYEAR && m >= 1 && m <= 12) effort.LOCATIONTRAPDAYS(loc, y, m) += 1;
        ++d;
        if (d > walkLength(y, m)) {
          d = 1;
          ++m;
          if (m > 12) {
            m = 1;
            ++y;
          }
        }
      }
    }
}

void GROUPCTDAYS(const StudyInput& st, GroupEffort& effort, Writer& console) {
  console.free("GROUP CAMERA TRAP DAYS");
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int k = 1; k <= st.GROUPSIZE(g); ++k) {
      const int loc = st.GROUPLOCATIONS(g, k);
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) effort.GROUPTRAPDAYS(g, y, m) += effort.LOCATIONTRAPDAYS(loc, y, m);
    }
}

void countTrapDays(const StudyInput& st, GroupEffort& effort, Writer& console) {
  effort.sizeLocationTrapDays(st);
  CAMERATRAPEFFORT(st, effort, console);
  effort.sizeGroupTrapDays(st);
  GROUPCTDAYS(st, effort, console);
}

void WRITEGROUPTRAPDAYS(const StudyInput& st, const GroupEffort& effort, Writer& report, Writer&) {
  const int n = st.NGROUPS;
  std::vector<int> total(static_cast<std::size_t>(n) + 1, 0);  // scratch: one total per group

  auto groupTotal = [&](int g) {
    int t = 0;
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) t += effort.GROUPTRAPDAYS(g, y, m);
    return t;
  };

  // Start and stop date and total days of every group, active or not.
  report.write("(a22)", "GROUP CAMERA TRAP DAYS");
  report.write("(a5,22x,a34)", "Group", "Start date  Stop date   Total days");
  bool someInactive = false;
  int grandTotal = 0;
  for (int g = 1; g <= n; ++g) {
    total[g] = groupTotal(g);
    if (total[g] == 0) someInactive = true;
    grandTotal += total[g];
    report.write("(a25,2x,2(i4,2(1x,i2),2x),3x,i5)", st.GROUPNAME(g), effort.GROUPSTART(g, kYear),
                 effort.GROUPSTART(g, kMonth), effort.GROUPSTART(g, kDay), effort.GROUPSTOP(g, kYear),
                 effort.GROUPSTOP(g, kMonth), effort.GROUPSTOP(g, kDay), total[g]);
  }
  report.write("(a29,23x,i7)", "Total group camera trap days ", grandTotal);
  report.blank();

  if (someInactive) {
    report.write("(a33)", "GROUP CAMERA LOCATIONS NOT ACTIVE");
    for (int g = 1; g <= n; ++g)
      if (total[g] == 0) report.write("(a25)", st.GROUPNAME(g));
    report.blank();
  }

  // Month by month, one block per study year; groups without days in the
  // year get no line.
  report.write("(a24)", "GROUP CAMERA TRAP EFFORT");
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    report.write("(a5,i4)", "Year ", y);
    int active = 0;
    for (int g = 1; g <= n; ++g) {
      total[g] = 0;
      for (int m = 1; m <= 12; ++m) total[g] += effort.GROUPTRAPDAYS(g, y, m);
      if (total[g] > 0) ++active;
    }
    writeBlockHeader(report, active);
    Months all{};
    for (int g = 1; g <= n; ++g) {
      Months days{};
      for (int m = 1; m <= 12; ++m) {
        days[m] = effort.GROUPTRAPDAYS(g, y, m);
        all[m] += days[m];
      }
      if (total[g] > 0) monthRow(report, "(a25,2x,12(i4,3x),1x,i5)", {st.GROUPNAME(g)}, days);
    }
    monthRow(report, "(a10,14x,12(2x,i5),4x,i5)", {"Total days"}, all);
    report.blank();
  }

  // All years together, only for a study of more than one year.
  if (st.FIRSTYEAR != st.LASTYEAR) {
    report.write("(a32)", "GROUP CAMERA TRAP EFFORT SUMMARY");
    report.write("(a6,i4,a4,i4)", "Years ", st.FIRSTYEAR, " to ", st.LASTYEAR);
    int active = 0;
    for (int g = 1; g <= n; ++g) {
      total[g] = groupTotal(g);
      if (total[g] > 0) ++active;
    }
    writeBlockHeader(report, active);
    Months all{};
    for (int g = 1; g <= n; ++g) {
      Months days{};
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) days[m] += effort.GROUPTRAPDAYS(g, y, m);
      for (int m = 1; m <= 12; ++m) all[m] += days[m];
      if (total[g] > 0) monthRow(report, "(a25,2x,12(i4,3x),1x,i5)", {st.GROUPNAME(g)}, days);
    }
    monthRow(report, "(a10,14x,12(1x,i6),3x,i6)", {"Total days"}, all);
  }
  report.blank();
}

}  // namespace mv
