// The summary of the picture selection, the study span, and the first and
// last picture of every species.
#include "report/report.hpp"

namespace mv {

namespace {

constexpr std::string_view kSpeciesHeading = "Species                     Days  Year Month Day Hour Minute Location";
constexpr std::string_view kSpeciesLine = "(a25,3x,i4,2x,i4,3x,i2,2x,i2,3x,i2,4x,i2,3x,a25)";

// One species line from column `col` of FIRSTLASTPIC (1 first, 2 last).
void writeSpeciesPicture(const StudyInput& st, const PictureTallies& tallies, Writer& report, int g, int s, int col) {
  const int days = tallies.FIRSTLASTPIC(g, s, 6, col) - st.FIRSTDAY + 1;
  report.write(kSpeciesLine, st.SPECIESNAME(s), days, tallies.FIRSTLASTPIC(g, s, 1, col),
               tallies.FIRSTLASTPIC(g, s, 2, col), tallies.FIRSTLASTPIC(g, s, 3, col),
               tallies.FIRSTLASTPIC(g, s, 4, col), tallies.FIRSTLASTPIC(g, s, 5, col), st.GROUPNAME(g));
}

}  // namespace

void WRITEFLPICS(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                 Writer& console) {
  int total = 0;
  int activity = 0;
  int independent = 0;
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int s = 1; s <= st.NSPECIES; ++s)
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) {
          total += tallies.PICCOUNT(g, s, y, m, kAllPictures);
          activity += tallies.PICCOUNT(g, s, y, m, kActivityPictures);
          independent += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);
        }

  console.free("FIRST PICTURES");
  report.write("(a69)", "Use maximum number of individuals photographed in sequential pictures");
  report.write("(a57,i5,a8)", "Assume independent pictures of a species at a site after ", tallies.PERIOD, " minutes");
  report.write("(a32)", "For all species at all locations");
  report.write("(a52,i7)", "  Number of pictures processed                    = ", total);
  report.write("(a52,i7)", "  Number of pictures used in activity calculation = ", activity);
  report.write("(a52,i7)", "  Number of independent pictures used in analysis = ", independent);
  report.write("(a52)", "  Number of sequential pictures of same species at  ");
  report.write("(a52,i7)", "                   same location within a PERIOD  = ", total - independent);
  report.blank();

  // The study span: the earliest group start and the latest group stop. Both
  // searches start at group 1, each from its own field (a group without
  // periods has start day kNoStartDay, which no stop day would ever exceed);
  // ties keep the lower group number. Without groups the span is empty and
  // its dates show 0.
  int days = 0;
  int firstYear = 0, firstMonth = 0, firstDay = 0;
  int lastYear = 0, lastMonth = 0, lastDay = 0;
  if (st.NGROUPS > 0) {
    int first = 1;
    int last = 1;
    for (int g = 1; g <= st.NGROUPS; ++g) {
      if (effort.GROUPSTART(g, kDayNumber) < effort.GROUPSTART(first, kDayNumber)) first = g;
      if (effort.GROUPSTOP(g, kDayNumber) > effort.GROUPSTOP(last, kDayNumber)) last = g;
    }
    days = effort.GROUPSTOP(last, kDayNumber) - effort.GROUPSTART(first, kDayNumber) + 1;
    firstYear = effort.GROUPSTART(first, kYear);
    firstMonth = effort.GROUPSTART(first, kMonth);
    firstDay = effort.GROUPSTART(first, kDay);
    lastYear = effort.GROUPSTOP(last, kYear);
    lastMonth = effort.GROUPSTOP(last, kMonth);
    lastDay = effort.GROUPSTOP(last, kDay);
  }
  report.write("(a40,i7)", "Number of days in camera trap program = ", days);
  // The labels say "picture"; the dates are the first camera start and the
  // last camera stop.
  report.write("(a17,a7,i4,a9,i2,a7,i2)", "  First picture: ", "Year = ", firstYear, " Month = ", firstMonth,
               " Day = ", firstDay);
  report.write("(a17,a7,i4,a9,i2,a7,i2)", "  Last picture:  ", "Year = ", lastYear, " Month = ", lastMonth,
               " Day = ", lastDay);
  report.blank();

  // First picture of each species anywhere: the smallest minute number over
  // the groups, ties to the lower group. The Days column counts from the
  // first camera start (day 1); the Location column holds the group.
  report.write("(a29)", "FIRST PICTURE OF EACH SPECIES");
  report.write("(a69)", kSpeciesHeading);
  for (int s = 1; s <= st.NSPECIES && st.NGROUPS > 0; ++s) {
    int g = 1;
    for (int k = 1; k <= st.NGROUPS; ++k)
      if (tallies.FIRSTLASTPIC(k, s, 7, 1) < tallies.FIRSTLASTPIC(g, s, 7, 1)) g = k;
    if (tallies.FIRSTLASTPIC(g, s, 1, 1) == kNoFirstPicture) continue;  // never listed
    writeSpeciesPicture(st, tallies, report, g, s, 1);
  }
  report.blank();

  // Last picture of each species: the largest minute number.
  report.write("(a28)", "LAST PICTURE OF EACH SPECIES");
  report.write("(a69)", kSpeciesHeading);
  for (int s = 1; s <= st.NSPECIES && st.NGROUPS > 0; ++s) {
    int g = 1;
    for (int k = 1; k <= st.NGROUPS; ++k)
      if (tallies.FIRSTLASTPIC(k, s, 7, 2) > tallies.FIRSTLASTPIC(g, s, 7, 2)) g = k;
    if (tallies.FIRSTLASTPIC(g, s, 1, 2) == 0) continue;  // never listed
    writeSpeciesPicture(st, tallies, report, g, s, 2);
  }
  report.blank();
}

}  // namespace mv
