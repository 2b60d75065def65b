#include "input/input.hpp"

#include <string>

#include "model/labels.hpp"

namespace mv {

namespace {

bool isLeap(int year) { return year % 4 == 0; }

constexpr int kMonthLength[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                     {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

}  // namespace

int FINDDAY(int base, int year, int month, int day) {
  // Whole years from the base year, then the months of the year, then the day.
  // Only 1..12 ever reach here as months: picture months are checked before,
  // and period months are checked when Input.txt is read.
  // Years base..year-1 hold 365 days each plus one for every multiple of 4.
  int days = 0;
  if (year > base) {
    // Leap years before y, counted from year 0: floor((y + 3) / 4).
    const auto leapYearsBefore = [](int y) {
      const int v = y + 3;
      return v >= 0 ? v / 4 : -((-v + 3) / 4);
    };
    days = 365 * (year - base) + leapYearsBefore(year) - leapYearsBefore(base);
  }
  const int* lengths = kMonthLength[isLeap(year) ? 1 : 0];
  for (int m = 1; m < month && m <= 12; ++m) days += lengths[m - 1];
  return days + day;
}

int FINDHOUR(int base, int year, int month, int day, int hour) { return FINDDAY(base, year, month, day) * 24 + hour; }

int FINDMINUTE(int base, int year, int month, int day, int hour, int minute) {
  return (FINDDAY(base, year, month, day) * 24 + hour) * 60 + minute;
}

int monthLength(int year, int month) { return kMonthLength[isLeap(year) ? 1 : 0][month - 1]; }

CalendarDate countedDate(int year, int month, int day) {
  CalendarDate date{year, month, day};
  while (date.month >= 1 && date.month <= 12 && date.day > monthLength(date.year, date.month)) {
    date.day -= monthLength(date.year, date.month);
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return date;
}

std::string countedIsoDate(int year, int month, int day) {
  const CalendarDate d = countedDate(year, month, day);
  return isoDate(d.year, d.month, d.day);
}

void STARTSTOPDAYS(StudyInput& st, Console& console) {
  console.out().free("CALCULATE BEGIN & END YEARS");
  st.FIRSTYEAR = 3000;
  st.LASTYEAR = 1000;
  for (int l = 1; l <= st.NLOCATIONS; ++l)
    for (int p = 1; p <= st.NPERIODS(l); ++p) {
      st.FIRSTYEAR = std::min(st.FIRSTYEAR, st.PERIODSTART(l, p, kYear));
      st.LASTYEAR = std::max(st.LASTYEAR, st.PERIODSTOP(l, p, kYear));
    }
  for (int l = 1; l <= st.NLOCATIONS; ++l)
    for (int p = 1; p <= st.NPERIODS(l); ++p) {
      st.PERIODSTART(l, p, kDayNumber) =
          FINDDAY(st.FIRSTYEAR, st.PERIODSTART(l, p, kYear), st.PERIODSTART(l, p, kMonth), st.PERIODSTART(l, p, kDay));
      st.PERIODSTOP(l, p, kDayNumber) =
          FINDDAY(st.FIRSTYEAR, st.PERIODSTOP(l, p, kYear), st.PERIODSTOP(l, p, kMonth), st.PERIODSTOP(l, p, kDay));
    }
  st.FIRSTDAY = 366;
  st.LASTDAY = 1;
  for (int l = 1; l <= st.NLOCATIONS; ++l)
    for (int p = 1; p <= st.NPERIODS(l); ++p) {
      st.FIRSTDAY = std::min(st.FIRSTDAY, st.PERIODSTART(l, p, kDayNumber));
      st.LASTDAY = std::max(st.LASTDAY, st.PERIODSTOP(l, p, kDayNumber));
    }
}

}  // namespace mv
