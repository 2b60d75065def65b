#include "model/study.hpp"

namespace mv {

Name makeName(std::string_view text) {
  Name n(text.substr(0, std::min(text.size(), kNameLength)));
  n.resize(kNameLength, ' ');
  return n;
}

void Study::sizeLocationTables() {
  const Range loc = locations();
  LOCATIONNAME.resize({loc}, Name(kNameLength, ' '));
  LOCATIONELEV.resize({loc}, 0);
  NPERIODS.resize({loc}, 0);
  SPECIESNAME.resize({species()}, Name(kNameLength, ' '));
  LOCATIONUTM.resize({loc, Range{1, 2}}, 0);
  PERIODSTART.resize(NLOCATIONS, MAXPERIODS);
  PERIODSTOP.resize(NLOCATIONS, MAXPERIODS);
}

void Study::sizeLocationTrapDays() {
  LOCATIONTRAPDAYS.resize({locations(), years(), Range{1, 12}}, 0);
}

void Study::sizeMapTables() {
  MAPLOCATION.resize({Range{1, NMAPLINES}}, Name(kNameLength, ' '));
  MAPGROUP.resize({Range{1, NMAPLINES}}, Name(kNameLength, ' '));
  LOCATIONGROUP.resize({locations()}, Name(kNameLength, ' '));
}

void Study::sizeGroupTables() {
  GROUPNAME.resize({groups()}, Name(kNameLength, ' '));
  GROUPSIZE.resize({groups()}, 0);
  GROUPLOCATIONS.resize({groups(), locations()}, 0);
}

void Study::sizeTallies() {
  SPECIESFIRSTDAY.resize({species()}, kNoFirstDay);
  PICCOUNT.resize({groups(), species(), years(), Range{1, 12}, Range{1, 4}}, 0);
  FIRSTLASTPIC.resize({groups(), species(), Range{1, 7}, Range{1, 2}}, 0);
  for (int g = 1; g <= NGROUPS; ++g)
    for (int s = 1; s <= NSPECIES; ++s)
      for (int f = 1; f <= 7; ++f) FIRSTLASTPIC(g, s, f, 1) = kNoFirstPicture;
  ACTMONTHHOUR.resize({species(), Range{1, 12}, Range{0, 23}}, 0);
  ACTSEASONHOUR.resize({species(), Range{1, 4}, Range{0, 23}}, 0);
  ACTMOONHOUR.resize({species(), Range{1, 2}, Range{0, 23}}, 0);
  MOONDAYS.resize({Range{1, 2}, Range{1, kMoonSlots}}, 0);
}

void Study::sizeGroupDates() {
  // Groups without any operating period keep 0 in every field.
  GROUPSTART.resize({groups(), Range{1, 4}}, 0);
  GROUPSTOP.resize({groups(), Range{1, 4}}, 0);
}

void Study::sizeGroupTrapDays() { GROUPTRAPDAYS.resize({groups(), years(), Range{1, 12}}, 0); }

void Study::sizeGroupPositions() {
  GROUPUTM.resize({groups(), Range{1, 2}}, 0);
  GROUPELEV.resize({groups()}, 0);
}

}  // namespace mv
