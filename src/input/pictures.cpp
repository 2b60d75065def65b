// AllPictures.txt: every picture line checked against the study; accepted
// lines go to FinalPicsList.txt as numbers, rejected ones to Reject.txt.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "input/input.hpp"
#include "input/input_warnings.hpp"
#include "input/picture_line.hpp"
#include "input/picture_list.hpp"
#include "concurrency/ordered_queue.hpp"
#include "concurrency/threads.hpp"
#include "concurrency/write_behind.hpp"
#include "io/sinks.hpp"

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

namespace {

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

// Whether two 25-character names are the same: four overlapping 8-byte
// words, compared in place of a call to memcmp on every picture line.
bool sameName(const char* a, const char* b) {
  static_assert(kPictureNameLength == 25);
  const auto word = [](const char* p, int at) {
    std::uint64_t w;
    std::memcpy(&w, p + at, 8);
    return w;
  };
  return ((word(a, 0) ^ word(b, 0)) | (word(a, 8) ^ word(b, 8)) | (word(a, 16) ^ word(b, 16)) |
          (word(a, 17) ^ word(b, 17))) == 0;
}

// A name lookup built once: each name maps to the number the linear lookup
// would return. Consecutive picture lines mostly repeat their names, so the
// last answer is kept too.
class NameLookup {
 public:
  void add(std::string_view name, int number) { map_.emplace(name, number); }  // the first entry wins
  bool contains(std::string_view name) const { return map_.find(name) != map_.end(); }

  int find(std::string_view name) {
    if (valid_ && sameName(last_, name.data())) return lastNumber_;
    std::memcpy(last_, name.data(), kPictureNameLength);
    valid_ = true;
    const auto found = map_.find(name);
    lastNumber_ = found == map_.end() ? 0 : found->second;
    return lastNumber_;
  }

 private:
  std::unordered_map<std::string_view, int, NameHash> map_;
  char last_[kPictureNameLength] = {};
  int lastNumber_ = 0;
  bool valid_ = false;
};

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

void checkStudySpan(const StudyInput& st, Console& console) {
  if (st.FIRSTYEAR > st.LASTYEAR) return;  // no operating period at all
  const std::int64_t lastMinute = static_cast<std::int64_t>(st.LASTDAY) * 1440 + 23 * 60 + 59;
  if (lastMinute <= kMaxMinuteNumber) return;
  // Days are counted from 1 January of the first start year, or of 3000
  // when every period starts later: a study of a few days after 3000 is
  // then as long as one from 3000 on.
  int earliest = st.FIRSTYEAR;
  bool anyPeriod = false;
  for (int l = 1; l <= st.NLOCATIONS; ++l)
    for (int p = 1; p <= st.NPERIODS(l); ++p) {
      earliest = anyPeriod ? std::min(earliest, st.PERIODSTART(l, p, kYear)) : st.PERIODSTART(l, p, kYear);
      anyPeriod = true;
    }
  if (earliest > st.FIRSTYEAR) {
    const int lastDay = static_cast<int>((kMaxMinuteNumber - 1439) / 1440);
    int year = st.FIRSTYEAR;
    int day = lastDay;
    while (day > (monthLength(year, 2) == 29 ? 366 : 365)) day -= monthLength(year++, 2) == 29 ? 366 : 365;
    int month = 1;
    while (day > monthLength(year, month)) day -= monthLength(year, month++);
    endWithError(console, "Input.txt: every operating period starts after " + std::to_string(st.FIRSTYEAR) +
                              " (the earliest in " + std::to_string(earliest) + "); days are counted from 1 January " +
                              std::to_string(st.FIRSTYEAR) + " then, and FinalPicsList.txt holds them only to " +
                              std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year) +
                              ": operating periods must stop by then");
  }
  endWithError(console, "Study too long for FinalPicsList.txt: last day number " + std::to_string(st.LASTDAY) +
                            " counted from 1 January " + std::to_string(st.FIRSTYEAR) + ", at most " +
                            std::to_string((kMaxMinuteNumber - 1439) / 1440) + " (the study spans too many years)");
}

namespace {

// Reject.txt lines of one chunk, each with its CR LF as the file has it.
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

// The next line of a run of whole lines, without its line ending (LF, CR LF,
// CR CR LF or a lone CR); false at the end.
bool nextLine(const char*& at, const char* end, std::string_view& line) {
  if (at == end) return false;
  const char* hit = findLineEnd(at, end);
  if (hit == nullptr) {  // the last line without a line ending
    line = std::string_view(at, static_cast<std::size_t>(end - at));
    at = end;
    return true;
  }
  line = std::string_view(at, static_cast<std::size_t>(hit - at));
  at = hit + lineEndLength(hit, end);
  return true;
}

// One chunk of AllPictures.txt (whole lines) and what checking it gave:
// its share of Reject.txt and of the picture list, the accepted pictures
// and the counters, in the order of its lines.
// A regular AllPictures.txt read part by part, each part by the thread
// that checks it: its size and the bytes before its first line (a UTF-8
// byte-order mark).
struct FilePlaces {
  const FileLines* file = nullptr;
  std::uint64_t size = 0;
  std::uint64_t skip = 0;
};

struct PictureChunk {
  ByteBlock text;
  // The chunk's lines: all of `text`, or, for a chunk read at its place,
  // the part of it that holds them.
  std::string_view body;
  // Read at its place: the lines that start within [from, to) of the file.
  const FilePlaces* places = nullptr;
  std::uint64_t from = 0;
  std::uint64_t to = 0;
  bool readFailed = false;
  bool keepAccepted = false;  // whether `accepted` is wanted
  bool keepList = true;       // whether `list` is wanted
  std::string rejects;
  std::string list;
  std::vector<ListedPicture> accepted;
  long processed = 0;
  long used = 0;
  long rejected = 0;
  long lines = 0;
  // A minute number too large for the list ends the checking of the chunk
  // at that line; what came before it stays.
  std::int64_t tooLargeMinute = 0;
  long tooLargeLine = 0;  // its line within the chunk, 0 when none
  // So does a line longer than kMaxLineBytes (its line within the chunk).
  long tooLongLine = 0;
  // What is only worth a warning, and what an observer is told: the lines
  // that look shifted and the rejected lines (line within the chunk, the
  // reason as Reject.txt shows it, the line), and the used pictures dated
  // outside every operating period of their location.
  bool keepRejected = false;
  std::vector<std::pair<long, std::string>> shifted;
  struct Rejected {
    long line;
    std::string reason;
    std::string text;
  };
  std::vector<Rejected> rejectedLines;
  long outside = 0;
  long untallied = 0;
};

// Reads the lines of AllPictures.txt that start within [from, to) into
// `block` and points `lines` at them; false on a read error, or when the
// file is shorter than it was. The first line starts after the bytes to
// skip, every other one after a line ending (LF, CR LF, CR CR LF, or a lone
// CR), so neighbouring ranges share no line and miss none, whatever their
// size. The range's last line is read to at most kMaxLineBytes past `to`:
// one that goes on further is cut there, longer than any line may be.
bool readLinesAtPlace(const FilePlaces& places, std::uint64_t from, std::uint64_t to, ByteBlock& block,
                      std::string_view& lines) {
  // Bytes read past `to` at first, where the range's last line usually ends.
  constexpr std::uint64_t kLookAhead = 4096;
  const std::uint64_t size = places.size;
  lines = {};
  // The byte before the range is read too: whether a line starts right at
  // `from` depends on it.
  const std::uint64_t first = from > 0 ? from - 1 : 0;
  std::uint64_t have = 0;  // bytes of the file from `first` on in the block
  bool ok = true;
  const auto readTo = [&](std::uint64_t want) {
    want = std::min(want, size - first);
    if (want <= have) return;
    block.setSize(static_cast<std::size_t>(have));  // kept if the block grows
    block.reserve(static_cast<std::size_t>(want));
    const long long got = places.file->readAt(first + have, block.data() + have, static_cast<std::size_t>(want - have));
    if (got != static_cast<long long>(want - have)) {
      ok = false;
      return;
    }
    have = want;
    block.setSize(static_cast<std::size_t>(have));
  };
  // Where the line after the first line ending at or after `at` starts,
  // when a line ending starts before `limit`.
  const auto lineAfter = [&](std::uint64_t at, std::uint64_t limit) -> std::optional<std::uint64_t> {
    std::uint64_t scan = at;
    while (ok) {
      const char* base = block.data();
      const std::uint64_t stop = std::min(have, limit - first);
      const char* hit = scan - first < stop ? findLineEnd(base + (scan - first), base + stop) : nullptr;
      if (hit != nullptr) {
        const std::uint64_t p = static_cast<std::uint64_t>(hit - base);
        // A CR: an LF, or a CR and an LF, right after it belong to the same
        // line ending; the bytes after it are read when they are not here.
        const std::uint64_t need = std::min<std::uint64_t>(p + 3, size - first);
        if (*hit == '\r' && have < need && !(p + 1 < have && base[p + 1] != '\r')) {
          scan = first + p;
          readTo(need);
          continue;
        }
        return first + p + lineEndLength(hit, base + have);
      }
      if (first + stop >= limit || first + have >= size) return std::nullopt;
      scan = first + have;
      readTo(have + std::max(have, kLookAhead));
    }
    return std::nullopt;
  };
  readTo(to - first + kLookAhead);
  std::uint64_t begin = places.skip;
  if (from <= places.skip) {
    if (places.skip >= to) return ok;  // the range lies within the skipped bytes
  } else {
    const std::optional<std::uint64_t> start = lineAfter(from - 1, to - 1);
    if (!start || *start >= to) return ok;  // no line starts in the range
    begin = *start;
  }
  const std::uint64_t reach = std::min<std::uint64_t>(size, to + kMaxLineBytes);
  const std::uint64_t end = to >= size ? size : lineAfter(to - 1, reach).value_or(reach);
  if (!ok) return false;
  lines = std::string_view(block.data() + (begin - first), static_cast<std::size_t>(end - begin));
  return true;
}

// Checks the lines of chunks; one per thread, for the look-ups keep the
// last name they found.
class PictureChecker {
 public:
  explicit PictureChecker(const StudyInput& st)
      : st_(st), species_(speciesLookup(st)), sites_(siteLookup(st)), days_(st.FIRSTYEAR), coverage_(st) {}

  void check(PictureChunk& c) {
    const RejectLayouts& L = rejectLayouts();
    c.rejects.clear();
    c.list.clear();
    // A listed line is shorter than the line it comes from: one allocation
    // holds the chunk's share of the list.
    if (c.keepList) c.list.reserve(c.body.size());
    c.accepted.clear();
    c.shifted.clear();
    c.rejectedLines.clear();
    const long outsideBefore = coverage_.outside();
    const long untalliedBefore = coverage_.untallied();
    TextSink reject(c.rejects);
    PictureText p;
    ListedPicture listed;
    ListedPicture previous;  // the chunk's picture listed last
    // Both Reject.txt lines of a rejected picture: the reason, then the line
    // written back from the values read.
    auto rejectLine = [&](const PictureText& pic) {
      ++c.rejected;
      put(reject, L.picture, pic.locationName(), pic.speciesName(), pic.year, pic.month, pic.day, pic.hour, pic.minute,
          pic.second, pic.individuals);
    };

    const char* at = c.body.data();
    const char* const end = at + c.body.size();
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
        else  // the chunk's line before, and its picture
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

 private:
  const StudyInput& st_;
  NameLookup species_;
  NameLookup sites_;
  DayNumbers days_;
  PeriodCoverage coverage_;
};

// Reads a chunk at its place in the file, when it is read there, and checks
// its lines; one per thread, for the look-ups keep the last name they found.
class ChunkWorker {
 public:
  explicit ChunkWorker(const StudyInput& st) : checker_(st) {}
  void operator()(PictureChunk& c) {
    if (c.places != nullptr && !readLinesAtPlace(*c.places, c.from, c.to, c.text, c.body)) {
      c.readFailed = true;
      return;
    }
    checker_.check(c);
  }

 private:
  PictureChecker checker_;
};

}  // namespace

void READALLPICTURES(const StudyInput& st, PictureTallies& tallies, const std::filesystem::path& folder,
                     Console& console, PictureObserver* observer) {
  PictureReading how;
  how.observer = observer;
  READALLPICTURES(st, tallies, folder, console, how);
}

void READALLPICTURES(const StudyInput& st, PictureTallies& tallies, const std::filesystem::path& folder,
                     Console& console, const PictureReading& how) {
  Writer& con = console.out();
  con.free("READ ALLPICTURES.TXT");
  tallies.NPROCESSED = 0;
  tallies.NUSED = 0;
  tallies.NREJECTED = 0;

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
  FileSink ownRejectFile;
  FileSink& rejectFile = how.rejects != nullptr ? *how.rejects : ownRejectFile;
  FileSink listFile;
  // Both files are written beside their names and renamed into place only
  // complete; an early end removes them (the destructors do).
  if (!rejectFile.openReplacing(rejectPath))
    endWithError(console, "Cannot create Reject.txt: " + rejectFile.errorText());
  if (how.writeList && !listFile.openReplacing(listPath))
    endWithError(console, "Cannot create FinalPicsList.txt: " + listFile.errorText());

  // The file is checked in chunks of whole lines on every thread; the
  // chunks are merged in file order, so the files and counters come out as
  // from one pass line by line. A few chunks per thread are under way at a
  // time, so memory does not grow with the file.
  const int threads = how.threads > 0 ? how.threads : workThreads();
  const std::size_t chunkBytes = how.chunkBytes > 0 ? how.chunkBytes : kPictureChunkBytes;
  std::vector<PictureChunk> chunks(static_cast<std::size_t>(2 * threads));
  ShiftWarnings shifted("AllPictures.txt", console);
  PeriodCoverage coverage(st);
  PictureObserver* const observer = how.observer;
  std::size_t nextSlot = 0;
  long linesBefore = 0;
  // A regular file is read part by part by the threads that check the
  // parts, each at its place in the file; anything else from start to end
  // by this thread.
  FilePlaces places;
  const std::optional<std::uint64_t> regularSize = how.readInOrder ? std::nullopt : pictures.regularSize();
  if (regularSize) {
    places.file = &pictures;
    places.size = *regularSize;
    char start[3];
    if (places.size >= 3 && pictures.readAt(0, start, 3) == 3 && std::memcmp(start, "\xEF\xBB\xBF", 3) == 0)
      places.skip = 3;
  }
  std::uint64_t nextPlace = 0;
  bool chunkReadFailed = false;
  {
    OrderedWorkQueue<PictureChunk, ChunkWorker> pool(threads, [&st] { return ChunkWorker(st); });
    // With more than one thread the list is written by a thread of its own.
    std::optional<WriteBehind> listWriter;
    if (threads > 1 && how.writeList) listWriter.emplace(listFile);
    for (;;) {
      while (pool.size() < chunks.size()) {
        PictureChunk& c = chunks[nextSlot];
        if (regularSize) {
          if (nextPlace >= places.size) break;
          c.places = &places;
          c.from = nextPlace;
          c.to = places.size - nextPlace > chunkBytes ? nextPlace + chunkBytes : places.size;
          nextPlace = c.to;
        } else {
          if (!pictures.nextLines(c.text, chunkBytes)) break;
          c.body = std::string_view(c.text.data(), c.text.size());
        }
        c.readFailed = false;
        nextSlot = (nextSlot + 1) % chunks.size();
        c.processed = c.used = c.rejected = c.lines = 0;
        c.tooLargeLine = 0;
        c.tooLongLine = 0;
        c.keepAccepted = static_cast<bool>(how.accepted) || observer != nullptr;
        c.keepList = how.writeList;
        c.keepRejected = observer != nullptr;
        pool.submit(c);
      }
      if (pool.size() == 0) break;
      PictureChunk& c = pool.next();
      if (c.readFailed) {
        chunkReadFailed = true;
        break;
      }
      rejectFile.append(c.rejects);
      if (listWriter)
        listWriter->write(c.list);
      else if (how.writeList)
        listFile.append(c.list);
      tallies.NPROCESSED += static_cast<int>(c.processed);
      tallies.NUSED += static_cast<int>(c.used);
      tallies.NREJECTED += static_cast<int>(c.rejected);
      if (how.accepted) how.accepted(c.accepted);
      for (const auto& [lineInChunk, text] : c.shifted)
        shifted.check(text, linesBefore + lineInChunk, kPictureLineFields);
      coverage.addCounts(c.outside, c.untallied);
      if (observer != nullptr) {
        for (const PictureChunk::Rejected& r : c.rejectedLines)
          observer->rejected(linesBefore + r.line, r.reason, r.text);
        observer->listed(c.accepted);
      }
      if (c.tooLargeLine != 0 || c.tooLongLine != 0) {
        // The list would hold asterisks, or the file is not one of picture
        // lines: neither file is kept.
        if (listWriter) listWriter->finish();
        rejectFile.discard();
        listFile.discard();
        if (c.tooLongLine != 0)
          endWithError(console, "AllPictures.txt line " + std::to_string(linesBefore + c.tooLongLine) +
                                    ": longer than " + std::to_string(kMaxLineBytes) + " bytes");
        endWithError(console, "Minute number too large for FinalPicsList.txt: " + std::to_string(c.tooLargeMinute) +
                                  " at line " + std::to_string(linesBefore + c.tooLargeLine) +
                                  " of AllPictures.txt, at most " + std::to_string(kMaxMinuteNumber) +
                                  " (the study spans too many years)");
      }
      linesBefore += c.lines;
    }
  }

  shifted.finish();
  const bool readFailed = chunkReadFailed || pictures.readError();
  pictures.close();
  const bool rejectOk = rejectFile.close();
  const bool listOk = listFile.close();
  if (readFailed) endWithError(console, "Error reading AllPictures.txt");
  if (!rejectOk)
    endWithError(console, "Error writing Reject.txt: " + rejectFile.errorText() + " (the incomplete file was removed)");
  if (!listOk)
    endWithError(console,
                 "Error writing FinalPicsList.txt: " + listFile.errorText() + " (the incomplete file was removed)");
  if (how.writeList && !listFile.commit())
    endWithError(console, "Cannot create FinalPicsList.txt: " + listFile.errorText());
  if (how.rejects != nullptr) {
    // Left complete and closed, to take its name together with the report.
  } else if (tallies.NREJECTED == 0) {
    // Nothing rejected: no Reject.txt, not even one from an earlier run.
    rejectFile.discard();
    std::error_code ignored;
    std::filesystem::remove(rejectPath, ignored);
  } else if (!rejectFile.commit()) {
    endWithError(console, "Cannot create Reject.txt: " + rejectFile.errorText());
  }

  con.free("   Processed        ", tallies.NPROCESSED);
  con.free("   Used in analysis ", tallies.NUSED);
  con.free("   Rejected         ", tallies.NREJECTED);
  coverage.report(console);
}

}  // namespace mv
