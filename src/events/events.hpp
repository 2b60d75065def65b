// Independence rule, picture tallies and the moon calendar.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "input/picture_list.hpp"
#include "model/study.hpp"

namespace mv {

// ---- Moon calendar -------------------------------------------------------

// One lunar month of the built-in calendar: a full moon and the new moon
// before it.
struct MoonEntry {
  CalendarDate fullMoon;
  CalendarDate newMoon;
};

constexpr int kMoonCalendarEntries = 210;

// Full and new moons from January 2000 to December 2016, one entry per lunar
// month.
extern const std::array<MoonEntry, kMoonCalendarEntries> MOONCALENDAR;

// Day numbers of the full and new moons within the study years: MOONDAYS(1, k)
// full moon and MOONDAYS(2, k) new moon of calendar entry k, 0 for a date
// outside FIRSTYEAR..LASTYEAR; then, from slot 211 on in time order, the
// computed full (row 1) and new (row 2) moons of the study years outside the
// calendar. MOONDAYS arrives zeroed. Throws std::length_error should the
// computed phases not fit the slots (never for a study the run accepts).
void MOONPHASES(const StudyInput& st, PictureTallies& tallies);

// Years of the built-in calendar; the phases of every other study year are
// computed.
constexpr int kFirstTabledMoonYear = 2000;
constexpr int kLastTabledMoonYear = 2016;

// True when some study year from firstYear to lastYear lies outside the
// built-in calendar, so that its moon days are computed.
bool moonYearsComputed(int firstYear, int lastYear);

enum class MoonPhase { New, Full };

// One computed phase: its instant as a Julian day in universal time and the
// UTC calendar date of that instant.
struct ComputedMoon {
  MoonPhase phase = MoonPhase::New;
  double instant = 0.0;
  CalendarDate date;
};

// Delta T (dynamical time minus universal time) in seconds for the decimal
// year y, from the Espenak-Meeus polynomial of y's range.
double deltaT(double y);

// Instant, as a Julian day in universal time, of the new moon or the full
// moon of lunation `lunation` (lunation 0: the new moon of 6 January 2000 and
// the full moon after it).
double moonPhaseInstant(int lunation, MoonPhase phase);

// Proleptic Gregorian calendar date of a Julian day.
CalendarDate utcDate(double julianDay);

// Every new and full moon whose UTC date falls in `year`, in time order.
std::vector<ComputedMoon> computedMoonPhases(int year);

// The moon phase a day number counts for, taken from MOONDAYS: 1 when it
// lies within 5 days of a listed full moon, else 2 when within 5 days of a
// listed new moon, else 0. Worked out once for every day so that each
// activity picture needs a single look-up.
class MoonWindows {
 public:
  explicit MoonWindows(const Table<int, 2>& moonDays);
  int phase(int dayNumber) const;

 private:
  std::int64_t first_ = 0;           // day number of flags_[0]
  std::vector<std::uint8_t> flags_;  // phase per day from first_ on
  std::vector<int> full_, new_;      // the filled slots, when the span is too wide for flags_
  bool walk_ = false;
};

// ---- Picture tallies ---------------------------------------------------------

// Keeps the first and last picture of species s at group g: column 1 takes a
// strictly smaller minute number m, column 2 a strictly larger one.
void FIRSTLAST(Table<int, 4>& FIRSTLASTPIC, int g, int s, int Y, int M, int D, int H, int N, int d, int m);

// Adds one activity picture of species s (month M, clock hour H, day number d)
// to ACTMONTHHOUR, ACTSEASONHOUR and, near a full or new moon, ACTMOONHOUR.
void UPDATEACTIVITY(int s, const MoonWindows& moon, int H, int M, int d, Table<int, 3>& ACTMONTHHOUR,
                    Table<int, 3>& ACTSEASONHOUR, Table<int, 3>& ACTMOONHOUR);

// One independent event of a group and species: the picture that opened it
// (the one counted as an independent picture), the listed pictures that
// belong to it (that one and every later picture of the same run up to the
// one that opens the next event), and its largest number of individuals
// (what it adds to the individuals tally).
struct IndependentEvent {
  ListedPicture start;
  int pictures = 0;
  int individuals = 0;
};

// Told about each event as it closes, in list order, for outputs beside the
// report.
class EventObserver {
 public:
  virtual ~EventObserver() = default;
  virtual void eventClosed(const IndependentEvent& event) = 0;
};

// The independence rule applied to the picture list line by line, in list
// order. Fills PICCOUNT, SPECIESFIRSTDAY, FIRSTLASTPIC and the activity
// tables of `tallies`, which must already be sized and set to their starting
// values, with PERIOD and MOONDAYS set. With an observer, each event is
// handed to it when the next one opens; finish() hands on the last.
class PictureLoop {
 public:
  PictureLoop(const StudyInput& st, PictureTallies& tallies, EventObserver* events = nullptr);
  void add(const ListedPicture& p);
  // Pictures in file order, as add() one by one.
  void add(std::span<const ListedPicture> pictures);
  // After the last picture: closes the open event.
  void finish();

 private:
  void openEvent(const ListedPicture& p);
  const StudyInput& st_;
  PictureTallies& tallies_;
  MoonWindows moon_;
  EventObserver* events_;
  IndependentEvent event_;  // the open event, kept only for an observer
  int previousGroup_ = 0;
  int previousSpecies_ = 0;
  int previousHour_ = 0;
  int eventMinute_ = 0;
  int eventIndividuals_ = 0;
};

// The picture loop: reads folder/FinalPicsList.txt into PICCOUNT,
// SPECIESFIRSTDAY, FIRSTLASTPIC and the activity tables, telling `events`
// (when given) about every independent event. Throws std::runtime_error
// when the list cannot be opened or read.
void READPICTURELIST(const StudyInput& st, PictureTallies& tallies, const std::filesystem::path& folder,
                     EventObserver* events = nullptr);

}  // namespace mv
