// LUNAR ACTIVITY PATTERNS: for each species the hourly activity within five
// days of full moon against that within five days of new moon, with one
// difference value, and the species whose two profiles differ most.
#include <cmath>

#include "activity/activity.hpp"
#include "events/events.hpp"
#include "model/labels.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

// A species needs this many activity pictures in each window to be named
// the most different.
constexpr int kPictureThreshold = 25;

}  // namespace

void LUNARACTIVITY(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console) {
  sectionTitle(report, console, "LUNAR ACTIVITY PATTERNS");
  report.write("(a48)", "  New and full moon +/- 5 days activity patterns");
  report.write("(a42)", "  Difference (large is greater difference)");
  // Said only when some moon days came from computed phases rather than the
  // built-in calendar.
  if (moonYearsComputed(st.FIRSTYEAR, st.LASTYEAR))
    report.write("(a55)", "  Moon dates outside 2000 to 2016 computed as UTC dates");

  int mostDifferent = 0;
  float bestSum = 0.0f;
  for (int s = 1; s <= st.NSPECIES; ++s) {
    int full = 0;
    int fresh = 0;
    for (int h = 0; h <= 23; ++h) {
      full += tallies.ACTMOONHOUR(s, kFullMoon, h);
      fresh += tallies.ACTMOONHOUR(s, kNewMoon, h);
    }
    // Without pictures in both windows there is nothing to compare.
    if (full == 0 || fresh == 0) continue;

    report.write("(a25)", st.SPECIESNAME(s));
    report.write("(17x,a39)", "Full moon activity    New moon activity");
    report.write("(a57)", "    Hour        Number    Frequency   Number    Frequency");
    float sum = 0.0f;
    for (int h = 0; h <= 23; ++h) {
      const int atFull = tallies.ACTMOONHOUR(s, kFullMoon, h);
      const int atNew = tallies.ACTMOONHOUR(s, kNewMoon, h);
      const float f = static_cast<float>(atFull) / static_cast<float>(full);
      const float nf = static_cast<float>(atNew) / static_cast<float>(fresh);
      report.write("(a2,a4,a2,a3,3x,2(i6,5x,f8.3,3x))", hourLabel(h), ":00-", hourLabel(h + 1), ":00", atFull, f, atNew,
                   nf);
      const float d = f - nf;
      sum = sum + d * d;
    }
    // Strictly greater: on equal sums the earlier species stays.
    if (sum > bestSum && full >= kPictureThreshold && fresh >= kPictureThreshold) {
      mostDifferent = s;
      bestSum = sum;
    }
    report.write("(a5,9x,i6,16x,i6)", "Total", full, fresh);
    report.write("(a11,3x,f6.2)", "Difference ", std::sqrt(sum));
    report.blank();
  }
  if (mostDifferent > 0)
    report.write("(a39,a25)", "SPECIES LUNAR ACTIVITY MOST DIFFERENT: ", st.SPECIESNAME(mostDifferent));
  report.blank();
}

}  // namespace mv
