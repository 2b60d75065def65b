// Input files: Input.txt, GroupMap.txt, AllPictures.txt, and the calendar
// arithmetic that turns dates into day, hour and minute numbers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "input/picture_list.hpp"
#include "io/console.hpp"
#include "model/study.hpp"

namespace mv {

// Calendar: day 1 is 1 January of the base year; every year divisible by 4
// is a leap year.
int FINDDAY(int base, int year, int month, int day);
int FINDHOUR(int base, int year, int month, int day, int hour);
int FINDMINUTE(int base, int year, int month, int day, int hour, int minute);
// Days in a month (1..12) of a year, with the same leap-year rule.
int monthLength(int year, int month);
// The largest day an operating period's date may give: any month's day
// 1 to 31 is taken, one its month does not have running on into the next.
inline constexpr int kMaxPeriodDay = 31;
// The date whose day number a date as written gives: 31 September is
// 1 October, 31 February of a common year 3 March. Month 1..12, day 1..31.
CalendarDate countedDate(int year, int month, int day);
// That date as yyyy-mm-dd.
std::string countedIsoDate(int year, int month, int day);

// The largest study the readers take, so that the tables sized from the
// counts stay within memory: each count beyond its limit ends the run,
// naming the file and the line. Species and groups are limited by the
// three columns of the picture list (kMaxListedNumber).
inline constexpr int kMaxLocations = 10000;
inline constexpr int kMaxPeriodsPerLocation = 1000;
inline constexpr int kMaxMapLines = 10000;

class FileLines;

// Opens an input file of the study folder: true when it is open, false when
// it does not exist (each reader has its own message for that). Any other
// failure ends the run with a message naming the file and the system's
// reason.
bool openInputFile(FileLines& lines, const std::filesystem::path& file, Console& console);

// First pass over Input.txt: NLOCATIONS, MAXPERIODS, NSPECIES.
void READINPUTPARAMETERS(StudyInput& st, const std::filesystem::path& folder, Console& console);
// Second pass: title, location and species tables.
void READINPUT(StudyInput& st, const std::filesystem::path& folder, Console& console);
// FIRSTYEAR, LASTYEAR, day numbers of the periods, FIRSTDAY, LASTDAY.
void STARTSTOPDAYS(StudyInput& st, Console& console);
// Ends the run (message, wait, status 1) when the study's last day does not
// fit the 7-column minute numbers of the picture list, before any table is
// sized from the study years.
void checkStudySpan(const StudyInput& st, Console& console);

// The input stage before the pictures: Input.txt and GroupMap.txt read,
// checked and turned into the location, period, map, group and species
// tables, each sized from its counts in turn, the study years and days
// set, and the sorted group list made. Ends the run (RunEnded) as each
// reader does.
StudyInput readStudy(const std::filesystem::path& folder, Console& console);

// GroupMap.txt.
void GETNUMBEROFLOCATIONS(StudyInput& st, const std::filesystem::path& folder, Console& console);
void READGROUPMAP(StudyInput& st, const std::filesystem::path& folder, Console& console);
void CREATESHORTGROUPLIST(StudyInput& st);

// Name lookups; 0 when not found.
int GETSPECIESID(const StudyInput& st, const Name& name);
int GETSITEID(const StudyInput& st, const Name& name);

// Told about the picture lines as READALLPICTURES decides on them, for
// outputs beside the report.
class PictureObserver {
 public:
  virtual ~PictureObserver() = default;
  // A rejected line: its line number in AllPictures.txt, the reason as the
  // first of its Reject.txt lines shows it (without trailing blanks), and
  // the line as read.
  virtual void rejected(long lineNumber, std::string_view reason, std::string_view line) = 0;
  // Pictures written to the picture list, a chunk of them at a time, in
  // file order.
  virtual void listed(std::span<const ListedPicture> pictures) = 0;
};

// AllPictures.txt -> Reject.txt and FinalPicsList.txt, with the counters
// NPROCESSED, NUSED and NREJECTED of `tallies`.
void READALLPICTURES(const StudyInput& st, PictureTallies& tallies, const std::filesystem::path& folder,
                     Console& console, PictureObserver* observer = nullptr);

// How READALLPICTURES goes about it; the files and counters are the same
// whatever the settings.
struct PictureReading {
  // Threads checking the lines; 0 takes workThreads().
  int threads = 0;
  // Bytes of whole lines checked as one piece; 0 takes kPictureChunkBytes.
  std::size_t chunkBytes = 0;
  // Given the accepted pictures in file order, exactly as the picture list
  // holds them, a chunk at a time, while the list is written.
  std::function<void(std::span<const ListedPicture>)> accepted;
  // Told about every rejected and listed picture, in file order.
  PictureObserver* observer = nullptr;
  // Read from start to end by one thread, as a file that is not a regular
  // one (a pipe) always is, rather than part by part at their places.
  bool readInOrder = false;
  // Whether FinalPicsList.txt is written: not when the accepted pictures are
  // all taken as they come and the list would never be read back.
  bool writeList = true;
  // When set, Reject.txt is written into this sink and left complete and
  // closed under its temporary name; the caller renames it into place with
  // the report (commit), or, when nothing was rejected, discards it and
  // removes an older Reject.txt. Until then an older Reject.txt stays.
  FileSink* rejects = nullptr;
};
inline constexpr std::size_t kPictureChunkBytes = std::size_t{256} << 10;
void READALLPICTURES(const StudyInput& st, PictureTallies& tallies, const std::filesystem::path& folder,
                     Console& console, const PictureReading& how);

// The PERIOD dialogue; throws RunEnded on a bad answer. A PERIOD given on
// the command line is taken without the prompt, under the same rule.
void GETPERIOD(PictureTallies& tallies, Console& console, std::optional<int> given = std::nullopt);
// The range a PERIOD must lie in, 1 to 1440 minutes.
bool periodInRange(long long minutes);
// The message for a PERIOD out of range; throws RunEnded.
[[noreturn]] void rejectPeriod(Console& console);

}  // namespace mv
