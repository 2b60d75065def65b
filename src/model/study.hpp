// Everything the program knows about one study, split by the stage that makes
// it: the input tables, the picture tallies, the sampling effort and the group
// positions. Sized at run time from the counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/table.hpp"

namespace mv {

// Location, group and species names are 25 characters, blank-padded; the
// title is 75. Equality and order are those of the padded strings.
constexpr std::size_t kNameLength = 25;
constexpr std::size_t kTitleLength = 75;
using Name = std::string;

// Pads (or cuts) a text to a 25-character name.
Name makeName(std::string_view text);

// Kinds of PICCOUNT.
enum PicKind : int { kAllPictures = 1, kActivityPictures = 2, kIndependentPictures = 3, kIndividuals = 4 };

// A calendar date.
struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Fields of PERIODSTART / PERIODSTOP / GROUPSTART / GROUPSTOP.
enum DateField : int { kYear = 1, kMonth = 2, kDay = 3, kDayNumber = 4 };

// Starting values of FIRSTLASTPIC: column 1 (first) 9999999, column 2 (last) 0.
constexpr int kNoFirstPicture = 9999999;
// SPECIESFIRSTDAY of a species without a listed picture.
constexpr int kNoFirstDay = 999999;
// Slots per row of MOONDAYS.
constexpr int kMoonSlots = 500;

// The study as its input files give it: counts, study years and days, title,
// and the location, period, map, group and species tables. Made by the input
// stage (readStudy) and read by every later stage.
struct StudyInput {
  int NLOCATIONS = 0;
  int NSPECIES = 0;
  int MAXPERIODS = 0;
  int NMAPLINES = 0;
  int NGROUPS = 0;
  int FIRSTYEAR = 3000;
  int LASTYEAR = 1000;
  int FIRSTDAY = 366;
  int LASTDAY = 1;
  std::string TITLE = std::string(kTitleLength, ' ');

  // Locations (1..NLOCATIONS).
  Table<Name, 1> LOCATIONNAME;
  Table<int, 2> LOCATIONUTM;  // location, 1 east-west / 2 north-south
  Table<int, 1> LOCATIONELEV;
  Table<int, 1> NPERIODS;
  PeriodTable PERIODSTART;  // location, period 1..MAXPERIODS, field 1..4
  PeriodTable PERIODSTOP;
  Table<Name, 1> LOCATIONGROUP;

  // Group map (1..NMAPLINES, file order).
  Table<Name, 1> MAPLOCATION;
  Table<Name, 1> MAPGROUP;

  // Groups (1..NGROUPS, sorted by name).
  Table<Name, 1> GROUPNAME;
  Table<int, 1> GROUPSIZE;
  Table<int, 2> GROUPLOCATIONS;  // group, slot 1..NLOCATIONS

  // Species (1..NSPECIES, Input.txt order).
  Table<Name, 1> SPECIESNAME;

  Range years() const { return Range{FIRSTYEAR, LASTYEAR}; }
  Range groups() const { return Range{1, NGROUPS}; }
  Range species() const { return Range{1, NSPECIES}; }
  Range locations() const { return Range{1, NLOCATIONS}; }

  // Sizing steps of the input stage, each table to exactly its counts.
  void sizeLocationTables();  // after the first pass over Input.txt
  void sizeMapTables();       // after GroupMap.txt is counted
  void sizeGroupTables();     // after the groups are counted
};

// What the picture stage makes of the picture files: the line counters, the
// PERIOD the independence rule ran with, the moon days the lunar tallies
// were taken against, and the tallies themselves. PERIOD and MOONDAYS belong
// here rather than to the input: both are settled only within this stage
// (PERIOD is asked once the pictures are counted) and no later stage needs
// them but to describe these tallies.
struct PictureTallies {
  int PERIOD = 0;
  int NPROCESSED = 0;
  int NUSED = 0;
  int NREJECTED = 0;

  Table<int, 1> SPECIESFIRSTDAY;
  Table<int, 5> PICCOUNT;       // group, species, year, month, kind 1..4
  Table<int, 4> FIRSTLASTPIC;   // group, species, field 1..7, column 1..2
  Table<int, 3> ACTMONTHHOUR;   // species, month 1..12, hour 0..23
  Table<int, 3> ACTSEASONHOUR;  // species, season 1..4, hour 0..23
  Table<int, 3> ACTMOONHOUR;    // species, phase 1..2, hour 0..23
  Table<int, 2> MOONDAYS;       // phase 1..2, slot 1..500

  // Before the picture list is read: every tally at its starting value.
  void sizeTallies(const StudyInput& in);
};

// GROUPSTART's day number for a group none of whose locations has an
// operating period (its year, month and day stay 0): no stop day exceeds it.
constexpr int kNoStartDay = 9999999;

// Sampling effort: the dates each group operated and the camera trap days
// per location and per group.
struct GroupEffort {
  Table<int, 2> GROUPSTART;  // group, field 1..4
  Table<int, 2> GROUPSTOP;
  Table<int, 3> LOCATIONTRAPDAYS;  // location, year, month
  Table<int, 3> GROUPTRAPDAYS;     // group, year, month

  void sizeGroupDates(const StudyInput& in);        // GROUPSTART, GROUPSTOP
  void sizeLocationTrapDays(const StudyInput& in);  // LOCATIONTRAPDAYS, zero-filled
  void sizeGroupTrapDays(const StudyInput& in);     // GROUPTRAPDAYS, zero-filled
};

// The average position and elevation of each group.
struct GroupPositions {
  Table<int, 2> GROUPUTM;  // group, 1..2
  Table<int, 1> GROUPELEV;

  void sizeGroupPositions(const StudyInput& in);
};

// Every stage's results in one value, for a study built by hand (tests and
// tools). The run itself holds each stage's result apart, so that a step can
// only be given what an earlier step made.
struct Study : StudyInput, PictureTallies, GroupEffort, GroupPositions {
  void sizeTallies() { PictureTallies::sizeTallies(*this); }
  void sizeGroupDates() { GroupEffort::sizeGroupDates(*this); }
  void sizeLocationTrapDays() { GroupEffort::sizeLocationTrapDays(*this); }
  void sizeGroupTrapDays() { GroupEffort::sizeGroupTrapDays(*this); }
  void sizeGroupPositions() { GroupPositions::sizeGroupPositions(*this); }
};

}  // namespace mv
