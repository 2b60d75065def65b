#include "model/study.hpp"

namespace mv {

Name makeName(std::string_view text) {
  Name n(text.substr(0, std::min(text.size(), kNameLength)));
  n.resize(kNameLength, ' ');
  return n;
}

void StudyInput::sizeLocationTables() {
  const Range loc = locations();
  LOCATIONNAME.resize({loc}, Name(kNameLength, ' '));
  LOCATIONELEV.resize({loc}, 0);
  NPERIODS.resize({loc}, 0);
  SPECIESNAME.resize({species()}, Name(kNameLength, ' '));
  LOCATIONUTM.resize({loc, Range{1, 2}}, 0);
  PERIODSTART.resize(NLOCATIONS, MAXPERIODS);
  PERIODSTOP.resize(NLOCATIONS, MAXPERIODS);
}

void GroupEffort::sizeLocationTrapDays(const StudyInput& in) {
  LOCATIONTRAPDAYS.resize({in.locations(), in.years(), Range{1, 12}}, 0);
}

void StudyInput::sizeMapTables() {
  MAPLOCATION.resize({Range{1, NMAPLINES}}, Name(kNameLength, ' '));
  MAPGROUP.resize({Range{1, NMAPLINES}}, Name(kNameLength, ' '));
  LOCATIONGROUP.resize({locations()}, Name(kNameLength, ' '));
}

void StudyInput::sizeGroupTables() {
  GROUPNAME.resize({groups()}, Name(kNameLength, ' '));
  GROUPSIZE.resize({groups()}, 0);
  GROUPLOCATIONS.resize({groups(), locations()}, 0);
}

void PictureTallies::sizeTallies(const StudyInput& in) {
  SPECIESFIRSTDAY.resize({in.species()}, kNoFirstDay);
  // Each kind is stored apart: the report reads one kind at a time, mostly
  // the independent pictures, and need not read the other three with it.
  PICCOUNT.resize({in.groups(), in.species(), in.years(), Range{1, 12}, Range{1, 4}}, 0, 4);
  // Column 1 (first pictures) is stored apart from column 2 (last), so that
  // its starting value is written in one sweep through memory.
  FIRSTLASTPIC.resize({in.groups(), in.species(), Range{1, 7}, Range{1, 2}}, 0, 3);
  for (int g = 1; g <= in.NGROUPS; ++g)
    for (int s = 1; s <= in.NSPECIES; ++s)
      for (int f = 1; f <= 7; ++f) FIRSTLASTPIC(g, s, f, 1) = kNoFirstPicture;
  ACTMONTHHOUR.resize({in.species(), Range{1, 12}, Range{0, 23}}, 0);
  ACTSEASONHOUR.resize({in.species(), Range{1, 4}, Range{0, 23}}, 0);
  ACTMOONHOUR.resize({in.species(), Range{1, 2}, Range{0, 23}}, 0);
  MOONDAYS.resize({Range{1, 2}, Range{1, kMoonSlots}}, 0);
}

void GroupEffort::sizeGroupDates(const StudyInput& in) {
  // Groups without any operating period keep 0 in every field.
  GROUPSTART.resize({in.groups(), Range{1, 4}}, 0);
  GROUPSTOP.resize({in.groups(), Range{1, 4}}, 0);
}

void GroupEffort::sizeGroupTrapDays(const StudyInput& in) {
  GROUPTRAPDAYS.resize({in.groups(), in.years(), Range{1, 12}}, 0);
}

void GroupPositions::sizeGroupPositions(const StudyInput& in) {
  GROUPUTM.resize({in.groups(), Range{1, 2}}, 0);
  GROUPELEV.resize({in.groups()}, 0);
}

}  // namespace mv
