// The checking of picture lines: each line read, its names looked up and
// its date and numbers checked, then rejected with its reason or listed.
#include "input/picture_checker.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "io/sinks.hpp"
#include "layout/layout.hpp"
#include "model/labels.hpp"

namespace mv {

int GETSPECIESID(const StudyInput& st, const Name& name) {
  for (int s = 1; s <= st.NSPECIES; ++s)
    if (st.SPECIESNAME(s) == name) return s;
  return 0;
}

int GETSITEID(const StudyInput& st, const Name& name) {
  // A group number, not a location number: the first location of that name
  // whose group is in the group list decides.
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    if (st.LOCATIONNAME(l) != name) continue;
    for (int g = 1; g <= st.NGROUPS; ++g)
      if (st.GROUPNAME(g) == st.LOCATIONGROUP(l)) return g;
  }
  return 0;
}

// GETSPECIESID for every species name.
NameLookup speciesLookup(const StudyInput& st) {
  NameLookup lookup;
  for (int s = 1; s <= st.NSPECIES; ++s) lookup.add(st.SPECIESNAME(s), s);
  return lookup;
}

// GETSITEID for every location name: walking the locations in order, a name
// takes the group of its first location whose group is in the group list;
// names whose locations yield no group stay out (0).
NameLookup siteLookup(const StudyInput& st) {
  std::unordered_map<std::string_view, int> groupNumber;
  for (int g = 1; g <= st.NGROUPS; ++g) groupNumber.emplace(st.GROUPNAME(g), g);
  NameLookup lookup;
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    if (lookup.contains(st.LOCATIONNAME(l))) continue;
    const auto found = groupNumber.find(st.LOCATIONGROUP(l));
    if (found != groupNumber.end()) lookup.add(st.LOCATIONNAME(l), found->second);
  }
  return lookup;
}

namespace {

// Reject.txt lines of a run of lines, each with its CR LF as the file has it.
class TextSink final : public LineSink {
 public:
  explicit TextSink(std::string& text) : text_(&text) {}
  void line(std::string_view text) override {
    text_->append(text);
    text_->append("\r\n");
  }

 private:
  std::string* text_;
};

// The layouts of Reject.txt, parsed once; the checking threads share them
// read-only.
struct RejectLayouts {
  Layout unreadable{"(a33)"};
  Layout rawLine{"(a)"};
  Layout species{"(a35,a25)"};
  Layout site{"(a32,a25)"};
  Layout year{"(a25,i4)"};
  Layout month{"(a20,i2)"};
  Layout day{"(a18,i2)"};
  Layout time{"(a19,3(i2,1x))"};
  Layout individuals{"(a42,i3)"};
  Layout picture{"(2(a25,1x),i4,6(1x,i2))"};
};

const RejectLayouts& rejectLayouts() {
  static const RejectLayouts layouts;
  return layouts;
}

template <class... A>
void put(LineSink& sink, const Layout& layout, const A&... args) {
  const Value values[] = {Value(args)...};
  render(layout, std::span<const Value>(values, sizeof...(A)), sink);
}

}  // namespace

PictureChecker::PictureChecker(const StudyInput& st)
    : st_(st), species_(speciesLookup(st)), sites_(siteLookup(st)), days_(st.FIRSTYEAR), coverage_(st) {}

void PictureChecker::check(std::string_view lines, CheckedLines& c) {
  const RejectLayouts& L = rejectLayouts();
  c.rejects.clear();
  c.list.clear();
  // A listed line is shorter than the line it comes from: one allocation
  // holds the lines' share of the list.
  if (c.keepList) c.list.reserve(lines.size());
  c.accepted.clear();
  c.shifted.clear();
  c.rejectedLines.clear();
  c.processed = c.used = c.rejected = c.lines = 0;
  c.tooLargeMinute = 0;
  c.tooLargeLine = 0;
  c.tooLongLine = 0;
  const long outsideBefore = coverage_.outside();
  const long untalliedBefore = coverage_.untallied();
  TextSink reject(c.rejects);
  PictureText p;
  ListedPicture listed;
  ListedPicture previous;  // the picture listed last
  // Both Reject.txt lines of a rejected picture: the reason, then the line
  // written back from the values read.
  auto rejectLine = [&](const PictureText& pic) {
    ++c.rejected;
    put(reject, L.picture, pic.locationName(), pic.speciesName(), pic.year, pic.month, pic.day, pic.hour, pic.minute,
        pic.second, pic.individuals);
  };

  const char* at = lines.data();
  const char* const end = at + lines.size();
  std::string_view line;
  // The reason line of a rejected picture, to Reject.txt and, for an
  // observer, as the same text without its trailing blanks.
  auto reason = [&](const Layout& layout, const auto&... values) {
    const std::size_t from = c.rejects.size();
    put(reject, layout, values...);
    if (!c.keepRejected) return;
    std::string_view text(c.rejects.data() + from, c.rejects.size() - from - 2);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    c.rejectedLines.push_back({c.lines, std::string(text), std::string(line)});
  };
  // A shifted line is worth a warning where Reject.txt does not say what
  // was read: an unreadable number, or a line taken as it is.
  auto shiftCheck = [&] {
    if (ShiftWarnings::looksShifted(line, kPictureLineFields)) c.shifted.emplace_back(c.lines, std::string(line));
  };
  while (nextLine(at, end, line)) {
    ++c.lines;
    if (line.size() > kMaxLineBytes) {
      c.tooLongLine = c.lines;
      break;
    }
    ++c.processed;
    const bool plain = readPlainPictureLine(line, p);
    if (!plain && !parsePictureLine(line, p)) {
      shiftCheck();
      ++c.rejected;
      reason(L.unreadable, "Unreadable number in picture line");
      put(reject, L.rawLine, line.substr(0, 74));
      continue;
    }
    const int s = species_.find(p.speciesName());
    if (s == 0) {
      reason(L.species, "Species not found or not included: ", p.speciesName());
      rejectLine(p);
      continue;
    }
    const int g = sites_.find(p.locationName());
    if (g == 0) {
      reason(L.site, "Site not found or not included: ", p.locationName());
      rejectLine(p);
      continue;
    }
    if (p.year < st_.FIRSTYEAR || p.year > st_.LASTYEAR) {
      reason(L.year, "Year out of study range: ", p.year);
      rejectLine(p);
      continue;
    }
    if (p.month < 1 || p.month > 12) {
      reason(L.month, "Month out of range: ", p.month);
      rejectLine(p);
      continue;
    }
    if (p.day < 1 || p.day > 31) {
      reason(L.day, "Day out of range: ", p.day);
      rejectLine(p);
      continue;
    }
    if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59) {
      reason(L.time, "Time out of range: ", p.hour, p.minute, p.second);
      rejectLine(p);
      continue;
    }
    if (p.individuals < 0 || p.individuals > 99) {
      reason(L.individuals, "Number of individuals out of range 01-99: ", p.individuals);
      rejectLine(p);
      continue;
    }

    ++c.used;
    if (!plain) shiftCheck();
    // Pictures of a study year but outside the span the cameras worked are
    // dropped; they stay counted as used (their number is a warning).
    const int dayNumber = days_.find(p.year, p.month, p.day);
    coverage_.add(p.locationName(), dayNumber);
    if (dayNumber < st_.FIRSTDAY || dayNumber > st_.LASTDAY) continue;
    // FINDHOUR and FINDMINUTE from the day number; in 8 bytes, so that a
    // study too long for the list is caught before anything overflows.
    const std::int64_t hourNumber = static_cast<std::int64_t>(dayNumber) * 24 + p.hour;
    const std::int64_t minuteNumber = hourNumber * 60 + p.minute;
    if (minuteNumber > kMaxMinuteNumber) {
      c.tooLargeMinute = minuteNumber;
      c.tooLargeLine = c.lines;
      break;
    }
    listed.group = g;
    listed.species = s;
    listed.year = p.year;
    listed.month = p.month;
    listed.day = p.day;
    listed.hour = p.hour;
    listed.minute = p.minute;
    listed.second = p.second;
    listed.individuals = p.individuals;
    listed.dayNumber = dayNumber;
    listed.hourNumber = static_cast<std::int32_t>(hourNumber);
    listed.minuteNumber = static_cast<std::int32_t>(minuteNumber);
    if (c.keepList) {
      // The line and its CR LF.
      const std::size_t at = c.list.size();
      c.list.resize(at + kListedPictureLength + 2, ' ');
      char* const out = c.list.data() + at;
      if (at == 0)
        putListedPicture(listed, out);
      else  // the line before, and its picture
        putListedPictureAfter(listed, out, previous, out - kListedPictureLength - 2);
      out[kListedPictureLength] = '\r';
      out[kListedPictureLength + 1] = '\n';
      previous = listed;
    }
    if (c.keepAccepted) c.accepted.push_back(listed);
  }
  c.outside = coverage_.outside() - outsideBefore;
  c.untallied = coverage_.untallied() - untalliedBefore;
}

}  // namespace mv
