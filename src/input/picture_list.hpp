// One line of the intermediate picture list FinalPicsList.txt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "layout/layout.hpp"

namespace mv {

// The layout of a picture-list line.
inline constexpr const char* kPictureListLayout = "(2(i3,1x),i4,6(1x,i2),3(1x,i7))";

// The largest group or species number and minute number that fit the list.
inline constexpr int kMaxListedNumber = 999;
inline constexpr std::int64_t kMaxMinuteNumber = 9999999;

struct ListedPicture {
  std::int32_t group = 0;
  std::int32_t species = 0;
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t individuals = 0;
  std::int32_t dayNumber = 0;
  std::int32_t hourNumber = 0;
  std::int32_t minuteNumber = 0;
};

// Writing and reading a line are kept together here, field by field, so the
// columns one side uses are the columns the other reads. Both are inline:
// the list can hold millions of lines, written and read back in one run.

// Characters of a line, without its line end.
inline constexpr std::size_t kListedPictureLength = 54;

// The line exactly as kPictureListLayout renders it, written over
// kListedPictureLength blanks at `out`.
inline void putListedPicture(const ListedPicture& p, char* out) {
  // "(2(i3,1x),i4,6(1x,i2),3(1x,i7))": every field at its fixed column.
  putInt(out, p.group, 3);
  putInt(out + 4, p.species, 3);
  putInt(out + 8, p.year, 4);
  int at = 13;
  for (std::int32_t v : {p.month, p.day, p.hour, p.minute, p.second, p.individuals}) {
    putInt(out + at, v, 2);
    at += 3;
  }
  at = 31;
  for (std::int32_t v : {p.dayNumber, p.hourNumber, p.minuteNumber}) {
    putInt(out + at, v, 7);
    at += 8;
  }
}

// The same line as a string.
inline void formatListedPicture(const ListedPicture& p, std::string& line) {
  line.assign(kListedPictureLength, ' ');
  putListedPicture(p, line.data());
}

// Reads one line back; false when a field is not a number. Columns beyond
// the last field are not looked at.
inline bool parseListedPicture(std::string_view line, ListedPicture& p) {
  // Columns: group 1-3, species 5-7, year 9-12, month 14-15, day 17-18,
  // hour 20-21, minute 23-24, second 26-27, individuals 29-30, day number
  // 32-38, hour number 40-46, minute number 48-54.
  if (line.size() > kListedPictureLength) line = line.substr(0, kListedPictureLength);
  return parseIntColumns(line, 0, 3, p.group) && parseIntColumns(line, 4, 3, p.species) &&
         parseIntColumns(line, 8, 4, p.year) && parseIntColumns(line, 13, 2, p.month) &&
         parseIntColumns(line, 16, 2, p.day) && parseIntColumns(line, 19, 2, p.hour) &&
         parseIntColumns(line, 22, 2, p.minute) && parseIntColumns(line, 25, 2, p.second) &&
         parseIntColumns(line, 28, 2, p.individuals) && parseIntColumns(line, 31, 7, p.dayNumber) &&
         parseIntColumns(line, 39, 7, p.hourNumber) && parseIntColumns(line, 47, 7, p.minuteNumber);
}

}  // namespace mv
