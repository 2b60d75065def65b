#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "community/community.hpp"
#include "community/independent_counts.hpp"
#include "effort/effort.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

constexpr std::string_view kRecordNote = "  One record of each species per location per period";

float ratio(int numerator, int denominator) {
  return denominator > 0 ? static_cast<float>(numerator) / static_cast<float>(denominator) : 0.0f;
}

// A label and ten times the pictures per camera trap day of each month; a
// month without camera trap days shows 0.0.
void rateLine(Writer& report, std::string_view layout, std::string_view label, const Months& pictures,
              const Months& days) {
  std::vector<Value> values;
  values.emplace_back(label);
  for (int m = 1; m <= 12; ++m) values.emplace_back(10.0f * ratio(pictures[m], days[m]));
  report.writeValues(layout, values);
}

// Section 1: for each year, the species by month with totals, effort, the
// rate per camera trap day and the number of species seen in each month.
// Independent pictures of each species in each year and month, all groups
// added: one pass through PICCOUNT in storage order (group first).
Table<int, 3> speciesMonths(const StudyInput& st, const PictureTallies& tallies) {
  Table<int, 3> t;
  t.resize({st.species(), st.years(), Range{1, 12}}, 0);
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int s = 1; s <= st.NSPECIES; ++s)
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) t(s, y, m) += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);
  return t;
}

void yearlySpecies(const StudyInput& st, const GroupEffort& effort, const Table<int, 3>& monthly, Writer& report,
                   Writer& console) {
  sectionTitle(report, console, "SPECIES AND SPECIES RICHNESS BY YEAR AND MONTH");
  report.write("(a52)", kRecordNote);
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    report.write("(i4)", y);
    monthHeader(report, "(a7,22x,12(a3,3x),a5)", {"Species"});
    Months richness{};
    Months pictures{};
    Months days{};
    for (int s = 1; s <= st.NSPECIES; ++s) {
      Months counts{};
      for (int m = 1; m <= 12; ++m) counts[m] = monthly(s, y, m);
      for (int m = 1; m <= 12; ++m) {
        if (counts[m] > 0) ++richness[m];
        pictures[m] += counts[m];
      }
      if (yearSum(counts) > 0) monthRow(report, "(a25,2x,12(i5,1x),2x,i5)", {st.SPECIESNAME(s)}, counts);
    }
    for (int g = 1; g <= st.NGROUPS; ++g)
      for (int m = 1; m <= 12; ++m) days[m] += effort.GROUPTRAPDAYS(g, y, m);
    monthRow(report, "(a10,17x,12(i5,1x),2x,i5)", {"Total pics"}, pictures);
    monthRow(report, "(a10,17x,12(i5,1x),2x,i5)", {"Total days"}, days);
    // The 16-column field shows "10*Pic/effort   ".
    rateLine(report, "(a16,11x,12(f5.1,1x))", "10*Pic/effort    ", pictures, days);
    std::vector<Value> values{Value("Species richness")};
    for (int m = 1; m <= 12; ++m) values.emplace_back(richness[m]);
    report.writeValues("(a16,11x,12(i5,1x))", values);
    report.blank();
  }
}

// Section 2: every species by month with all years added.
void allYearsSpecies(const StudyInput& st, const GroupEffort& effort, const Table<int, 3>& monthly, Writer& report,
                     Writer& console) {
  sectionTitle(report, console, "SPECIES ALL YEARS BY MONTH");
  report.write("(a52)", kRecordNote);
  monthHeader(report, "(a7,22x,12(a3,3x),a5)", {"Species"});
  Months days{};
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) days[m] += effort.GROUPTRAPDAYS(g, y, m);
  Months pictures{};
  Months richness{};
  for (int s = 1; s <= st.NSPECIES; ++s) {
    Months counts{};
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) counts[m] += monthly(s, y, m);
    for (int m = 1; m <= 12; ++m) {
      pictures[m] += counts[m];
      if (counts[m] > 0) ++richness[m];
    }
    monthRow(report, "(a25,1x,12(i6),2x,i6)", {st.SPECIESNAME(s)}, counts);
  }
  monthRow(report, "(a10,16x,12(i6),2x,i6)", {"Total pics"}, pictures);
  monthRow(report, "(a10,16x,12(i6),2x,i6)", {"Total days"}, days);
  // The 16-column field shows "10*Pic/period   ".
  rateLine(report, "(a16,10x,12(1x,f5.1))", "10*Pic/period    ", pictures, days);
  std::vector<Value> values{Value("Species richness")};
  for (int m = 1; m <= 12; ++m) values.emplace_back(richness[m]);
  report.writeValues("(a16,11x,12(i5,1x))", values);
  report.blank();
}

// Sections 3 and 4: for each species and year, the groups by month in
// elevation order, counting pictures (kind 3) or individuals (kind 4).
void groupsByElevation(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                       const GroupPositions& positions, Writer& report, Writer& console, const std::vector<int>& order,
                       int kind) {
  const bool individuals = kind == kIndividuals;
  const std::string_view groupHeader = individuals ? "(a5,20x,a9,3x,12(a3,3x),a5)" : "(a5,21x,a9,2x,12(a3,3x),a5)";
  if (individuals) {
    sectionTitle(report, console, "SPECIES ABUNDANCE BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION");
    report.write("(a52)", kRecordNote);
    report.write("(a46)", "  Use maximum number of individuals per period");
  } else {
    // The report's title stands three columns in, right-justified in a
    // 56-column field.
    sectionTitle(report, console, "   SPECIES BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION",
                 "SPECIES BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION");
    report.write("(a52)", kRecordNote);
  }

  // One group's name, elevation, twelve months and their sum.
  const auto groupRow = [&](std::string_view layout, int g, const Months& counts) {
    monthRow(report, layout, {st.GROUPNAME(g), positions.GROUPELEV(g)}, counts);
  };
  // The counts of this kind for a batch of species, copied out group by
  // group: PICCOUNT holds all species of a group together, so reading it
  // group after group for one species at a time would jump through the
  // whole table; a batch reads a run of neighbouring species at once.
  constexpr int kBatch = 16;
  const int years = st.years().size();
  const std::size_t perGroup = static_cast<std::size_t>(years) * 12;
  const std::size_t perSpecies = static_cast<std::size_t>(st.NGROUPS + 1) * perGroup;
  std::vector<int> slice(perSpecies * kBatch, 0);
  int batchFirst = 1;
  const int* current = slice.data();  // the slice of species s
  const auto count = [&](int g, int y, int m) -> int {
    return current[static_cast<std::size_t>(g) * perGroup + static_cast<std::size_t>(y - st.FIRSTYEAR) * 12 +
                   static_cast<std::size_t>(m - 1)];
  };
  // What does not depend on the species, worked out once: which group
  // months had camera trap days (as a mask, laid out as the slices are), the
  // year totals of those days, and the days of every group over all years.
  std::vector<int> withDays(perSpecies, 0);
  std::vector<Months> yearDays(static_cast<std::size_t>(years));
  Months allDays{};
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) {
        const int d = effort.GROUPTRAPDAYS(g, y, m);
        allDays[m] += d;
        if (d <= 0) continue;
        withDays[static_cast<std::size_t>(g) * perGroup + static_cast<std::size_t>(y - st.FIRSTYEAR) * 12 +
                 static_cast<std::size_t>(m - 1)] = ~0;
        yearDays[static_cast<std::size_t>(y - st.FIRSTYEAR)][m] += d;
      }
  for (int s = 1; s <= st.NSPECIES; ++s) {
    if (s == 1 || s >= batchFirst + kBatch) {
      batchFirst = s;
      const int batchLast = std::min(s + kBatch - 1, st.NSPECIES);
      for (int g = 1; g <= st.NGROUPS; ++g)
        for (int b = batchFirst; b <= batchLast; ++b) {
          int* out = slice.data() + static_cast<std::size_t>(b - batchFirst) * perSpecies +
                     static_cast<std::size_t>(g) * perGroup;
          for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
            for (int m = 1; m <= 12; ++m) *out++ = tallies.PICCOUNT(g, b, y, m, kind);
        }
    }
    current = slice.data() + static_cast<std::size_t>(s - batchFirst) * perSpecies;
    report.write("(a25)", st.SPECIESNAME(s));
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
      // The totals count a group's month only when it had camera trap days
      // then; the group rows and the year total show every picture.
      // (Integer sums: taken in group order, which reads the slice straight
      // through.)
      Months pictures{};
      const Months& days = yearDays[static_cast<std::size_t>(y - st.FIRSTYEAR)];
      int yearTotal = 0;
      const std::size_t yearAt = static_cast<std::size_t>(y - st.FIRSTYEAR) * 12;
      for (int g = 1; g <= st.NGROUPS; ++g) {
        const std::size_t at = static_cast<std::size_t>(g) * perGroup + yearAt;
        const int* x = current + at;
        const int* mask = withDays.data() + at;
        for (int m = 0; m < 12; ++m) {
          pictures[static_cast<std::size_t>(m) + 1] += x[m] & mask[m];
          yearTotal += x[m];
        }
      }
      if (yearTotal <= 0) continue;

      report.write("(i4)", y);
      monthHeader(report, groupHeader, {"Group", "Elevation"});
      for (const int g : order) {
        Months counts{};
        for (int m = 1; m <= 12; ++m) counts[m] = count(g, y, m);
        if (yearSum(counts) <= 0) continue;
        groupRow("(a25,2x,i5,3x,12(i5,1x),2x,i5)", g, counts);
      }
      monthRow(report, "(a10,25x,12(i5,1x),2x,i5)", {"Total pics"}, pictures);
      monthRow(report, "(a10,25x,12(i5,1x),2x,i5)", {"Total days"}, days);
      rateLine(report, "(a17,18x,12(f5.1,1x))", "10*Pic/period    ", pictures, days);
      report.blank();
    }

    if (st.FIRSTYEAR < st.LASTYEAR) {
      report.write("(a17)", "SUMMARY ALL YEARS");
      report.write("(i4,a4,i4)", st.FIRSTYEAR, " to ", st.LASTYEAR);
      report.write("(a25)", st.SPECIESNAME(s));
      monthHeader(report, groupHeader, {"Group", "Elevation"});
      Months pictures{};
      const Months& days = allDays;
      for (const int g : order) {
        Months counts{};
        for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
          for (int m = 1; m <= 12; ++m) counts[m] += count(g, y, m);
        for (int m = 1; m <= 12; ++m) pictures[m] += counts[m];
        if (yearSum(counts) <= 0) continue;
        groupRow("(a25,3x,i5,2x,12(i5,1x),2x,i5)", g, counts);
      }
      monthRow(report, "(a10,25x,12(i5,1x),2x,i5)", {"Total pics"}, pictures);
      monthRow(report, "(a10,25x,12(i5,1x),2x,i5)", {"Total days"}, days);
      rateLine(report, "(a17,18x,12(f5.1,1x))", "10*Pic/period    ", pictures, days);
      report.blank();
    }
  }
}

int studyDays(const StudyInput& st, const GroupEffort& effort, int g) {
  int total = 0;
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
    for (int m = 1; m <= 12; ++m) total += effort.GROUPTRAPDAYS(g, y, m);
  return total;
}

// Section 5: each species' pictures per camera trap day at each group over
// the whole study, and the group's share of the species' rates.
void normalizedByEffort(const StudyInput& st, const GroupEffort& effort, const GroupPositions& positions,
                        const Table<int, 2>& studyPictures, Writer& report, Writer& console,
                        const std::vector<int>& order) {
  sectionTitle(report, console, "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT");
  report.write("(a52)", kRecordNote);
  report.blank();
  report.write("(a17)", "SUMMARY ALL YEARS");
  report.write("(i4,a4,i4)", st.FIRSTYEAR, " to ", st.LASTYEAR);

  std::vector<float> rate(static_cast<std::size_t>(st.NGROUPS) + 1);
  for (int s = 1; s <= st.NSPECIES; ++s) {
    report.write("(a5,21x,a9,3x,a13,3x,a7)", "Group", "Elevation", "# pics/Effort", "Percent");
    report.write("(a25)", st.SPECIESNAME(s));
    std::fill(rate.begin(), rate.end(), 0.0f);
    float sum = 0.0f;
    for (const int g : order) {
      const int pictures = studyPictures(g, s);
      const int days = studyDays(st, effort, g);
      // A group with pictures but no camera trap days keeps rate 0 and gets
      // no line.
      if (pictures > 0 && days > 0) {
        rate[g] = static_cast<float>(pictures) / static_cast<float>(days);
        sum = sum + rate[g];
      }
    }
    for (const int g : order) {
      if (!(rate[g] > 0.0f)) continue;
      report.write("(a25,3x,i5,8x,f7.3,6x,f7.2)", st.GROUPNAME(g), positions.GROUPELEV(g), rate[g],
                   rate[g] * 100.0f / sum);
    }
    report.blank();
  }
}

// Section 6: for each group, its share of every species' pictures.
void normalizedTable(const StudyInput& st, const GroupPositions& positions, const Table<int, 2>& studyPictures,
                     Writer& report, const std::vector<int>& order) {
  report.write("(a67)", "SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT TABLE");
  report.write("(a52)", kRecordNote);
  report.write("(a77)", "  Table shows frequency of all pictures normalized by effort for each species");
  report.blank();
  report.write("(a17)", "SUMMARY ALL YEARS");
  report.write("(i4,a4,i4)", st.FIRSTYEAR, " to ", st.LASTYEAR);

  std::vector<Value> values{Value("Group"), Value("Elevation")};
  for (int s = 1; s <= st.NSPECIES; ++s) values.emplace_back(st.SPECIESNAME(s));  // first 6 characters
  report.writeValues("(a5,21x,a9,1x,100(a6,1x))", values);

  const auto ns = static_cast<std::size_t>(st.NSPECIES) + 1;
  const auto ng = static_cast<std::size_t>(st.NGROUPS) + 1;
  std::vector<std::vector<int>> pictures(ns, std::vector<int>(ng, 0));
  std::vector<int> speciesTotal(ns, 0);
  for (int s = 1; s <= st.NSPECIES; ++s)
    for (int g = 1; g <= st.NGROUPS; ++g) {
      pictures[s][g] = studyPictures(g, s);
      speciesTotal[s] += pictures[s][g];
    }

  for (const int g : order) {
    values.clear();
    values.emplace_back(st.GROUPNAME(g));
    values.emplace_back(positions.GROUPELEV(g));
    for (int s = 1; s <= st.NSPECIES; ++s) {
      const float cell = speciesTotal[s] < 1
                             ? 0.0f
                             : static_cast<float>(pictures[s][g]) * 100.0f / static_cast<float>(speciesTotal[s]);
      values.emplace_back(cell);
    }
    report.writeValues("(a25,3x,i5,3x,100(f6.2,1x))", values);
  }
  report.blank();
}

}  // namespace

void SPECIESBYMONTH(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                    const GroupPositions& positions, Writer& report, Writer& console) {
  const Table<int, 3> monthly = speciesMonths(st, tallies);
  yearlySpecies(st, effort, monthly, report, console);
  if (st.FIRSTYEAR != st.LASTYEAR) allYearsSpecies(st, effort, monthly, report, console);
  const std::vector<int> order = elevationOrder(st, positions, ElevationOrder::HighestFirst);
  groupsByElevation(st, tallies, effort, positions, report, console, order, kIndependentPictures);
  groupsByElevation(st, tallies, effort, positions, report, console, order, kIndividuals);
  const Table<int, 2> studyPictures = independentPictures(st, tallies);
  normalizedByEffort(st, effort, positions, studyPictures, report, console, order);
  normalizedTable(st, positions, studyPictures, report, order);
}

}  // namespace mv
