#include <array>
#include <string_view>
#include <vector>

#include "abundance/abundance.hpp"
#include "model/labels.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

constexpr std::string_view kRowLayout = "(a25,2x,i6,2x,i6,1x,f8.2,2x,40(f8.2))";
constexpr std::string_view kTotalLabel = "Total days pics; Avg rate";
constexpr std::string_view kRecordNote = "  One record of each species per location per PERIOD";

float ratio(int numerator, int denominator) {
  return denominator > 0 ? static_cast<float>(numerator) / static_cast<float>(denominator) : 0.0f;
}

void tableHead(Writer& report, const char* lastWord) {
  report.write("(28x,a5,3x,a5,5x,a4,10x,a7)", "Total", "Total", "Pics", lastWord);
}

void speciesBlock(const StudyInput& st, Writer& report, const DetectionRates& t, int s1, int s2) {
  tableHead(report, "Species");
  std::vector<Value> values;
  values.emplace_back("Group");
  values.emplace_back("days");
  values.emplace_back("pics");
  values.emplace_back("/prd");
  for (int s = s1; s <= s2; ++s) values.emplace_back(st.SPECIESNAME(s));  // shown by its first 6 characters
  report.writeValues("(a5,24x,a4,3x,a5,5x,a4,3x,40(1x,a6,1x))", values);

  for (int g = 1; g <= st.NGROUPS; ++g) {
    if (t.yearly && t.days[g] == 0) continue;
    values.clear();
    values.emplace_back(st.GROUPNAME(g));
    values.emplace_back(t.days[g]);
    values.emplace_back(t.total[g]);
    values.emplace_back(t.rate[g]);
    for (int s = s1; s <= s2; ++s) values.emplace_back(t.speciesRate(g, s));
    report.writeValues(kRowLayout, values);
  }

  values.clear();
  values.emplace_back(kTotalLabel);
  values.emplace_back(t.allDays);
  values.emplace_back(t.allRecords);
  values.emplace_back(per100(t.allRecords, t.allDays));
  for (int s = s1; s <= s2; ++s) {
    int records = 0;
    for (int g = 1; g <= st.NGROUPS; ++g) records += t.rec[g][s];
    // A year's Total row divides first and then scales; the all-years row
    // scales first, as every other cell does.
    values.emplace_back(t.yearly ? ratio(records, t.allDays) * 100.0f : per100(records, t.allDays));
  }
  report.writeValues(kRowLayout, values);
}

// One block for up to 20 species (a year's table only), otherwise two blocks
// split at half the species.
void speciesBlocks(const StudyInput& st, Writer& report, const DetectionRates& t) {
  const int n = st.NSPECIES;
  if (t.yearly && n <= 20) {
    speciesBlock(st, report, t, 1, n);
    return;
  }
  const int half = n / 2;
  speciesBlock(st, report, t, 1, half);
  report.blank();
  report.write("(a22)", "Species list continued");
  speciesBlock(st, report, t, half + 1, n);
}

// Records per camera trap day of every group and month over the years
// first..last: a row for each group with days, then the Total row.
void monthTable(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                int first, int last) {
  tableHead(report, "Months ");
  std::vector<Value> values;
  values.emplace_back("Group");
  values.emplace_back("days");
  values.emplace_back("pics");
  values.emplace_back("/prd");
  for (int m = 1; m <= 12; ++m) values.emplace_back(monthName(m));
  report.writeValues("(a5,24x,a4,4x,a4,5x,a4,7x,12(a3,5x))", values);

  std::array<int, 13> allMonthDays{};
  std::array<int, 13> allMonthRecords{};
  for (int g = 1; g <= st.NGROUPS; ++g) {
    std::array<int, 13> monthDays{};
    std::array<int, 13> monthRecords{};
    for (int y = first; y <= last; ++y)
      for (int m = 1; m <= 12; ++m) monthDays[m] += effort.GROUPTRAPDAYS(g, y, m);
    for (int s = 1; s <= st.NSPECIES; ++s)
      for (int y = first; y <= last; ++y)
        for (int m = 1; m <= 12; ++m) monthRecords[m] += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);
    int days = 0;
    int records = 0;
    for (int m = 1; m <= 12; ++m) {
      days += monthDays[m];
      records += monthRecords[m];
      allMonthDays[m] += monthDays[m];
      allMonthRecords[m] += monthRecords[m];
    }
    if (days == 0) continue;
    values.clear();
    values.emplace_back(st.GROUPNAME(g));
    values.emplace_back(days);
    values.emplace_back(records);
    values.emplace_back(ratio(records, days));
    for (int m = 1; m <= 12; ++m) values.emplace_back(ratio(monthRecords[m], monthDays[m]));
    report.writeValues(kRowLayout, values);
  }

  // The Total row counts every record, also those of groups without days.
  int days = 0;
  int records = 0;
  for (int m = 1; m <= 12; ++m) {
    days += allMonthDays[m];
    records += allMonthRecords[m];
  }
  values.clear();
  values.emplace_back(kTotalLabel);
  values.emplace_back(days);
  values.emplace_back(records);
  values.emplace_back(ratio(records, days));
  for (int m = 1; m <= 12; ++m) values.emplace_back(ratio(allMonthRecords[m], allMonthDays[m]));
  report.writeValues(kRowLayout, values);
}

}  // namespace

float per100(int records, int days) {
  return days > 0 ? static_cast<float>(records) * 100.0f / static_cast<float>(days) : 0.0f;
}

DetectionRates detectionRates(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, int first,
                              int last, bool yearly) {
  DetectionRates t;
  t.first = first;
  t.last = last;
  t.yearly = yearly;
  const auto ng = static_cast<std::size_t>(st.NGROUPS) + 1;
  t.days.assign(ng, 0);
  t.rec.assign(ng, std::vector<int>(static_cast<std::size_t>(st.NSPECIES) + 1, 0));
  t.total.assign(ng, 0);
  t.rate.assign(ng, 0.0f);
  for (int g = 1; g <= st.NGROUPS; ++g) {
    for (int y = first; y <= last; ++y)
      for (int m = 1; m <= 12; ++m) t.days[g] += effort.GROUPTRAPDAYS(g, y, m);
    // A year's table leaves out the records of a group without days in it;
    // the all-years table keeps every record.
    if (yearly && t.days[g] == 0) continue;
    for (int s = 1; s <= st.NSPECIES; ++s) {
      for (int y = first; y <= last; ++y)
        for (int m = 1; m <= 12; ++m) t.rec[g][s] += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);
      t.total[g] += t.rec[g][s];
    }
    t.rate[g] = per100(t.total[g], t.days[g]);
    t.allDays += t.days[g];
    t.allRecords += t.total[g];
  }
  return t;
}

void DETECTIONRATES(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                    Writer& console) {
  const bool severalYears = st.FIRSTYEAR < st.LASTYEAR;

  sectionTitle(report, console, "DETECTION RATE FOR EACH SPECIES PER YEAR");
  report.write("(a52)", kRecordNote);
  report.write("(a42)", "  Number of pictures/prd multiplied by 100");
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    const DetectionRates t = detectionRates(st, tallies, effort, y, y, true);
    report.write("(a5,i4)", "Year ", y);
    speciesBlocks(st, report, t);
    report.blank();
  }

  if (severalYears) {
    report.write("(a39)", "DETECTION RATE SUMMARY FOR EACH SPECIES");
    report.write("(a52)", kRecordNote);
    report.write("(a45)", "  Number of pictures/PERIOD multiplied by 100");
    report.write("(a6,i4,a4,i4)", "Years ", st.FIRSTYEAR, " to ", st.LASTYEAR);
    speciesBlocks(st, report, detectionRates(st, tallies, effort, st.FIRSTYEAR, st.LASTYEAR, false));
    report.blank();
  }

  sectionTitle(report, console, "DETECTION RATE FOR EACH GROUP BY MONTH");
  report.write("(a52)", kRecordNote);
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    report.write("(a5,i4)", "Year ", y);
    monthTable(st, tallies, effort, report, y, y);
    report.blank();
  }

  // Written whenever the first and last study years differ, which includes
  // a study without operating periods (years 3000 to 1000).
  if (st.FIRSTYEAR != st.LASTYEAR) {
    report.write("(a46)", "DETECTION RATE SUMMARY FOR EACH GROUP BY MONTH");
    report.write("(a52)", kRecordNote);
    report.write("(a6,i4,a4,i4)", "Years ", st.FIRSTYEAR, " to ", st.LASTYEAR);
    monthTable(st, tallies, effort, report, st.FIRSTYEAR, st.LASTYEAR);
    report.blank();
  }
}

}  // namespace mv
