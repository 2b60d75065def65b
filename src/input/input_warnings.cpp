#include "input/input_warnings.hpp"

#include <map>
#include <string>
#include <tuple>

#include "layout/layout.hpp"
#include "model/labels.hpp"
#include "model/utf8_text.hpp"

namespace mv {

const FixedField kLocationLineFields[4] = {{1, 25, false, "location name", true},
                                           {27, 32, true, "UTM east-west", false},
                                           {34, 40, true, "UTM north-south", false},
                                           {42, 46, true, "elevation", false}};

const FixedField kMapLineFields[2] = {{1, 25, false, "location name", true}, {27, 51, false, "group name", true}};

const FixedField kPictureLineFields[9] = {{1, 25, false, "location name", false},
                                          {27, 51, false, "species name", false},
                                          {53, 56, true, "year", false},
                                          {58, 59, true, "month", false},
                                          {61, 62, true, "day", false},
                                          {64, 65, true, "hour", false},
                                          {67, 68, true, "minute", false},
                                          {70, 71, true, "second", false},
                                          {73, 74, true, "number of individuals", false}};

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The columns first..last of a line (1-based), cut where the line ends.
std::string_view columns(std::string_view line, int first, int last) {
  const auto from = static_cast<std::size_t>(first - 1);
  if (from >= line.size()) return {};
  return line.substr(from, static_cast<std::size_t>(last - first + 1));
}

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// Whether the column after `last` starts anything but blanks.
bool goesOnAfter(std::string_view line, int last) {
  return static_cast<std::size_t>(last) < line.size() && !isBlank(line.substr(static_cast<std::size_t>(last)));
}

// A name whose last column holds a digit that starts a separate group of
// digits: "Ridge 512345 4123456 1200" read as a name.
bool endsInNextField(std::string_view line, const FixedField& f) {
  const std::string_view text = columns(line, f.first, f.last);
  if (text.size() != static_cast<std::size_t>(f.last - f.first + 1) || !isDigit(text.back())) return false;
  std::size_t k = text.size();
  while (k > 0 && isDigit(text[k - 1])) --k;
  return k > 0 && text[k - 1] == ' ';
}

// Text shown between quotes: only printable ASCII is shown as it is.
bool showable(std::string_view text) {
  for (const char c : text)
    if (c < ' ' || c > '~') return false;
  return true;
}

std::string columnText(const FixedField& f) {
  return "columns " + std::to_string(f.first) + "-" + std::to_string(f.last) + " (" + f.label + ")";
}

bool holdsTab(std::string_view line, const FixedField& f) {
  return f.tabs && columns(line, f.first, f.last).find('\t') != std::string_view::npos;
}

// The digits right after a line's last field, a number that goes on past
// its columns: "100" in columns 73-75 where the field is 73-74.
std::string_view digitsAfter(std::string_view line, int last) {
  const auto from = static_cast<std::size_t>(last);
  if (from >= line.size()) return {};
  std::size_t k = from;
  while (k < line.size() && isDigit(line[k])) ++k;
  return line.substr(from, k - from);
}

}  // namespace

bool ShiftWarnings::looksShifted(std::string_view line, std::span<const FixedField> fields) {
  // Quick tests for the usual line: separators blank, numbers of blanks and
  // digits ending in a digit (or the line ended before them), names not
  // ending in a digit. Anything else gets the full look.
  const std::size_t size = line.size();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FixedField& f = fields[i];
    const auto last = static_cast<std::size_t>(f.last);
    if (i + 1 < fields.size() && last < size && line[last] != ' ') return true;
    if (i + 1 == fields.size() && f.number && last < size && isDigit(line[last])) return true;
    if (!f.number && holdsTab(line, f)) return true;
    if (last > size) {
      if (f.number) return !faults(line, fields).empty();
      continue;
    }
    if (f.number) {
      if (!isDigit(line[last - 1])) return !faults(line, fields).empty();
      for (std::size_t k = static_cast<std::size_t>(f.first - 1); k + 1 < last; ++k)
        if (line[k] != ' ' && !isDigit(line[k])) return !faults(line, fields).empty();
    } else if (i + 1 < fields.size() && fields[i + 1].number && isDigit(line[last - 1])) {
      return !faults(line, fields).empty();
    }
  }
  return false;
}

std::vector<std::string> ShiftWarnings::faults(std::string_view line, std::span<const FixedField> fields) {
  std::vector<std::string> found;
  if (isBlank(line)) return found;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FixedField& f = fields[i];
    if (f.number) {
      const std::string_view text = columns(line, f.first, f.last);
      std::int32_t value = 0;
      if (isBlank(text)) {
        if (goesOnAfter(line, f.last)) found.push_back(columnText(f) + " are empty");
      } else if (!parseIntField(text, value)) {
        found.push_back(columnText(f) + (showable(text) ? " hold \"" + std::string(text) + "\"," : std::string()) +
                        " not a number");
      }
    } else if (i + 1 < fields.size() && fields[i + 1].number && endsInNextField(line, f)) {
      found.push_back(columnText(f) + " end in digits that look like the next field");
    }
    if (!f.number && holdsTab(line, f)) found.push_back(columnText(f) + " hold a tab");
    // Only on a line that is right otherwise: on a shifted one the faults
    // found before say what happened.
    if (i + 1 == fields.size() && f.number && found.empty() && !digitsAfter(line, f.last).empty()) {
      const std::string_view text = columns(line, f.first, f.last);
      const std::string_view more = digitsAfter(line, f.last);
      std::int32_t value = 0;
      std::string whole(text);
      whole.append(more);
      whole.erase(0, whole.find_first_not_of(' '));
      found.push_back(
          "the number in " + columnText(f) + " goes on in " +
          (more.size() > 1
               ? "columns " + std::to_string(f.last + 1) + "-" + std::to_string(f.last + static_cast<int>(more.size()))
               : "column " + std::to_string(f.last + 1)) +
          ": \"" + whole + "\" is read as " + (parseIntField(text, value) ? std::to_string(value) : std::string(text)));
    }
    if (i + 1 < fields.size()) {
      const auto separator = static_cast<std::size_t>(f.last);  // 0-based index of column last + 1
      if (separator < line.size() && line[separator] != ' ') {
        const std::string_view held = line.substr(separator, 1);
        found.push_back("column " + std::to_string(f.last + 1) + " holds " +
                        (held == "\t"     ? std::string("a tab")
                         : showable(held) ? "\"" + std::string(held) + "\""
                                          : std::string("a character")) +
                        " where a blank belongs");
      }
    }
  }
  return found;
}

void ShiftWarnings::warn(std::string_view line, long lineNumber, std::span<const FixedField> fields) {
  ++found_;
  if (found_ > kShownShiftWarnings) return;
  std::string text = "Warning: " + file_ + " line " + std::to_string(lineNumber) + " looks shifted: ";
  const std::vector<std::string> what = faults(line, fields);
  for (std::size_t k = 0; k < what.size(); ++k) text += (k == 0 ? "" : "; ") + what[k];
  Writer& out = console_.error();
  out.free(text);
  if (found_ == 1) out.free("  (columns count bytes, not letters: an accented letter takes two columns)");
}

void ShiftWarnings::finish() {
  if (found_ <= kShownShiftWarnings) return;
  const long more = found_ - kShownShiftWarnings;
  console_.error().free("Warning: " + std::to_string(more) + " more line" + (more == 1 ? "" : "s") + " of " + file_ +
                        (more == 1 ? " looks" : " look") + " shifted");
}

void LineWarnings::warn(long lineNumber, const std::string& text) {
  if (++found_ > kShown) return;
  console_.error().free("Warning: " + file_ + " line " + std::to_string(lineNumber) + ": " + text);
}

void LineWarnings::finish() {
  if (found_ <= kShown) return;
  const long more = found_ - kShown;
  console_.error().free("Warning: " + std::to_string(more) + " more line" + (more == 1 ? "" : "s") + " of " + file_ +
                        " " + others_);
}

void warnReversedPeriods(const StudyInput& st, Console& console) {
  // Line numbers as Input.txt is laid out: title, location count, then for
  // each location its line, its period count and one line per period.
  long line = 2;
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    line += 2;
    for (int p = 1; p <= st.NPERIODS(l); ++p) {
      ++line;
      const auto date = [&](const PeriodTable& t) {
        return std::tuple(t(l, p, kYear), t(l, p, kMonth), t(l, p, kDay));
      };
      if (date(st.PERIODSTOP) >= date(st.PERIODSTART)) continue;
      const auto shown = [&](const PeriodTable& t) {
        return std::to_string(t(l, p, kYear)) + " " + std::to_string(t(l, p, kMonth)) + " " +
               std::to_string(t(l, p, kDay));
      };
      const std::string name(trimmedName(st.LOCATIONNAME(l)));
      console.error().free("Warning: Input.txt line " + std::to_string(line) + ": operating period " +
                           std::to_string(p) + " of location " + name + " stops (" + shown(st.PERIODSTOP) +
                           ") before it starts (" + shown(st.PERIODSTART) + ")");
    }
  }
}

void warnNotUtf8(Console& console, std::string_view file, long firstLine, long moreLines, std::string_view shownAs) {
  std::string text = "Warning: " + std::string(file) + " line " + std::to_string(firstLine);
  if (moreLines > 0)
    text += " and " + std::to_string(moreLines) + " more line" + (moreLines == 1 ? "" : "s") + " hold";
  else
    text += " holds";
  console.error().free(text + " bytes that are not UTF-8: " + std::string(shownAs) + " them as U+FFFD");
}

void warnNotUtf8Names(const StudyInput& st, Console& console, bool tables, bool page) {
  if (!tables && !page) return;
  // The first line with such bytes and the count of lines, of one file.
  struct Found {
    long first = 0;
    long lines = 0;
    void check(std::string_view name, long line) {
      if (isUtf8(name)) return;
      // A character cut short by the field's end is only left out.
      bool replaced = false;
      (void)utf8Field(name, &replaced);
      if (!replaced) return;
      if (lines++ == 0) first = line;
    }
  };
  // Input.txt as it is laid out: the title, the location count, then for
  // each location its line, its period count and one line per period; then
  // the species count and one line per species.
  Found input;
  input.check(st.TITLE, 1);
  long line = 2;
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    ++line;
    if (page) input.check(st.LOCATIONNAME(l), line);
    line += 1 + st.NPERIODS(l);
  }
  ++line;
  for (int s = 1; s <= st.NSPECIES; ++s) input.check(st.SPECIESNAME(s), line + s);
  // Every GroupMap.txt line is an entry, and every entry's group is shown.
  Found map;
  for (int i = 1; i <= st.NMAPLINES; ++i) map.check(st.MAPGROUP(i), i);

  const char* shownAs = tables && page ? "the tables and the page show" : tables ? "the tables show" : "the page shows";
  if (input.lines > 0) warnNotUtf8(console, "Input.txt", input.first, input.lines - 1, shownAs);
  if (map.lines > 0) warnNotUtf8(console, "GroupMap.txt", map.first, map.lines - 1, shownAs);
}

PeriodCoverage::PeriodCoverage(const StudyInput& st) : firstDay_(st.FIRSTDAY), lastDay_(st.LASTDAY) {
  std::map<std::string, std::vector<std::pair<int, int>>> byName;
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    auto& periods = byName[st.LOCATIONNAME(l)];
    for (int p = 1; p <= st.NPERIODS(l); ++p)
      periods.emplace_back(st.PERIODSTART(l, p, kDayNumber), st.PERIODSTOP(l, p, kDayNumber));
  }
  for (const auto& [name, periods] : byName) {
    byName_.emplace(name, std::pair(periods_.size(), periods_.size() + periods.size()));
    periods_.insert(periods_.end(), periods.begin(), periods.end());
  }
}

void PeriodCoverage::find(std::string_view location) {
  lastName_.assign(location);
  const auto found = byName_.find(lastName_);
  if (found == byName_.end()) {
    spanBegin_ = spanEnd_ = 0;
  } else {
    spanBegin_ = found->second.first;
    spanEnd_ = found->second.second;
  }
}

void PeriodCoverage::report(Console& console) const {
  if (outside_ == 0) return;
  Writer& out = console.error();
  const auto pictures = [](long n) { return std::to_string(n) + (n == 1 ? " picture" : " pictures"); };
  out.free("Warning: AllPictures.txt: " + pictures(outside_) + " used in analysis " + (outside_ == 1 ? "is" : "are") +
           " dated outside every operating period of " + (outside_ == 1 ? "its" : "their") + " location");
  if (untallied_ > 0)
    out.free("  " + std::to_string(untallied_) +
             " of them outside the study's operating days: counted as used, tallied nowhere");
  if (outside_ > untallied_)
    out.free("  " + std::to_string(outside_ - untallied_) +
             " of them inside the study's operating days: tallied with the pictures of their group");
}

}  // namespace mv
