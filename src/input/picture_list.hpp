// One line of the intermediate picture list FinalPicsList.txt.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

namespace detail {

// 00 to 99 as an i2 field: " 0" to " 9", then "10" to "99".
inline constexpr std::array<char, 200> kPaddedPairs = [] {
  std::array<char, 200> t{};
  for (int v = 0; v < 100; ++v) {
    t[static_cast<std::size_t>(2 * v)] = v < 10 ? ' ' : static_cast<char>('0' + v / 10);
    t[static_cast<std::size_t>(2 * v + 1)] = static_cast<char>('0' + v % 10);
  }
  return t;
}();

// An iW field of a value from 0 to 10^W - 1 (W up to 8), written at `out`
// as putInt writes it: the eight digits are made at once, leading zeros
// included, and the leading zeros then turned into blanks with a mask.
template <int W>
[[gnu::always_inline]] inline void putUnsigned(char* out, std::uint32_t v) {
  static_assert(W >= 1 && W <= 8);
  if constexpr (W == 2) {
    std::memcpy(out, kPaddedPairs.data() + 2 * v, 2);
  } else if constexpr (std::endian::native == std::endian::little) {
    // The digit pairs are put together in a register: storing them to
    // memory and reading the eight bytes back would stall the load.
    const auto pair = [](std::uint32_t x) {
      std::uint16_t two;
      std::memcpy(&two, kDigitPairs + 2 * x, 2);
      return std::uint64_t{two};
    };
    const std::uint32_t high = v / 10000;
    const std::uint32_t low = v % 10000;
    std::uint64_t word = pair(high / 100) | pair(high % 100) << 16 | pair(low / 100) << 32 | pair(low % 100) << 48;
    const int significant =
        1 + (v >= 10) + (v >= 100) + (v >= 1000) + (v >= 10000) + (v >= 100000) + (v >= 1000000) + (v >= 10000000);
    // In memory order the last `significant` bytes are kept.
    const std::uint64_t keep = ~std::uint64_t{0} << (8 * (8 - significant));
    word = (word & keep) | (0x2020202020202020ull & ~keep);
    std::memcpy(out, reinterpret_cast<const char*>(&word) + (8 - W), W);
  } else {
    putInt(out, static_cast<std::int32_t>(v), W);
  }
}

template <int W>
[[gnu::always_inline]] inline void putField(char* out, std::int32_t value) {
  constexpr std::int64_t kLimit = W == 2 ? 100 : W == 3 ? 1000 : W == 4 ? 10000 : 10000000;
  static_assert(W == 2 || W == 3 || W == 4 || W == 7);
  if (value >= 0 && value < kLimit) {
    putUnsigned<W>(out, static_cast<std::uint32_t>(value));  // all W columns
  } else {
    std::memset(out, ' ', W);
    putInt(out, value, W);  // a sign, or asterisks
  }
}

}  // namespace detail

// The line exactly as kPictureListLayout renders it, written over
// kListedPictureLength blanks at `out`.
inline void putListedPicture(const ListedPicture& p, char* out) {
  // "(2(i3,1x),i4,6(1x,i2),3(1x,i7))": every field at its fixed column.
  detail::putField<3>(out, p.group);
  detail::putField<3>(out + 4, p.species);
  detail::putField<4>(out + 8, p.year);
  detail::putField<2>(out + 13, p.month);
  detail::putField<2>(out + 16, p.day);
  detail::putField<2>(out + 19, p.hour);
  detail::putField<2>(out + 22, p.minute);
  detail::putField<2>(out + 25, p.second);
  detail::putField<2>(out + 28, p.individuals);
  detail::putField<7>(out + 31, p.dayNumber);
  detail::putField<7>(out + 39, p.hourNumber);
  detail::putField<7>(out + 47, p.minuteNumber);
}

// The line of `p` at `out` when the line of `before`, the picture listed
// just before it, is at `beforeOut`: that line is copied and only the
// fields that differ are written anew (pictures come in bursts, so most
// fields repeat from line to line).
inline void putListedPictureAfter(const ListedPicture& p, char* out, const ListedPicture& before,
                                  const char* beforeOut) {
  std::memcpy(out, beforeOut, kListedPictureLength);
  if (p.group != before.group) detail::putField<3>(out, p.group);
  if (p.species != before.species) detail::putField<3>(out + 4, p.species);
  if (p.year != before.year) detail::putField<4>(out + 8, p.year);
  if (p.month != before.month) detail::putField<2>(out + 13, p.month);
  if (p.day != before.day) detail::putField<2>(out + 16, p.day);
  if (p.hour != before.hour) detail::putField<2>(out + 19, p.hour);
  if (p.minute != before.minute) detail::putField<2>(out + 22, p.minute);
  if (p.second != before.second) detail::putField<2>(out + 25, p.second);
  if (p.individuals != before.individuals) detail::putField<2>(out + 28, p.individuals);
  if (p.dayNumber != before.dayNumber) detail::putField<7>(out + 31, p.dayNumber);
  if (p.hourNumber != before.hourNumber) detail::putField<7>(out + 39, p.hourNumber);
  if (p.minuteNumber != before.minuteNumber) detail::putField<7>(out + 47, p.minuteNumber);
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
