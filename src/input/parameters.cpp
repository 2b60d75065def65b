// Input.txt (two passes) and the PERIOD question on the console.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input/input.hpp"
#include "input/input_warnings.hpp"
#include "io/sinks.hpp"
#include "model/labels.hpp"

namespace mv {

namespace {

constexpr const char* kTerminate = "Hit enter to TERMINATE WITH ERROR";

// One line handed to the free-form reader on its own. Each count and period
// of Input.txt must stand on its own line, because the first pass counts one
// line per count and per period; a read that ran on into the following lines
// would make the two passes disagree.
class SingleLine final : public LineSource {
 public:
  explicit SingleLine(std::string_view text) : text_(text) {}
  std::optional<std::string> next() override {
    if (used_) return std::nullopt;
    used_ = true;
    ++line_;
    return std::string(text_);
  }

 private:
  std::string_view text_;
  bool used_ = false;
};

// Input.txt, line by line. Every read that does not find what the line must
// hold ends the run with a message naming the line and what was expected.
class InputFile {
 public:
  InputFile(const std::filesystem::path& folder, Console& console) : console_(console) {
    if (!openInputFile(lines_, folder / "Input.txt", console)) {
      Writer& con = console.error();
      con.free("Input.txt was not present");
      con.free("File Input.txt must be in the same folder as Morvelstrand");
      console.out().free(kTerminate);
      console.waitForEnter();
      throw RunEnded{1};
    }
  }

  // The next line (valid until the next read).
  std::string_view line(const std::string& expected) {
    std::string_view text;
    if (!lines_.nextView(text)) {
      if (lines_.lineTooLong())
        fail("Input.txt line " + std::to_string(lines_.lineNumber()) + ": longer than " +
             std::to_string(lines_.maxLine()) + " bytes");
      fail("Input.txt ends before line " + std::to_string(lines_.lineNumber() + 1) + ": expected " + expected);
    }
    return text;
  }

  // `count` integers, free-form, from the next line alone.
  std::vector<std::int32_t> integers(std::size_t count, const std::string& expected) {
    SingleLine one(line(expected));
    FreeReader reader(one);
    std::vector<std::int32_t> values;
    if (reader.readInts(count, values) != FreeReader::Status::Ok) failHere(expected);
    return values;
  }

  // A count: one integer, 0 or more, alone on its line; one above `most`
  // (what it counts named by `counted`) ends the run.
  int count(const std::string& what, int most, const std::string& counted) {
    const std::string expected = what + " (one whole number, 0 or more)";
    const std::int32_t n = integers(1, expected)[0];
    if (n < 0) failHere(expected);
    if (n > most)
      fail("Input.txt line " + std::to_string(lines_.lineNumber()) + ": " + std::to_string(n) + " " + counted +
           ", at most " + std::to_string(most));
    return n;
  }

  long lineNumber() const { return lines_.lineNumber(); }

  [[noreturn]] void failHere(const std::string& expected) {
    fail("Input.txt line " + std::to_string(lines_.lineNumber()) + ": expected " + expected);
  }

  [[noreturn]] void fail(const std::string& message) {
    console_.error().free(message);
    terminate();
  }

  // The closing line of every bad-input message, the wait, the end of the run.
  [[noreturn]] void terminate() {
    lines_.close();
    console_.out().free(kTerminate);
    console_.waitForEnter();
    throw RunEnded{1};
  }

 private:
  FileLines lines_;
  Console& console_;
};

std::string locationLineText(int l) {
  return "the line of location " + std::to_string(l) +
         " (name in columns 1-25, UTM east-west in 27-32, UTM north-south in 34-40, elevation in 42-46)";
}

std::string periodCountText(int l) { return "the number of operating periods of location " + std::to_string(l); }

std::string periodsCounted(int l) { return "operating periods of location " + std::to_string(l); }

std::string periodLineText(int p, int l) {
  return "operating period " + std::to_string(p) + " of location " + std::to_string(l) +
         " (six integers on one line: start year, month, day, stop year, month, day)";
}

std::string speciesLineText(int s, int n) { return "species name " + std::to_string(s) + " of " + std::to_string(n); }

const char* const kLocationCount = "the number of locations";
const char* const kSpeciesCount = "the number of species";
const char* const kTitle = "the study title";

}  // namespace

void READINPUTPARAMETERS(StudyInput& st, const std::filesystem::path& folder, Console& console) {
  InputFile in(folder, console);
  in.line(kTitle);
  st.NLOCATIONS = in.count(kLocationCount, kMaxLocations, "locations");
  st.MAXPERIODS = 0;
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    in.line(locationLineText(l));
    const int k = in.count(periodCountText(l), kMaxPeriodsPerLocation, periodsCounted(l));
    for (int p = 1; p <= k; ++p) in.line(periodLineText(p, l));
    st.MAXPERIODS = std::max(st.MAXPERIODS, k);
  }
  st.NSPECIES = in.count(kSpeciesCount, kMaxListedNumber, "species");
  // The species lines are only counted here, not read: a list shorter than
  // its count ends the run now, before any table is sized from the count.
  for (int s = 1; s <= st.NSPECIES; ++s) in.line(speciesLineText(s, st.NSPECIES));
}

void READINPUT(StudyInput& st, const std::filesystem::path& folder, Console& console) {
  console.out().free("READ INPUT.TXT");
  InputFile in(folder, console);
  static const Layout& titleLayout = Layout::of("(a75)");
  static const Layout& locationLayout = Layout::of("(a25,1x,i6,1x,i7,1x,i5)");
  static const Layout& speciesLayout = Layout::of("(a25)");

  ShiftWarnings shifted("Input.txt", console);
  LineWarnings overlong("Input.txt", "with a day its month does not have", console);
  st.TITLE = fitString(readFixed(titleLayout, in.line(kTitle))[0].text, 75, kTitleLength);
  in.line(kLocationCount);  // the count of the first pass stands
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    const std::string expected = locationLineText(l);
    const std::string_view text = in.line(expected);
    const auto f = readFixed(locationLayout, text);
    if (!f[1].ok || !f[2].ok || !f[3].ok) in.failHere(expected);
    shifted.check(text, in.lineNumber(), kLocationLineFields);
    st.LOCATIONNAME(l) = fitString(f[0].text, 25, kNameLength);
    st.LOCATIONUTM(l, 1) = f[1].value;
    st.LOCATIONUTM(l, 2) = f[2].value;
    st.LOCATIONELEV(l) = f[3].value;

    const int k = in.count(periodCountText(l), kMaxPeriodsPerLocation, periodsCounted(l));
    // Only a changed file could hold more periods than the first pass saw.
    if (k > st.MAXPERIODS) in.failHere(periodCountText(l) + " (at most " + std::to_string(st.MAXPERIODS) + ")");
    st.NPERIODS(l) = k;
    for (int p = 1; p <= k; ++p) {
      const auto v = in.integers(6, periodLineText(p, l));
      // The months index the month lengths of the calendar.
      if (v[1] < 1 || v[1] > 12 || v[4] < 1 || v[4] > 12) {
        console.out().free("Input.txt period month out of range for location ", st.LOCATIONNAME(l));
        in.terminate();
      }
      // Years are four-digit calendar years, as in the picture lines.
      if (v[0] < 1 || v[0] > 9999 || v[3] < 1 || v[3] > 9999) {
        console.out().free("Input.txt period year out of range for location ", st.LOCATIONNAME(l));
        in.terminate();
      }
      // Days are calendar values as written, 1 to 31 for any month: the day
      // arithmetic adds the day to the month's start, so 31 September counts
      // as 1 October, as older studies expect. A day the month does not have
      // is worth a warning; one outside 1 to 31 ends the run, before any
      // table is sized from the dates.
      for (const int field : {0, 3}) {
        const int year = v[field];
        const int month = v[field + 1];
        const int day = v[field + 2];
        const int last = monthLength(year, month);
        if (day >= 1 && day <= last) continue;
        const std::string what = std::string(field == 0 ? "start" : "stop") + " day " + std::to_string(day) +
                                 " of operating period " + std::to_string(p) + " of location " +
                                 std::string(trimmedName(st.LOCATIONNAME(l)));
        if (day < 1 || day > kMaxPeriodDay)
          in.fail("Input.txt line " + std::to_string(in.lineNumber()) + ": " + what +
                  " is not a day of a month (1 to " + std::to_string(kMaxPeriodDay) + ")");
        const CalendarDate counted = countedDate(year, month, day);
        overlong.warn(in.lineNumber(), what + " is not a day of " + std::to_string(month) + "/" + std::to_string(year) +
                                           " (1 to " + std::to_string(last) + "): counted as " +
                                           std::to_string(counted.day) + "/" + std::to_string(counted.month) + "/" +
                                           std::to_string(counted.year));
      }
      st.PERIODSTART(l, p, kYear) = v[0];
      st.PERIODSTART(l, p, kMonth) = v[1];
      st.PERIODSTART(l, p, kDay) = v[2];
      st.PERIODSTOP(l, p, kYear) = v[3];
      st.PERIODSTOP(l, p, kMonth) = v[4];
      st.PERIODSTOP(l, p, kDay) = v[5];
    }
  }
  in.line(kSpeciesCount);  // the count of the first pass stands
  for (int s = 1; s <= st.NSPECIES; ++s)
    st.SPECIESNAME(s) =
        fitString(readFixed(speciesLayout, in.line(speciesLineText(s, st.NSPECIES)))[0].text, 25, kNameLength);
  shifted.finish();
  overlong.finish();
  warnReversedPeriods(st, console);
}

namespace {

bool startsWithCommaAndDigit(std::string_view text) {
  return text.size() >= 2 && text[0] == ',' && text[1] >= '0' && text[1] <= '9';
}

}  // namespace

bool periodInRange(long long minutes) { return minutes >= 1 && minutes <= 1440; }

void rejectPeriod(Console& console) {
  console.error().free("PERIOD must be greater than 1 minute and less than 60*24 minutes ... TERMINATING");
  throw RunEnded{1};
}

void GETPERIOD(PictureTallies& tallies, Console& console, std::optional<int> given) {
  Writer& con = console.out();
  if (given) {
    tallies.PERIOD = *given;
    con.free("PERIOD = ", tallies.PERIOD, " minutes");
    if (!periodInRange(tallies.PERIOD)) rejectPeriod(console);
    return;
  }
  con.blank();
  con.free("Enter PERIOD in minutes for independent pictures; 60 means 60 minutes");
  std::vector<std::int32_t> answer;
  // No answer, or one that is not an integer, has no value to show: it ends
  // the run like a value out of range. Digits grouped with a comma ("1,440")
  // are not one integer either, though the free-form reading would stop at
  // the comma and take the first group.
  FreeReader& reader = console.reader();
  if (reader.readInts(1, answer) == FreeReader::Status::Ok && !startsWithCommaAndDigit(reader.afterLast())) {
    tallies.PERIOD = answer[0];
    con.free("PERIOD = ", tallies.PERIOD, " minutes");
    if (periodInRange(tallies.PERIOD)) return;
  }
  rejectPeriod(console);
}

}  // namespace mv
