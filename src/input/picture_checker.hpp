// The rules that check one picture line of AllPictures.txt against the
// study: the name look-ups, the day numbers and the reasons a line is
// rejected. No threads here: a checker checks the lines it is given, in
// their order, and says what Reject.txt and the picture list get.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "input/input.hpp"
#include "input/input_warnings.hpp"
#include "input/picture_line.hpp"
#include "input/picture_list.hpp"
#include "model/study.hpp"

namespace mv {

// Names are 25 characters: a multiplication per 8 bytes hashes them much
// faster than the general string hash.
struct NameHash {
  std::size_t operator()(std::string_view s) const noexcept {
    std::uint64_t h = s.size();
    std::size_t k = 0;
    for (; k + 8 <= s.size(); k += 8) {
      std::uint64_t word;
      std::memcpy(&word, s.data() + k, 8);
      h = (h ^ word) * 0x9E3779B97F4A7C15ull;
      h ^= h >> 29;
    }
    for (; k < s.size(); ++k) h = (h ^ static_cast<unsigned char>(s[k])) * 0x100000001B3ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
};

// Whether two 25-character names are the same: four overlapping 8-byte
// words, compared in place of a call to memcmp on every picture line.
inline bool sameName(const char* a, const char* b) {
  static_assert(kPictureNameLength == 25);
  const auto word = [](const char* p, int at) {
    std::uint64_t w;
    std::memcpy(&w, p + at, 8);
    return w;
  };
  return ((word(a, 0) ^ word(b, 0)) | (word(a, 8) ^ word(b, 8)) | (word(a, 16) ^ word(b, 16)) |
          (word(a, 17) ^ word(b, 17))) == 0;
}

// A name lookup built once: each name maps to the number the linear lookup
// would return. Consecutive picture lines mostly repeat their names, so the
// last answer is kept too.
class NameLookup {
 public:
  void add(std::string_view name, int number) { map_.emplace(name, number); }  // the first entry wins
  bool contains(std::string_view name) const { return map_.find(name) != map_.end(); }

  // The number of a 25-character name; 0 when it has none.
  int find(std::string_view name) {
    if (valid_ && sameName(last_, name.data())) return lastNumber_;
    std::memcpy(last_, name.data(), kPictureNameLength);
    valid_ = true;
    const auto found = map_.find(name);
    lastNumber_ = found == map_.end() ? 0 : found->second;
    return lastNumber_;
  }

 private:
  std::unordered_map<std::string_view, int, NameHash> map_;
  char last_[kPictureNameLength] = {};
  int lastNumber_ = 0;
  bool valid_ = false;
};

// GETSPECIESID for every species name.
NameLookup speciesLookup(const StudyInput& st);
// GETSITEID for every location name.
NameLookup siteLookup(const StudyInput& st);

// Day number of day 0 of a month, kept for the last year and month asked:
// picture files are mostly in date order.
class DayNumbers {
 public:
  explicit DayNumbers(int base) : base_(base) {}
  int find(int year, int month, int day) {
    if (!valid_ || year != year_ || month != month_) {
      year_ = year;
      month_ = month;
      dayZero_ = FINDDAY(base_, year, month, 0);
      valid_ = true;
    }
    return dayZero_ + day;  // FINDDAY adds the day last
  }

 private:
  int base_;
  int year_ = 0;
  int month_ = 0;
  int dayZero_ = 0;
  bool valid_ = false;
};

// What checking a run of picture lines gave: its share of Reject.txt and of
// the picture list, the accepted pictures and the counters, in the order of
// its lines. The `keep` settings say which parts are wanted.
struct CheckedLines {
  bool keepAccepted = false;  // whether `accepted` is wanted
  bool keepList = true;       // whether `list` is wanted
  bool keepRejected = false;  // whether `rejectedLines` is wanted
  // Reject.txt lines and picture-list lines, each with its CR LF.
  std::string rejects;
  std::string list;
  std::vector<ListedPicture> accepted;
  long processed = 0;
  long used = 0;
  long rejected = 0;
  long lines = 0;
  // A minute number too large for the list ends the checking at that line;
  // what came before it stays.
  std::int64_t tooLargeMinute = 0;
  long tooLargeLine = 0;  // its line within the run, 0 when none
  // So does a line longer than kMaxLineBytes (its line within the run).
  long tooLongLine = 0;
  // What is only worth a warning, and what an observer is told: the lines
  // that look shifted and the rejected lines (line within the run, the
  // reason as Reject.txt shows it without its trailing blanks, the line),
  // and the used pictures dated outside every operating period of their
  // location.
  std::vector<std::pair<long, std::string>> shifted;
  struct Rejected {
    long line;
    std::string reason;
    std::string text;
  };
  std::vector<Rejected> rejectedLines;
  long outside = 0;
  long untallied = 0;
};

// Checks runs of picture lines against the study. The look-ups keep the
// last name they found, so each thread has a checker of its own.
class PictureChecker {
 public:
  explicit PictureChecker(const StudyInput& st);

  // Checks the whole lines of `lines` (any line ending; the last one may
  // have none) into `out`, whose results start afresh and whose settings
  // stay.
  void check(std::string_view lines, CheckedLines& out);

 private:
  const StudyInput& st_;
  NameLookup species_;
  NameLookup sites_;
  DayNumbers days_;
  PeriodCoverage coverage_;
};

}  // namespace mv
