// One line of the intermediate picture list FinalPicsList.txt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

// The line (without its line end) exactly as kPictureListLayout renders it,
// formatted directly because the list can hold millions of lines.
void formatListedPicture(const ListedPicture& p, std::string& line);
// The same line written over kListedPictureLength blanks at `out`.
inline constexpr std::size_t kListedPictureLength = 54;
void putListedPicture(const ListedPicture& p, char* out);

}  // namespace mv
