// Input that is read by the rules but is probably not what its author meant:
// fixed-column lines that look shifted, operating periods that stop before
// they start, pictures taken while their camera was not operating. Each is
// a console warning only; what the readers store and report is unchanged.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "io/console.hpp"
#include "model/study.hpp"

namespace mv {

// One field of a fixed-column line, in 1-based byte columns. Consecutive
// fields of a line are separated by one column that must be blank.
struct FixedField {
  int first;
  int last;
  bool number;        // an integer field; otherwise a name
  const char* label;  // what the field holds, for the warning
  // A name in which a tab is worth a warning (a tab typed between two
  // columns of GroupMap.txt). Picture lines are left to their quick
  // reading, which takes a name as it stands.
  bool tabs = false;
};

// The fields of the three fixed-column lines.
extern const FixedField kLocationLineFields[4];  // Input.txt location line
extern const FixedField kMapLineFields[2];       // GroupMap.txt
extern const FixedField kPictureLineFields[9];   // AllPictures.txt

// Warnings about the lines of one file that look shifted, at most
// kShownShiftWarnings of them; finish() gives the number of the others.
//
// A line looks shifted when a separator column holds a character, when a
// number field is empty although the line goes on after it, or is not a
// number, or when a name field followed by a number field ends, in its last
// column, in a separate group of digits (the start of the next field). An
// all-blank line, or one that simply ends early, does not.
class ShiftWarnings {
 public:
  static constexpr int kShownShiftWarnings = 10;

  ShiftWarnings(std::string file, Console& console) : file_(std::move(file)), console_(console) {}

  // Checks one line; the common well-formed line costs a few byte tests.
  void check(std::string_view line, long lineNumber, std::span<const FixedField> fields) {
    if (looksShifted(line, fields)) warn(line, lineNumber, fields);
  }
  // The count of warnings not shown, if any.
  void finish();

  static bool looksShifted(std::string_view line, std::span<const FixedField> fields);
  // What is wrong with the line, one phrase per fault; empty when nothing.
  static std::vector<std::string> faults(std::string_view line, std::span<const FixedField> fields);

 private:
  void warn(std::string_view line, long lineNumber, std::span<const FixedField> fields);

  std::string file_;
  Console& console_;
  long found_ = 0;
};

// Warnings about lines of one file that are read by the rules but probably
// not as meant, at most kShown of them; finish() gives the number of the
// others: "Warning: 3 more lines of Input.txt <what the others do>".
class LineWarnings {
 public:
  static constexpr int kShown = 10;

  LineWarnings(std::string file, std::string others, Console& console)
      : file_(std::move(file)), others_(std::move(others)), console_(console) {}
  // "Warning: <file> line <n>: <text>".
  void warn(long lineNumber, const std::string& text);
  void finish();
  long found() const { return found_; }

 private:
  std::string file_;
  std::string others_;
  Console& console_;
  long found_ = 0;
};

// Warns about every operating period of Input.txt whose stop date comes
// before its start date, naming its line.
void warnReversedPeriods(const StudyInput& st, Console& console);

// Names for the outputs that promise UTF-8 (the tables package and the HTML
// page) whose bytes are not all UTF-8: they show each such piece as U+FFFD.
// One warning for a file names its first such line and counts the others;
// `shownAs` says where, e.g. "the tables show".
void warnNotUtf8(Console& console, std::string_view file, long firstLine, long moreLines, std::string_view shownAs);

// The warnings for the title and the names of Input.txt and GroupMap.txt
// that the tables (`tables`) or the page (`page`) show: the title and the
// group and species names in both, the location names in the page only.
// Nothing when every one is UTF-8.
void warnNotUtf8Names(const StudyInput& st, Console& console, bool tables, bool page);

// Counts the used pictures dated outside every operating period of their
// location (all locations of that name), and among them those outside the
// study's first and last day, which no tally sees.
class PeriodCoverage {
 public:
  // Needs the day numbers of the periods, FIRSTDAY and LASTDAY.
  explicit PeriodCoverage(const StudyInput& st);

  // One used picture: its location name (25 characters) and day number.
  void add(std::string_view location, int dayNumber) {
    if (location.size() != lastName_.size() || location != lastName_) find(location);
    for (std::size_t k = spanBegin_; k < spanEnd_; ++k)
      if (dayNumber >= periods_[k].first && dayNumber <= periods_[k].second) return;
    ++outside_;
    if (dayNumber < firstDay_ || dayNumber > lastDay_) ++untallied_;
  }

  // Adds the counts of pictures another PeriodCoverage saw.
  void addCounts(long outside, long untallied) {
    outside_ += outside;
    untallied_ += untallied;
  }

  long outside() const { return outside_; }
  long untallied() const { return untallied_; }
  // The console warning, when some picture was outside.
  void report(Console& console) const;

 private:
  void find(std::string_view location);

  std::vector<std::pair<int, int>> periods_;  // by location name, each name's periods together
  std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> byName_;
  std::string lastName_;
  std::size_t spanBegin_ = 0;
  std::size_t spanEnd_ = 0;
  int firstDay_;
  int lastDay_;
  long outside_ = 0;
  long untallied_ = 0;
};

}  // namespace mv
