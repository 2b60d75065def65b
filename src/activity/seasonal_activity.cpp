// ACTIVITY PATTERNS BY SEASON: for each species the effort, independent
// pictures, rates and visitation proportions of the four three-month seasons
// over all study years, and the hourly activity profile of each season.
#include <array>
#include <vector>

#include "activity/activity.hpp"
#include "model/labels.hpp"
#include "report/section.hpp"

namespace mv {

void SEASONALACTIVITY(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                      Writer& console) {
  sectionTitle(report, console, "ACTIVITY PATTERNS BY SEASON");
  report.write("(a41)", "  Activity in one-hour segments by season");

  // Camera trap days of each season, all groups and years together.
  std::array<int, 5> trapDays{};
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) trapDays[seasonOf(m)] += effort.GROUPTRAPDAYS(g, y, m);

  Table<float, 2> frequency;  // season, hour
  frequency.resize({Range{1, 4}, Range{0, 23}}, 0.0f);
  std::vector<Value> values;
  for (int s = 1; s <= st.NSPECIES; ++s) {
    std::array<int, 5> active{};
    for (int k = 1; k <= 4; ++k)
      for (int h = 0; h <= 23; ++h) active[k] += tallies.ACTSEASONHOUR(s, k, h);
    if (active[1] + active[2] + active[3] + active[4] == 0) continue;

    std::array<int, 5> records{};
    for (int g = 1; g <= st.NGROUPS; ++g)
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) records[seasonOf(m)] += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);
    std::array<float, 5> rate{};
    for (int k = 1; k <= 4; ++k)
      rate[k] = trapDays[k] > 0 ? static_cast<float>(records[k]) / static_cast<float>(trapDays[k]) : 0.0f;
    // Records only in seasons without effort leave no rate to share out:
    // every proportion is then 0.
    const float rateSum = rate[1] + rate[2] + rate[3] + rate[4];
    std::array<float, 5> proportion{};
    for (int k = 1; k <= 4; ++k) proportion[k] = rateSum > 0.0f ? rate[k] / rateSum : 0.0f;
    for (int k = 1; k <= 4; ++k)
      for (int h = 0; h <= 23; ++h)
        frequency(k, h) =
            active[k] > 0 ? static_cast<float>(tallies.ACTSEASONHOUR(s, k, h)) / static_cast<float>(active[k]) : 0.0f;

    report.write("(a25)", st.SPECIESNAME(s));
    report.write("(21x,4(a11,11x))", kSeasonLabels[0], kSeasonLabels[1], kSeasonLabels[2], kSeasonLabels[3]);
    report.write("(a18,4x,4(i6,16x))", "Camera trap days  ", trapDays[1], trapDays[2], trapDays[3], trapDays[4]);
    report.write("(a18,4x,4(i6,16x))", "Number of pictures", records[1], records[2], records[3], records[4]);
    report.write("(a18,5x,4(f7.4,15x))", "Pictures/Effort   ", rate[1], rate[2], rate[3], rate[4]);
    report.write("(a21,2x,4(f7.4,15x))", "Visitation proportion", proportion[1], proportion[2], proportion[3],
                 proportion[4]);
    report.write("(11x,a4,2x,4(6x,a16))", "Hour", "Number      Freq", "Number      Freq", "Number      Freq",
                 "Number      Freq");
    for (int h = 0; h <= 23; ++h) {
      values.clear();
      addHourSpan(values, h);
      for (int k = 1; k <= 4; ++k) {
        values.emplace_back(tallies.ACTSEASONHOUR(s, k, h));
        values.emplace_back(frequency(k, h));
      }
      report.writeValues("(7x,a2,a4,a2,a3,4(3x,i6,5x,f8.3))", values);
    }
    report.write("(7x,a11,4(3x,i6,13x))", "Hourly pics", active[1], active[2], active[3], active[4]);
    report.blank();
  }
}

}  // namespace mv
