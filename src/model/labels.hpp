// Hour labels, month and season names, the moon phases' rows, ISO dates and
// names without their padding, shared by the input, the tallies, the report
// sections, the tables and the page.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <string_view>

namespace mv {

// Hour h is labelled by characters 2h+1 and 2h+2 of this text, so the
// segment of hour h runs from label(h) to label(h+1), up to "24".
inline constexpr std::string_view kHourLabels = "00010203040506070809101112131415161718192021222324";
// Three characters per month, January first.
inline constexpr std::string_view kMonthNames = "JanFebMarAprMayJunJulAugSepOctNovDec";

// Two-character label of hour 0..24.
inline std::string_view hourLabel(int h) { return kHourLabels.substr(static_cast<std::size_t>(2 * h), 2); }
// Three-character name of month 1..12; three blanks for any other number.
inline std::string_view monthName(int m) {
  if (m < 1 || m > 12) return "   ";
  return kMonthNames.substr(static_cast<std::size_t>(3 * (m - 1)), 3);
}

// Seasons of three months, numbered 1..4: December, January and February
// are season 1 whatever their year; then spring 2, summer 3, autumn 4.
inline int seasonOf(int month) { return month == 12 ? 1 : month / 3 + 1; }
// Label of season k at index k - 1.
inline constexpr std::array<std::string_view, 4> kSeasonLabels = {"Dec-Jan-Feb", "Mar-Apr-May", "Jun-Jul-Aug",
                                                                  "Sep-Oct-Nov"};

// Rows of the moon tallies (MOONDAYS, ACTMOONHOUR): the full moon, then the
// new moon.
inline constexpr int kFullMoon = 1;
inline constexpr int kNewMoon = 2;

// A name without its padding: the trailing blanks of a 25-character name
// (or of any text) removed.
inline std::string_view trimmedName(std::string_view name) {
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return name;
}

// `value` written at `out` in at least `width` digits, zero-filled; returns
// where the digits end.
inline char* putZeroFilled(char* out, int value, int width) {
  char digits[16];
  const char* const last = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (auto n = last - digits; n < width; ++n) *out++ = '0';
  return std::copy(static_cast<const char*>(digits), last, out);
}

// A date as yyyy-mm-dd written at `out` (at most 40 characters); returns
// where it ends.
inline char* putIsoDate(char* out, int year, int month, int day) {
  out = putZeroFilled(out, year, 4);
  *out++ = '-';
  out = putZeroFilled(out, month, 2);
  *out++ = '-';
  return putZeroFilled(out, day, 2);
}

// The same date as a string.
inline std::string isoDate(int year, int month, int day) {
  char text[40];
  return std::string(text, putIsoDate(text, year, month, day));
}

}  // namespace mv
