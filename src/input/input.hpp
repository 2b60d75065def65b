// Input files: Input.txt, GroupMap.txt, AllPictures.txt, and the calendar
// arithmetic that turns dates into day, hour and minute numbers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "input/picture_list.hpp"
#include "layout/console.hpp"
#include "model/study.hpp"

namespace mv {

// Calendar: day 1 is 1 January of the base year; every year divisible by 4
// is a leap year.
int FINDDAY(int base, int year, int month, int day);
int FINDHOUR(int base, int year, int month, int day, int hour);
int FINDMINUTE(int base, int year, int month, int day, int hour, int minute);
// Days in a month (1..12) of a year, with the same leap-year rule.
int monthLength(int year, int month);

// First pass over Input.txt: NLOCATIONS, MAXPERIODS, NSPECIES.
void READINPUTPARAMETERS(Study& st, const std::filesystem::path& folder, Console& console);
// Second pass: title, location and species tables.
void READINPUT(Study& st, const std::filesystem::path& folder, Console& console);
// FIRSTYEAR, LASTYEAR, day numbers of the periods, FIRSTDAY, LASTDAY.
void STARTSTOPDAYS(Study& st, Console& console);
// Ends the run (message, wait, status 1) when the study's last day does not
// fit the 7-column minute numbers of the picture list, before any table is
// sized from the study years.
void checkStudySpan(const Study& st, Console& console);

// GroupMap.txt.
void GETNUMBEROFLOCATIONS(Study& st, const std::filesystem::path& folder);
void READGROUPMAP(Study& st, const std::filesystem::path& folder, Console& console);
void CREATESHORTGROUPLIST(Study& st);

// Name lookups; 0 when not found.
int GETSPECIESID(const Study& st, const Name& name);
int GETSITEID(const Study& st, const Name& name);

// AllPictures.txt -> Reject.txt and FinalPicsList.txt, with the counters.
void READALLPICTURES(Study& st, const std::filesystem::path& folder, Console& console);

// How READALLPICTURES goes about it; the files and counters are the same
// whatever the settings.
struct PictureReading {
  // Threads checking the lines; 0 takes pictureThreads().
  int threads = 0;
  // Bytes of whole lines checked as one piece; 0 takes kPictureChunkBytes.
  std::size_t chunkBytes = 0;
  // Given the accepted pictures in file order, exactly as the picture list
  // holds them, a chunk at a time, while the list is written.
  std::function<void(std::span<const ListedPicture>)> accepted;
};
inline constexpr std::size_t kPictureChunkBytes = std::size_t{1} << 20;
inline constexpr int kMaxPictureThreads = 64;
// The environment variable MORVELSTRAND_THREADS (1 to 64) when set to a
// number, else the number of cores.
int pictureThreads();
void READALLPICTURES(Study& st, const std::filesystem::path& folder, Console& console, const PictureReading& how);

// The PERIOD dialogue; throws RunEnded on a bad answer. A PERIOD given on
// the command line is taken without the prompt, under the same rule.
void GETPERIOD(Study& st, Console& console, std::optional<int> given = std::nullopt);
// The range a PERIOD must lie in, 1 to 1440 minutes.
bool periodInRange(long long minutes);
// The message for a PERIOD out of range; throws RunEnded.
[[noreturn]] void rejectPeriod(Console& console);

}  // namespace mv
