// AllPictures.txt: every picture line checked against the study; accepted
// lines go to FinalPicsList.txt as numbers, rejected ones to Reject.txt.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "input/input.hpp"
#include "input/input_warnings.hpp"
#include "input/picture_list.hpp"
#include "layout/sinks.hpp"

namespace mv {

int GETSPECIESID(const Study& st, const Name& name) {
  for (int s = 1; s <= st.NSPECIES; ++s)
    if (st.SPECIESNAME(s) == name) return s;
  return 0;
}

int GETSITEID(const Study& st, const Name& name) {
  // A group number, not a location number: the first location of that name
  // whose group is in the group list decides.
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    if (st.LOCATIONNAME(l) != name) continue;
    for (int g = 1; g <= st.NGROUPS; ++g)
      if (st.GROUPNAME(g) == st.LOCATIONGROUP(l)) return g;
  }
  return 0;
}

void formatListedPicture(const ListedPicture& p, std::string& line) {
  // "(2(i3,1x),i4,6(1x,i2),3(1x,i7))": every field at its fixed column.
  line.assign(54, ' ');
  char* const out = line.data();
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

namespace {

constexpr std::size_t kName = kNameLength;

// One picture line as read with "(2(a25,1x),i4,6(1x,i2))".
struct PictureLine {
  char location[kName];
  char species[kName];
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t individuals = 0;

  std::string_view locationName() const { return {location, kName}; }
  std::string_view speciesName() const { return {species, kName}; }
};

void copyName(std::string_view line, std::size_t from, char* out) {
  if (from + kName <= line.size()) {
    std::memcpy(out, line.data() + from, kName);
    return;
  }
  const std::string_view text = from < line.size() ? line.substr(from, kName) : std::string_view();
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  std::memset(out + text.size(), ' ', kName - text.size());
}

// False when a numeric field holds anything but blanks, a sign and digits.
bool parsePictureLine(std::string_view line, PictureLine& p) {
  copyName(line, 0, p.location);
  copyName(line, 26, p.species);
  return parseIntColumns(line, 52, 4, p.year) && parseIntColumns(line, 57, 2, p.month) &&
         parseIntColumns(line, 60, 2, p.day) && parseIntColumns(line, 63, 2, p.hour) &&
         parseIntColumns(line, 66, 2, p.minute) && parseIntColumns(line, 69, 2, p.second) &&
         parseIntColumns(line, 72, 2, p.individuals);
}

// Names are 25 characters: a multiplication per 8 bytes hashes them much
// faster than the general string hash.
struct NameHash {
  std::size_t operator()(std::string_view s) const noexcept {
    std::uint64_t h = s.size();
    std::size_t k = 0;
    for (; k + 8 <= s.size(); k += 8) {
      std::uint64_t word;
      std::memcpy(&word, s.data() + k, 8);
      h = (h ^ word) * 0x9E3779B97F4A7C15ull;
      h ^= h >> 29;
    }
    for (; k < s.size(); ++k) h = (h ^ static_cast<unsigned char>(s[k])) * 0x100000001B3ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
};

// A name lookup built once: each name maps to the number the linear lookup
// would return. Consecutive picture lines mostly repeat their names, so the
// last answer is kept too.
class NameLookup {
 public:
  void add(std::string_view name, int number) { map_.emplace(name, number); }  // the first entry wins
  bool contains(std::string_view name) const { return map_.find(name) != map_.end(); }

  int find(std::string_view name) {
    if (valid_ && std::memcmp(last_, name.data(), kName) == 0) return lastNumber_;
    std::memcpy(last_, name.data(), kName);
    valid_ = true;
    const auto found = map_.find(name);
    lastNumber_ = found == map_.end() ? 0 : found->second;
    return lastNumber_;
  }

 private:
  std::unordered_map<std::string_view, int, NameHash> map_;
  char last_[kName] = {};
  int lastNumber_ = 0;
  bool valid_ = false;
};

// GETSPECIESID for every species name.
NameLookup speciesLookup(const Study& st) {
  NameLookup lookup;
  for (int s = 1; s <= st.NSPECIES; ++s) lookup.add(st.SPECIESNAME(s), s);
  return lookup;
}

// GETSITEID for every location name: walking the locations in order, a name
// takes the group of its first location whose group is in the group list;
// names whose locations yield no group stay out (0).
NameLookup siteLookup(const Study& st) {
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

// Day number of day 0 of a month, kept for the last year and month asked:
// picture files are mostly in date order.
class DayNumbers {
 public:
  explicit DayNumbers(int base) : base_(base) {}
  int find(int year, int month, int day) {
    if (!valid_ || year != year_ || month != month_) {
      year_ = year;
      month_ = month;
      dayZero_ = FINDDAY(base_, year, month, 0);
      valid_ = true;
    }
    return dayZero_ + day;  // FINDDAY adds the day last
  }

 private:
  int base_;
  int year_ = 0;
  int month_ = 0;
  int dayZero_ = 0;
  bool valid_ = false;
};

[[noreturn]] void endWithError(Console& console, const std::string& message) {
  console.error().free(message);
  console.out().free("Hit enter to TERMINATE WITH ERROR");
  console.waitForEnter();
  throw RunEnded{1};
}

}  // namespace

void checkStudySpan(const Study& st, Console& console) {
  if (st.FIRSTYEAR > st.LASTYEAR) return;  // no operating period at all
  const std::int64_t lastMinute = static_cast<std::int64_t>(st.LASTDAY) * 1440 + 23 * 60 + 59;
  if (lastMinute > kMaxMinuteNumber)
    endWithError(console, "Study too long for FinalPicsList.txt: last day number " + std::to_string(st.LASTDAY) +
                              " counted from 1 January " + std::to_string(st.FIRSTYEAR) + ", at most " +
                              std::to_string((kMaxMinuteNumber - 1439) / 1440) +
                              " (the study spans too many years)");
}

void READALLPICTURES(Study& st, const std::filesystem::path& folder, Console& console,
                     PictureObserver* observer) {
  Writer& con = console.out();
  con.free("READ ALLPICTURES.TXT");
  st.NPROCESSED = 0;
  st.NUSED = 0;
  st.NREJECTED = 0;

  FileLines pictures;
  if (!openInputFile(pictures, folder / "AllPictures.txt", console)) {
    console.error().free("AllPictures.txt file not present ... Hit enter to TERMINATE with ERROR");
    console.waitForEnter();
    throw RunEnded{1};
  }
  // Group and species numbers have three columns in the picture list.
  if (st.NGROUPS > kMaxListedNumber)
    endWithError(console, "Too many groups for FinalPicsList.txt: " + std::to_string(st.NGROUPS) +
                              " groups in GroupMap.txt, at most " + std::to_string(kMaxListedNumber));
  if (st.NSPECIES > kMaxListedNumber)
    endWithError(console, "Too many species for FinalPicsList.txt: " + std::to_string(st.NSPECIES) +
                              " species in Input.txt, at most " + std::to_string(kMaxListedNumber));

  const std::filesystem::path rejectPath = folder / "Reject.txt";
  const std::filesystem::path listPath = folder / "FinalPicsList.txt";
  FileSink rejectFile;
  FileSink listFile;
  // Both files are written beside their names and renamed into place only
  // complete; an early end removes them (the destructors do).
  if (!rejectFile.openReplacing(rejectPath))
    endWithError(console, "Cannot create Reject.txt: " + rejectFile.errorText());
  if (!listFile.openReplacing(listPath))
    endWithError(console, "Cannot create FinalPicsList.txt: " + listFile.errorText());
  Writer reject(rejectFile);

  NameLookup species = speciesLookup(st);
  NameLookup sites = siteLookup(st);
  DayNumbers days(st.FIRSTYEAR);
  PictureLine p;
  ListedPicture listed;
  std::string listLine;
  listLine.reserve(64);

  // Both Reject.txt lines of a rejected picture: the reason, then the line
  // written back from the values read.
  auto rejectLine = [&](const PictureLine& pic) {
    ++st.NREJECTED;
    reject.write("(2(a25,1x),i4,6(1x,i2))", pic.locationName(), pic.speciesName(), pic.year, pic.month, pic.day,
                 pic.hour, pic.minute, pic.second, pic.individuals);
  };

  ShiftWarnings shifted("AllPictures.txt", console);
  PeriodCoverage coverage(st);
  std::string_view line;
  // The reason line of a rejected picture: to Reject.txt, and to the
  // observer as the same rendered text.
  VectorSink reasonLines;
  Writer reasonWriter(reasonLines);
  auto reason = [&]<class... A>(LayoutString<A...> layout, const A&... values) {
    reject.write(layout, values...);
    if (observer == nullptr) return;
    reasonLines.lines.clear();
    reasonWriter.write(layout, values...);
    std::string_view text = reasonLines.lines.empty() ? std::string_view() : std::string_view(reasonLines.lines[0]);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    observer->rejected(pictures.lineNumber(), text, line);
  };
  while (pictures.nextView(line)) {
    ++st.NPROCESSED;
    // A shifted line is worth a warning where Reject.txt does not say what
    // was read: an unreadable number, or a line taken as it is.
    if (!parsePictureLine(line, p)) {
      shifted.check(line, pictures.lineNumber(), kPictureLineFields);
      ++st.NREJECTED;
      reason("(a33)", "Unreadable number in picture line");
      reject.write("(a)", line.substr(0, 74));
      continue;
    }
    const int s = species.find(p.speciesName());
    if (s == 0) {
      reason("(a35,a25)", "Species not found or not included: ", p.speciesName());
      rejectLine(p);
      continue;
    }
    const int g = sites.find(p.locationName());
    if (g == 0) {
      reason("(a32,a25)", "Site not found or not included: ", p.locationName());
      rejectLine(p);
      continue;
    }
    if (p.year < st.FIRSTYEAR || p.year > st.LASTYEAR) {
      reason("(a25,i4)", "Year out of study range: ", p.year);
      rejectLine(p);
      continue;
    }
    if (p.month < 1 || p.month > 12) {
      reason("(a20,i2)", "Month out of range: ", p.month);
      rejectLine(p);
      continue;
    }
    if (p.day < 1 || p.day > 31) {
      reason("(a18,i2)", "Day out of range: ", p.day);
      rejectLine(p);
      continue;
    }
    if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59) {
      reason("(a19,3(i2,1x))", "Time out of range: ", p.hour, p.minute, p.second);
      rejectLine(p);
      continue;
    }
    if (p.individuals < 0 || p.individuals > 99) {
      reason("(a42,i3)", "Number of individuals out of range 01-99: ", p.individuals);
      rejectLine(p);
      continue;
    }

    ++st.NUSED;
    shifted.check(line, pictures.lineNumber(), kPictureLineFields);
    // Pictures of a study year but outside the span the cameras worked are
    // dropped; they stay counted as used (their number is a warning).
    const int dayNumber = days.find(p.year, p.month, p.day);
    coverage.add(p.locationName(), dayNumber);
    if (dayNumber < st.FIRSTDAY || dayNumber > st.LASTDAY) continue;
    // FINDHOUR and FINDMINUTE from the day number; in 8 bytes, so that a
    // study too long for the list is caught before anything overflows.
    const std::int64_t hourNumber = static_cast<std::int64_t>(dayNumber) * 24 + p.hour;
    const std::int64_t minuteNumber = hourNumber * 60 + p.minute;
    if (minuteNumber > kMaxMinuteNumber) {
      // The list would hold asterisks: it is not kept.
      rejectFile.close();
      listFile.close();
      std::error_code ignored;
      std::filesystem::remove(listPath, ignored);
      if (st.NREJECTED == 0) std::filesystem::remove(rejectPath, ignored);
      endWithError(console, "Minute number too large for FinalPicsList.txt: " + std::to_string(minuteNumber) +
                                " at line " + std::to_string(pictures.lineNumber()) +
                                " of AllPictures.txt, at most " + std::to_string(kMaxMinuteNumber) +
                                " (the study spans too many years)");
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
    formatListedPicture(listed, listLine);
    listFile.line(listLine);
    if (observer != nullptr) observer->listed(g, s, dayNumber);
  }

  shifted.finish();
  const bool readFailed = pictures.readError();
  pictures.close();
  const bool rejectOk = rejectFile.close();
  const bool listOk = listFile.close();
  if (readFailed) endWithError(console, "Error reading AllPictures.txt");
  if (!rejectOk)
    endWithError(console, "Error writing Reject.txt: " + rejectFile.errorText() + " (the incomplete file was removed)");
  if (!listOk)
    endWithError(console,
                 "Error writing FinalPicsList.txt: " + listFile.errorText() + " (the incomplete file was removed)");
  if (!listFile.commit()) endWithError(console, "Cannot create FinalPicsList.txt: " + listFile.errorText());
  if (st.NREJECTED == 0) {
    // Nothing rejected: no Reject.txt, not even one from an earlier run.
    rejectFile.discard();
    std::error_code ignored;
    std::filesystem::remove(rejectPath, ignored);
  } else if (!rejectFile.commit()) {
    endWithError(console, "Cannot create Reject.txt: " + rejectFile.errorText());
  }

  con.free("   Processed        ", st.NPROCESSED);
  con.free("   Used in analysis ", st.NUSED);
  con.free("   Rejected         ", st.NREJECTED);
  coverage.report(console);
}

}  // namespace mv
