// One line of AllPictures.txt as read: the careful reading of any line and
// the quick one of the usual line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

inline constexpr std::size_t kPictureNameLength = kNameLength;

// One picture line as read with "(2(a25,1x),i4,6(1x,i2))". The names are
// the line's own 25 columns where the line holds them, else a blank-padded
// copy; so they are valid as long as the line is.
struct PictureText {
  const char* locationText = nullptr;
  const char* speciesText = nullptr;
  char location[kPictureNameLength];  // the padded copies, for a short line
  char species[kPictureNameLength];
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t individuals = 0;

  std::string_view locationName() const { return {locationText, kPictureNameLength}; }
  std::string_view speciesName() const { return {speciesText, kPictureNameLength}; }
};

// The 25 columns from `from` on: in the line itself when it holds them (no
// copy, which the name look-ups would otherwise read back at once), else
// padded with blanks into `copy`.
inline const char* nameAt(std::string_view line, std::size_t from, char* copy) {
  if (from + kPictureNameLength <= line.size()) return line.data() + from;
  const std::string_view text = from < line.size() ? line.substr(from, kPictureNameLength) : std::string_view();
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  std::memset(copy + text.size(), ' ', kPictureNameLength - text.size());
  return copy;
}

// False when a numeric field holds anything but blanks, a sign and digits.
inline bool parsePictureLine(std::string_view line, PictureText& p) {
  p.locationText = nameAt(line, 0, p.location);
  p.speciesText = nameAt(line, 26, p.species);
  return parseIntColumns(line, 52, 4, p.year) && parseIntColumns(line, 57, 2, p.month) &&
         parseIntColumns(line, 60, 2, p.day) && parseIntColumns(line, 63, 2, p.hour) &&
         parseIntColumns(line, 66, 2, p.minute) && parseIntColumns(line, 69, 2, p.second) &&
         parseIntColumns(line, 72, 2, p.individuals);
}

// The usual picture line, read in one go: at least 74 columns, no digit in
// column 75, every separator blank, the species name not ending in a digit, and each number
// right-justified (blanks, then digits to its last column). Such a line
// reads exactly as parsePictureLine reads it and never looks shifted.
// False for any other line, which takes the careful path.
[[gnu::always_inline]] inline bool isDigitAt(const unsigned char* c, int k) {
  return static_cast<unsigned>(c[k] - '0') <= 9u;
}
// A two-column number: a blank or digit, then a digit.
[[gnu::always_inline]] inline bool isPairAt(const unsigned char* c, int k) {
  return (c[k] == ' ' || isDigitAt(c, k)) && isDigitAt(c, k + 1);
}
[[gnu::always_inline]] inline std::int32_t pairAt(const unsigned char* c, int k) {
  return static_cast<std::int32_t>((c[k] == ' ' ? 0 : c[k] - '0') * 10 + (c[k + 1] - '0'));
}

inline bool readPlainPictureLine(std::string_view line, PictureText& p) {
  if (line.size() < 74) return false;
  const auto* c = reinterpret_cast<const unsigned char*>(line.data());
  // A digit right after the number of individuals ("100" read as 10).
  if (line.size() > 74 && isDigitAt(c, 74)) return false;
  if ((c[25] != ' ') | (c[51] != ' ') | (c[56] != ' ') | (c[59] != ' ') | (c[62] != ' ') | (c[65] != ' ') |
      (c[68] != ' ') | (c[71] != ' '))
    return false;
  if (isDigitAt(c, 50) || !isPairAt(c, 57) || !isPairAt(c, 60) || !isPairAt(c, 63) || !isPairAt(c, 66) ||
      !isPairAt(c, 69) || !isPairAt(c, 72))
    return false;
  // The year: blanks, then digits, the last column a digit.
  int k = 52;
  while (k < 55 && c[k] == ' ') ++k;
  std::int32_t year = 0;
  for (; k < 56; ++k) {
    if (!isDigitAt(c, k)) return false;
    year = year * 10 + (c[k] - '0');
  }
  p.locationText = line.data();
  p.speciesText = line.data() + 26;
  p.year = year;
  p.month = pairAt(c, 57);
  p.day = pairAt(c, 60);
  p.hour = pairAt(c, 63);
  p.minute = pairAt(c, 66);
  p.second = pairAt(c, 69);
  p.individuals = pairAt(c, 72);
  return true;
}

}  // namespace mv
