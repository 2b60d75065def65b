#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include "events/events.hpp"
#include "model/labels.hpp"
#include "input/input.hpp"
#include "input/picture_list.hpp"

namespace mv {

// Entry k: {full moon}, {the new moon before it}, as year, month, day. The
// dates follow local calendar days, so some lie one day off the UTC date.
// Three dates are corrected against an astronomical computation of the
// phases; the table this one was taken from had dates that are no moon phase
// at all:
//   entry 1   new moon  6 January 2000 (was 10 January 2000);
//   entry 101 full moon 20 February 2008 (was 29 February 2008, 23 days
//             after the entry's new moon);
//   entry 119 new moon  21 July 2009 (was 21 April 2009, out of sequence).
// clang-format off
const std::array<MoonEntry, kMoonCalendarEntries> MOONCALENDAR = {{
    {{2000,  1, 21}, {2000,  1,  6}},  // 1
    {{2000,  2, 19}, {2000,  2,  5}},  // 2
    {{2000,  3, 20}, {2000,  3,  6}},  // 3
    {{2000,  4, 18}, {2000,  4,  4}},  // 4
    {{2000,  5, 18}, {2000,  5,  4}},  // 5
    {{2000,  6, 16}, {2000,  6,  2}},  // 6
    {{2000,  7, 16}, {2000,  7,  1}},  // 7
    {{2000,  8, 15}, {2000,  7, 31}},  // 8
    {{2000,  9, 13}, {2000,  8, 29}},  // 9
    {{2000, 10, 13}, {2000,  9, 27}},  // 10
    {{2000, 11, 11}, {2000, 10, 27}},  // 11
    {{2000, 12, 11}, {2000, 11, 25}},  // 12
    {{2001,  1,  9}, {2000, 12, 25}},  // 13
    {{2001,  2,  8}, {2001,  1, 24}},  // 14
    {{2001,  3,  9}, {2001,  2, 23}},  // 15
    {{2001,  4,  7}, {2001,  3, 24}},  // 16
    {{2001,  5,  7}, {2001,  4, 23}},  // 17
    {{2001,  6,  5}, {2001,  5, 22}},  // 18
    {{2001,  7,  5}, {2001,  6, 21}},  // 19
    {{2001,  8,  3}, {2001,  7, 20}},  // 20
    {{2001,  9,  2}, {2001,  8, 18}},  // 21
    {{2001, 10,  2}, {2001,  9, 17}},  // 22
    {{2001, 10, 31}, {2001, 10, 16}},  // 23
    {{2001, 11, 30}, {2001, 11, 14}},  // 24
    {{2001, 12, 30}, {2001, 12, 14}},  // 25
    {{2002,  1, 28}, {2002,  1, 13}},  // 26
    {{2002,  2, 27}, {2002,  2, 12}},  // 27
    {{2002,  3, 28}, {2002,  3, 13}},  // 28
    {{2002,  4, 26}, {2002,  4, 12}},  // 29
    {{2002,  5, 26}, {2002,  5, 12}},  // 30
    {{2002,  6, 24}, {2002,  6, 10}},  // 31
    {{2002,  7, 24}, {2002,  7, 10}},  // 32
    {{2002,  8, 22}, {2002,  8,  8}},  // 33
    {{2002,  9, 21}, {2002,  9,  6}},  // 34
    {{2002, 10, 21}, {2002, 10,  6}},  // 35
    {{2002, 11, 19}, {2002, 11,  4}},  // 36
    {{2002, 12, 19}, {2002, 12,  4}},  // 37
    {{2003,  1, 18}, {2003,  1,  2}},  // 38
    {{2003,  2, 16}, {2003,  2,  1}},  // 39
    {{2003,  3, 18}, {2003,  3,  2}},  // 40
    {{2003,  4, 16}, {2003,  4,  1}},  // 41
    {{2003,  5, 15}, {2003,  5,  1}},  // 42
    {{2003,  6, 14}, {2003,  5, 30}},  // 43
    {{2003,  7, 13}, {2003,  6, 29}},  // 44
    {{2003,  8, 11}, {2003,  7, 28}},  // 45
    {{2003,  9, 10}, {2003,  8, 27}},  // 46
    {{2003, 10, 10}, {2003,  9, 25}},  // 47
    {{2003, 11,  8}, {2003, 10, 25}},  // 48
    {{2003, 12,  8}, {2003, 11, 23}},  // 49
    {{2004,  1,  7}, {2003, 12, 23}},  // 50
    {{2004,  2,  6}, {2004,  1, 21}},  // 51
    {{2004,  3,  6}, {2004,  2, 20}},  // 52
    {{2004,  4,  5}, {2004,  3, 20}},  // 53
    {{2004,  5,  4}, {2004,  4, 19}},  // 54
    {{2004,  6,  2}, {2004,  5, 18}},  // 55
    {{2004,  7,  2}, {2004,  6, 17}},  // 56
    {{2004,  7, 31}, {2004,  7, 17}},  // 57
    {{2004,  8, 29}, {2004,  8, 15}},  // 58
    {{2004,  9, 28}, {2004,  9, 14}},  // 59
    {{2004, 10, 27}, {2004, 10, 13}},  // 60
    {{2004, 11, 26}, {2004, 11, 12}},  // 61
    {{2004, 12, 26}, {2004, 12, 11}},  // 62
    {{2005,  1, 25}, {2005,  1, 10}},  // 63
    {{2005,  2, 23}, {2005,  2,  8}},  // 64
    {{2005,  3, 25}, {2005,  3, 10}},  // 65
    {{2005,  4, 24}, {2005,  4,  8}},  // 66
    {{2005,  5, 23}, {2005,  5,  8}},  // 67
    {{2005,  6, 21}, {2005,  6,  6}},  // 68
    {{2005,  7, 21}, {2005,  7,  6}},  // 69
    {{2005,  8, 19}, {2005,  8,  4}},  // 70
    {{2005,  9, 17}, {2005,  9,  3}},  // 71
    {{2005, 10, 17}, {2005, 10,  3}},  // 72
    {{2005, 11, 15}, {2005, 11,  1}},  // 73
    {{2005, 12, 15}, {2005, 12,  1}},  // 74
    {{2006,  1, 14}, {2005, 12, 30}},  // 75
    {{2006,  2, 12}, {2006,  1, 29}},  // 76
    {{2006,  3, 14}, {2006,  2, 27}},  // 77
    {{2006,  4, 13}, {2006,  3, 29}},  // 78
    {{2006,  5, 12}, {2006,  4, 27}},  // 79
    {{2006,  6, 11}, {2006,  5, 26}},  // 80
    {{2006,  7, 10}, {2006,  6, 25}},  // 81
    {{2006,  8,  9}, {2006,  7, 24}},  // 82
    {{2006,  9,  7}, {2006,  8, 23}},  // 83
    {{2006, 10,  6}, {2006,  9, 22}},  // 84
    {{2006, 11,  5}, {2006, 10, 21}},  // 85
    {{2006, 12,  4}, {2006, 11, 20}},  // 86
    {{2007,  1,  3}, {2006, 12, 20}},  // 87
    {{2007,  2,  1}, {2007,  1, 18}},  // 88
    {{2007,  3,  3}, {2007,  2, 17}},  // 89
    {{2007,  4,  2}, {2007,  3, 18}},  // 90
    {{2007,  5,  2}, {2007,  4, 17}},  // 91
    {{2007,  5, 31}, {2007,  5, 16}},  // 92
    {{2007,  6, 30}, {2007,  6, 14}},  // 93
    {{2007,  7, 29}, {2007,  7, 14}},  // 94
    {{2007,  8, 28}, {2007,  8, 12}},  // 95
    {{2007,  9, 26}, {2007,  9, 11}},  // 96
    {{2007, 10, 25}, {2007, 10, 10}},  // 97
    {{2007, 11, 24}, {2007, 11,  9}},  // 98
    {{2007, 12, 23}, {2007, 12,  9}},  // 99
    {{2008,  1, 22}, {2008,  1,  8}},  // 100
    {{2008,  2, 20}, {2008,  2,  6}},  // 101
    {{2008,  3, 21}, {2008,  3,  7}},  // 102
    {{2008,  4, 20}, {2008,  4,  5}},  // 103
    {{2008,  5, 19}, {2008,  5,  5}},  // 104
    {{2008,  6, 18}, {2008,  6,  3}},  // 105
    {{2008,  7, 18}, {2008,  7,  2}},  // 106
    {{2008,  8, 16}, {2008,  8,  1}},  // 107
    {{2008,  9, 15}, {2008,  8, 30}},  // 108
    {{2008, 10, 14}, {2008,  9, 29}},  // 109
    {{2008, 11, 12}, {2008, 10, 28}},  // 110
    {{2008, 12, 12}, {2008, 11, 27}},  // 111
    {{2009,  1, 10}, {2008, 12, 27}},  // 112
    {{2009,  2,  9}, {2009,  1, 26}},  // 113
    {{2009,  3, 10}, {2009,  2, 23}},  // 114
    {{2009,  4,  9}, {2009,  3, 26}},  // 115
    {{2009,  5,  8}, {2009,  4, 24}},  // 116
    {{2009,  6,  7}, {2009,  5, 24}},  // 117
    {{2009,  7,  7}, {2009,  6, 22}},  // 118
    {{2009,  8,  5}, {2009,  7, 21}},  // 119
    {{2009,  9,  4}, {2009,  8, 20}},  // 120
    {{2009, 10,  3}, {2009,  9, 18}},  // 121
    {{2009, 11,  2}, {2009, 10, 17}},  // 122
    {{2009, 12,  2}, {2009, 11, 16}},  // 123
    {{2009, 12, 31}, {2009, 12, 16}},  // 124
    {{2010,  1, 29}, {2010,  1, 15}},  // 125
    {{2010,  2, 28}, {2010,  2, 13}},  // 126
    {{2010,  3, 29}, {2010,  3, 15}},  // 127
    {{2010,  4, 28}, {2010,  4, 14}},  // 128
    {{2010,  5, 27}, {2010,  5, 13}},  // 129
    {{2010,  6, 26}, {2010,  6, 12}},  // 130
    {{2010,  7, 25}, {2010,  7, 11}},  // 131
    {{2010,  8, 24}, {2010,  8,  9}},  // 132
    {{2010,  9, 23}, {2010,  9,  8}},  // 133
    {{2010, 10, 22}, {2010, 10,  7}},  // 134
    {{2010, 11, 21}, {2010, 11,  5}},  // 135
    {{2010, 12, 21}, {2010, 12,  5}},  // 136
    {{2011,  1, 19}, {2011,  1,  4}},  // 137
    {{2011,  2, 18}, {2011,  2,  2}},  // 138
    {{2011,  3, 19}, {2011,  3,  4}},  // 139
    {{2011,  4, 17}, {2011,  4,  3}},  // 140
    {{2011,  5, 17}, {2011,  5,  3}},  // 141
    {{2011,  6, 15}, {2011,  6,  1}},  // 142
    {{2011,  7, 15}, {2011,  7,  1}},  // 143
    {{2011,  8, 13}, {2011,  7, 30}},  // 144
    {{2011,  9, 12}, {2011,  8, 28}},  // 145
    {{2011, 10, 11}, {2011,  9, 27}},  // 146
    {{2011, 11, 10}, {2011, 10, 26}},  // 147
    {{2011, 12, 10}, {2011, 11, 24}},  // 148
    {{2012,  1,  9}, {2011, 12, 24}},  // 149
    {{2012,  2,  7}, {2012,  1, 23}},  // 150
    {{2012,  3,  8}, {2012,  2, 21}},  // 151
    {{2012,  4,  6}, {2012,  3, 22}},  // 152
    {{2012,  5,  5}, {2012,  4, 21}},  // 153
    {{2012,  6,  4}, {2012,  5, 20}},  // 154
    {{2012,  7,  3}, {2012,  6, 19}},  // 155
    {{2012,  8,  1}, {2012,  7, 18}},  // 156
    {{2012,  8, 31}, {2012,  8, 17}},  // 157
    {{2012,  9, 29}, {2012,  9, 15}},  // 158
    {{2012, 10, 29}, {2012, 10, 15}},  // 159
    {{2012, 11, 28}, {2012, 11, 13}},  // 160
    {{2012, 12, 28}, {2012, 12, 13}},  // 161
    {{2013,  1, 27}, {2013,  1, 11}},  // 162
    {{2013,  2, 25}, {2013,  2, 10}},  // 163
    {{2013,  3, 27}, {2013,  3, 11}},  // 164
    {{2013,  4, 25}, {2013,  4, 10}},  // 165
    {{2013,  5, 25}, {2013,  5, 10}},  // 166
    {{2013,  6, 23}, {2013,  6,  8}},  // 167
    {{2013,  7, 22}, {2013,  7,  8}},  // 168
    {{2013,  8, 21}, {2013,  8,  6}},  // 169
    {{2013,  9, 19}, {2013,  9,  5}},  // 170
    {{2013, 10, 18}, {2013, 10,  5}},  // 171
    {{2013, 11, 17}, {2013, 11,  3}},  // 172
    {{2013, 12, 17}, {2013, 12,  3}},  // 173
    {{2014,  1, 15}, {2014,  1,  1}},  // 174
    {{2014,  2, 14}, {2014,  1, 30}},  // 175
    {{2014,  3, 16}, {2014,  3,  1}},  // 176
    {{2014,  4, 15}, {2014,  3, 30}},  // 177
    {{2014,  5, 14}, {2014,  4, 29}},  // 178
    {{2014,  6, 13}, {2014,  5, 28}},  // 179
    {{2014,  7, 12}, {2014,  6, 27}},  // 180
    {{2014,  8, 10}, {2014,  7, 26}},  // 181
    {{2014,  9,  9}, {2014,  8, 25}},  // 182
    {{2014, 10,  8}, {2014,  9, 24}},  // 183
    {{2014, 11,  6}, {2014, 10, 23}},  // 184
    {{2014, 12,  6}, {2014, 11, 22}},  // 185
    {{2015,  1,  5}, {2014, 12, 22}},  // 186
    {{2015,  2,  3}, {2015,  1, 20}},  // 187
    {{2015,  3,  5}, {2015,  2, 18}},  // 188
    {{2015,  4,  4}, {2015,  3, 20}},  // 189
    {{2015,  5,  4}, {2015,  4, 18}},  // 190
    {{2015,  6,  2}, {2015,  5, 18}},  // 191
    {{2015,  7,  2}, {2015,  6, 16}},  // 192
    {{2015,  7, 31}, {2015,  7, 16}},  // 193
    {{2015,  8, 29}, {2015,  8, 14}},  // 194
    {{2015,  9, 28}, {2015,  9, 13}},  // 195
    {{2015, 10, 27}, {2015, 10, 13}},  // 196
    {{2015, 11, 25}, {2015, 11, 11}},  // 197
    {{2015, 12, 25}, {2015, 12, 11}},  // 198
    {{2016,  1, 24}, {2016,  1, 10}},  // 199
    {{2016,  2, 22}, {2016,  2,  8}},  // 200
    {{2016,  3, 23}, {2016,  3,  9}},  // 201
    {{2016,  4, 22}, {2016,  4,  7}},  // 202
    {{2016,  5, 21}, {2016,  5,  6}},  // 203
    {{2016,  6, 20}, {2016,  6,  5}},  // 204
    {{2016,  7, 19}, {2016,  7,  4}},  // 205
    {{2016,  8, 18}, {2016,  8,  2}},  // 206
    {{2016,  9, 16}, {2016,  9,  1}},  // 207
    {{2016, 10, 16}, {2016, 10,  1}},  // 208
    {{2016, 11, 14}, {2016, 10, 30}},  // 209
    {{2016, 12, 14}, {2016, 11, 29}},  // 210
}};
// clang-format on

namespace {

// Room for the computed phases. A run accepts a study only when its last day
// number keeps minute numbers within the picture list's 7 columns, and the
// last study year starts at least 365 days per year after the first: so a
// study spans at most kMaxStudyYears calendar years. A calendar year holds at
// most 13 full and 13 new moons, so each row needs at most 13 slots a year
// after the calendar's.
constexpr std::int64_t kMaxStudyDays = (kMaxMinuteNumber - (23 * 60 + 59)) / 1440;
constexpr std::int64_t kMaxStudyYears = (kMaxStudyDays - 1) / 365 + 1;
constexpr int kMaxPhasesPerYear = 13;
static_assert(kMaxStudyYears * kMaxPhasesPerYear <= kMoonSlots - kMoonCalendarEntries,
              "MOONDAYS has too few slots for the computed moons of the longest study");

}  // namespace

bool moonYearsComputed(int firstYear, int lastYear) {
  return firstYear <= lastYear && (firstYear < kFirstTabledMoonYear || lastYear > kLastTabledMoonYear);
}

void MOONPHASES(const StudyInput& st, PictureTallies& tallies) {
  // Only the year is compared with the study years: a moon before the first
  // camera start or after the last stop within those years is still kept.
  for (int k = 1; k <= kMoonCalendarEntries; ++k) {
    const MoonEntry& e = MOONCALENDAR[static_cast<std::size_t>(k - 1)];
    if (e.fullMoon.year >= st.FIRSTYEAR && e.fullMoon.year <= st.LASTYEAR)
      tallies.MOONDAYS(kFullMoon, k) = FINDDAY(st.FIRSTYEAR, e.fullMoon.year, e.fullMoon.month, e.fullMoon.day);
    if (e.newMoon.year >= st.FIRSTYEAR && e.newMoon.year <= st.LASTYEAR)
      tallies.MOONDAYS(kNewMoon, k) = FINDDAY(st.FIRSTYEAR, e.newMoon.year, e.newMoon.month, e.newMoon.day);
  }

  // Study years outside the calendar: their computed phases, by UTC date,
  // fill each row from the slot after the calendar's on, in time order.
  if (!moonYearsComputed(st.FIRSTYEAR, st.LASTYEAR)) return;
  const int lastSlot = tallies.MOONDAYS.range(1).hi;
  int nextSlot[2] = {kMoonCalendarEntries + 1, kMoonCalendarEntries + 1};
  for (int year = st.FIRSTYEAR; year <= st.LASTYEAR; ++year) {
    if (year >= kFirstTabledMoonYear && year <= kLastTabledMoonYear) continue;
    for (const ComputedMoon& m : computedMoonPhases(year)) {
      const int row = m.phase == MoonPhase::Full ? kFullMoon : kNewMoon;
      int& slot = nextSlot[row - 1];
      // Never reached for a study the run accepts (see kMaxStudyYears).
      if (slot > lastSlot)
        throw std::length_error("too many study years for the moon table: the moons of " +
                                std::to_string(st.FIRSTYEAR) + " to " + std::to_string(st.LASTYEAR) +
                                " need more than " + std::to_string(lastSlot) + " slots per phase");
      tallies.MOONDAYS(row, slot++) = FINDDAY(st.FIRSTYEAR, m.date.year, m.date.month, m.date.day);
    }
  }
}

namespace {

// A day counts for a phase when it lies within this many days of one of the
// phase's listed days.
constexpr std::int64_t kMoonWindow = 5;
// Widest span of day numbers worked out day by day; wider spans (never made
// by the calendar) fall back to walking the slots.
constexpr std::int64_t kMaxFlagDays = 1 << 22;

bool nearAny(const std::vector<int>& days, int d) {
  for (int v : days)
    if (static_cast<std::int64_t>(v) - kMoonWindow <= d && d <= static_cast<std::int64_t>(v) + kMoonWindow) return true;
  return false;
}

}  // namespace

MoonWindows::MoonWindows(const Table<int, 2>& moonDays) {
  // Slot 0 marks a slot without a date.
  const Range slots = moonDays.range(1);
  for (int k = slots.lo; k <= slots.hi; ++k) {
    if (moonDays(kFullMoon, k) != 0) full_.push_back(moonDays(kFullMoon, k));
    if (moonDays(kNewMoon, k) != 0) new_.push_back(moonDays(kNewMoon, k));
  }
  if (full_.empty() && new_.empty()) return;
  std::int64_t lo = std::numeric_limits<std::int64_t>::max();
  std::int64_t hi = std::numeric_limits<std::int64_t>::min();
  for (const auto* row : {&full_, &new_})
    for (int v : *row) {
      lo = std::min(lo, static_cast<std::int64_t>(v) - kMoonWindow);
      hi = std::max(hi, static_cast<std::int64_t>(v) + kMoonWindow);
    }
  if (hi - lo + 1 > kMaxFlagDays) {
    walk_ = true;
    return;
  }
  first_ = lo;
  flags_.assign(static_cast<std::size_t>(hi - lo + 1), 0);
  // New moons first, then full moons over them: a day near both counts for
  // the full moon, as the walk over the full moons first decides.
  for (std::uint8_t phase : {std::uint8_t{kNewMoon}, std::uint8_t{kFullMoon}})
    for (int v : phase == kFullMoon ? full_ : new_)
      for (std::int64_t day = v - kMoonWindow; day <= v + kMoonWindow; ++day)
        flags_[static_cast<std::size_t>(day - first_)] = phase;
  full_.clear();
  new_.clear();
}

int MoonWindows::phase(int dayNumber) const {
  if (walk_) return nearAny(full_, dayNumber) ? kFullMoon : nearAny(new_, dayNumber) ? kNewMoon : 0;
  const std::int64_t i = static_cast<std::int64_t>(dayNumber) - first_;
  if (i < 0 || i >= static_cast<std::int64_t>(flags_.size())) return 0;
  return flags_[static_cast<std::size_t>(i)];
}

}  // namespace mv
