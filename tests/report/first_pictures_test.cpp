#include <array>
#include <vector>

#include "effort/expect_lines.hpp"
#include "report/report.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace {

std::string N(const char* name) { return mv::makeName(name); }

// Groups without names, the given species, the year 2014 from day 15.
mv::Study pictureStudy(int groups, const std::vector<std::string>& species) {
  mv::Study st = mvtest::makeStudy(std::vector<std::string>(static_cast<std::size_t>(groups)), species, 2014, 2014);
  st.FIRSTDAY = 15;
  st.PERIOD = 60;
  st.sizeGroupDates();
  return st;
}

void dates(mv::Study& st, int g, std::array<int, 4> start, std::array<int, 4> stop) {
  for (int f = 1; f <= 4; ++f) {
    st.GROUPSTART(g, f) = start[static_cast<std::size_t>(f - 1)];
    st.GROUPSTOP(g, f) = stop[static_cast<std::size_t>(f - 1)];
  }
}

// A first (column 1) or last (column 2) picture with its day and minute numbers.
void picture(mv::Study& st, int g, int s, int col, int y, int m, int d, int hour, int minute, int dayNumber) {
  const int values[7] = {y, m, d, hour, minute, dayNumber, (dayNumber * 24 + hour) * 60 + minute};
  for (int f = 1; f <= 7; ++f) st.FIRSTLASTPIC(g, s, f, col) = values[f - 1];
}

void counts(mv::Study& st, int g, int s, int m, int all, int activity, int independent) {
  st.PICCOUNT(g, s, 2014, m, 1) = all;
  st.PICCOUNT(g, s, 2014, m, 2) = activity;
  st.PICCOUNT(g, s, 2014, m, 3) = independent;
}

std::vector<std::string> run(const mv::Study& st) {
  return mvtest::runSectionExpecting(mv::WRITEFLPICS, st, {" FIRST PICTURES"});
}

const std::string kHeading = "Species                     Days  Year Month Day Hour Minute Location";

}  // namespace

TEST(WriteFirstPictures, SummarySpanAndSpeciesLists) {
  mv::Study st = pictureStudy(3, {"Ocelot", "Puma", "Tapir"});
  st.GROUPNAME(1) = N("Cerro");
  st.GROUPNAME(2) = N("Laguna");
  st.GROUPNAME(3) = N("Rio");
  dates(st, 1, {2014, 2, 1, 32}, {2014, 6, 30, 181});
  // Laguna and Rio share the earliest start and the latest stop: the lower
  // group number wins both.
  dates(st, 2, {2014, 1, 15, 15}, {2014, 8, 31, 243});
  dates(st, 3, {2014, 1, 15, 15}, {2014, 8, 31, 243});
  counts(st, 1, 1, 3, 5, 3, 2);
  counts(st, 3, 1, 7, 3, 2, 1);
  counts(st, 2, 3, 1, 2, 2, 1);
  // Ocelot: first pictures at Cerro and Rio in the same minute; the last one
  // at Rio. Puma: never photographed. Tapir: one picture on the first day.
  picture(st, 1, 1, 1, 2014, 3, 5, 22, 15, 64);
  picture(st, 1, 1, 2, 2014, 3, 20, 8, 40, 79);
  picture(st, 3, 1, 1, 2014, 3, 5, 22, 15, 64);
  picture(st, 3, 1, 2, 2014, 7, 20, 5, 0, 201);
  picture(st, 2, 3, 1, 2014, 1, 15, 6, 5, 15);
  picture(st, 2, 3, 2, 2014, 1, 15, 6, 5, 15);
  // clang-format off
  mvtest::expectLines(run(st), {
                                   "Use maximum number of individuals photographed in sequential pictures",
                                   "Assume independent pictures of a species at a site after    60 minutes",
                                   "For all species at all locations",
                                   "  Number of pictures processed                    =      10",
                                   "  Number of pictures used in activity calculation =       7",
                                   "  Number of independent pictures used in analysis =       4",
                                   "  Number of sequential pictures of same species at  ",
                                   "                   same location within a PERIOD  =       6",
                                   "",
                                   "Number of days in camera trap program =     229",
                                   "  First picture: Year = 2014 Month =  1 Day = 15",
                                   "  Last picture:  Year = 2014 Month =  8 Day = 31",
                                   "",
                                   "FIRST PICTURE OF EACH SPECIES",
                                   kHeading,
                                   N("Ocelot") + "     50  2014    3   5   22    15   " + N("Cerro"),
                                   N("Tapir") + "      1  2014    1  15    6     5   " + N("Laguna"),
                                   "",
                                   "LAST PICTURE OF EACH SPECIES",
                                   kHeading,
                                   N("Ocelot") + "    187  2014    7  20    5     0   " + N("Rio"),
                                   N("Tapir") + "      1  2014    1  15    6     5   " + N("Laguna"),
                                   "",
                               });
  // clang-format on
}

TEST(WriteFirstPictures, LastGroupSearchStartsFromTheFirstGroupsStop) {
  // Group 1 never operated (start day 9999999, stop day 0, dates 0).
  mv::Study st = pictureStudy(2, {"Ocelot"});
  st.GROUPNAME(1) = N("Idle");
  st.GROUPNAME(2) = N("Busy");
  dates(st, 1, {0, 0, 0, 9999999}, {0, 0, 0, 0});
  dates(st, 2, {2014, 1, 15, 15}, {2014, 8, 31, 243});
  const std::vector<std::string> lines = run(st);
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[9], "Number of days in camera trap program =     229");
  EXPECT_EQ(lines[10], "  First picture: Year = 2014 Month =  1 Day = 15");
  EXPECT_EQ(lines[11], "  Last picture:  Year = 2014 Month =  8 Day = 31");
}

TEST(WriteFirstPictures, NoGroupsGiveAnEmptySpan) {
  mv::Study st = pictureStudy(0, {"Ocelot"});
  st.PERIOD = 1440;
  // clang-format off
  mvtest::expectLines(run(st), {
                                   "Use maximum number of individuals photographed in sequential pictures",
                                   "Assume independent pictures of a species at a site after  1440 minutes",
                                   "For all species at all locations",
                                   "  Number of pictures processed                    =       0",
                                   "  Number of pictures used in activity calculation =       0",
                                   "  Number of independent pictures used in analysis =       0",
                                   "  Number of sequential pictures of same species at  ",
                                   "                   same location within a PERIOD  =       0",
                                   "",
                                   "Number of days in camera trap program =       0",
                                   "  First picture: Year =    0 Month =  0 Day =  0",
                                   "  Last picture:  Year =    0 Month =  0 Day =  0",
                                   "",
                                   "FIRST PICTURE OF EACH SPECIES",
                                   kHeading,
                                   "",
                                   "LAST PICTURE OF EACH SPECIES",
                                   kHeading,
                                   "",
                               });
  // clang-format on
}
