// AllPictures.txt: every picture line checked against the study; accepted
// lines go to FinalPicsList.txt as numbers, rejected ones to Reject.txt.
// The file is checked in chunks of whole lines on every thread and the
// chunks are merged in file order, so the files and counters come out as
// from one pass line by line.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "concurrency/ordered_queue.hpp"
#include "concurrency/threads.hpp"
#include "concurrency/write_behind.hpp"
#include "input/input.hpp"
#include "input/input_warnings.hpp"
#include "input/picture_checker.hpp"
#include "input/picture_chunks.hpp"
#include "input/picture_list.hpp"
#include "io/sinks.hpp"

namespace mv {

namespace {

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

// Opens AllPictures.txt; ends the run when it is missing, or when the study
// has more groups or species than the list's columns hold.
void openPictures(FileLines& pictures, const StudyInput& st, const std::filesystem::path& folder, Console& console) {
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
}

// Reject.txt and FinalPicsList.txt, written beside their names and renamed
// into place only complete; an early end removes them (the destructors do).
struct PictureFiles {
  PictureFiles(const std::filesystem::path& folder, const PictureReading& how, Console& console)
      : rejectPath(folder / "Reject.txt"),
        listPath(folder / "FinalPicsList.txt"),
        rejects(how.rejects != nullptr ? *how.rejects : ownRejects) {
    if (!rejects.openReplacing(rejectPath)) endWithError(console, "Cannot create Reject.txt: " + rejects.errorText());
    if (how.writeList && !list.openReplacing(listPath))
      endWithError(console, "Cannot create FinalPicsList.txt: " + list.errorText());
  }

  const std::filesystem::path rejectPath;
  const std::filesystem::path listPath;
  FileSink ownRejects;
  FileSink& rejects;
  FileSink list;
};

// Closes both files and renames them into place; ends the run on an error.
void closePictureFiles(PictureFiles& files, bool readFailed, const PictureTallies& tallies, const PictureReading& how,
                       Console& console) {
  FileSink& rejectFile = files.rejects;
  FileSink& listFile = files.list;
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
    std::filesystem::remove(files.rejectPath, ignored);
  } else if (!rejectFile.commit()) {
    endWithError(console, "Cannot create Reject.txt: " + rejectFile.errorText());
  }
}

// The checked chunks taken in file order: their lines appended to the files,
// their counters added, their warnings given and the observer told.
class ChunkMerger {
 public:
  ChunkMerger(const StudyInput& st, PictureTallies& tallies, PictureFiles& files, const PictureReading& how,
              int threads, Console& console)
      : tallies_(tallies),
        files_(files),
        how_(how),
        console_(console),
        shifted_("AllPictures.txt", console),
        coverage_(st) {
    // With more than one thread the list is written by a thread of its own.
    if (threads > 1 && how.writeList) listWriter_.emplace(files.list);
  }

  // Takes the next chunk; false when its lines could not be read.
  bool take(PictureChunk& c) {
    if (c.readFailed) return false;
    files_.rejects.append(c.rejects);
    if (listWriter_)
      listWriter_->write(c.list);
    else if (how_.writeList)
      files_.list.append(c.list);
    tallies_.NPROCESSED += static_cast<int>(c.processed);
    tallies_.NUSED += static_cast<int>(c.used);
    tallies_.NREJECTED += static_cast<int>(c.rejected);
    if (how_.accepted) how_.accepted(c.accepted);
    for (const auto& [lineInChunk, text] : c.shifted)
      shifted_.check(text, linesBefore_ + lineInChunk, kPictureLineFields);
    coverage_.addCounts(c.outside, c.untallied);
    if (how_.observer != nullptr) {
      for (const PictureChunk::Rejected& r : c.rejectedLines)
        how_.observer->rejected(linesBefore_ + r.line, r.reason, r.text);
      how_.observer->listed(c.accepted);
    }
    if (c.tooLargeLine != 0 || c.tooLongLine != 0) stop(c);
    linesBefore_ += c.lines;
    return true;
  }

  // Every piece of the list handed on to the file.
  void finishList() { listWriter_.reset(); }
  // The warnings that wait for the end of the file.
  void finish() { shifted_.finish(); }
  const PeriodCoverage& coverage() const { return coverage_; }

 private:
  // The list would hold asterisks, or the file is not one of picture lines:
  // neither file is kept.
  [[noreturn]] void stop(const PictureChunk& c) {
    if (listWriter_) listWriter_->finish();
    files_.rejects.discard();
    files_.list.discard();
    if (c.tooLongLine != 0)
      endWithError(console_, "AllPictures.txt line " + std::to_string(linesBefore_ + c.tooLongLine) + ": longer than " +
                                 std::to_string(kMaxLineBytes) + " bytes");
    endWithError(console_, "Minute number too large for FinalPicsList.txt: " + std::to_string(c.tooLargeMinute) +
                               " at line " + std::to_string(linesBefore_ + c.tooLargeLine) +
                               " of AllPictures.txt, at most " + std::to_string(kMaxMinuteNumber) +
                               " (the study spans too many years)");
  }

  PictureTallies& tallies_;
  PictureFiles& files_;
  const PictureReading& how_;
  Console& console_;
  ShiftWarnings shifted_;
  PeriodCoverage coverage_;
  std::optional<WriteBehind> listWriter_;
  long linesBefore_ = 0;
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
  openPictures(pictures, st, folder, console);
  PictureFiles files(folder, how, console);

  // A few chunks per thread are under way at a time, so memory does not
  // grow with the file.
  const int threads = how.threads > 0 ? how.threads : workThreads();
  PictureChunks source(pictures, how.readInOrder, how.chunkBytes > 0 ? how.chunkBytes : kPictureChunkBytes);
  std::vector<PictureChunk> chunks(static_cast<std::size_t>(2 * threads));
  std::size_t nextSlot = 0;
  ChunkMerger merged(st, tallies, files, how, threads, console);
  bool chunkReadFailed = false;
  {
    OrderedWorkQueue<PictureChunk, ChunkWorker> pool(threads, [&st] { return ChunkWorker(st); });
    for (;;) {
      while (pool.size() < chunks.size()) {
        PictureChunk& c = chunks[nextSlot];
        if (!source.next(c)) break;
        nextSlot = (nextSlot + 1) % chunks.size();
        c.keepAccepted = static_cast<bool>(how.accepted) || how.observer != nullptr;
        c.keepList = how.writeList;
        c.keepRejected = how.observer != nullptr;
        pool.submit(c);
      }
      if (pool.size() == 0) break;
      if (!merged.take(pool.next())) {
        chunkReadFailed = true;
        break;
      }
    }
    merged.finishList();
  }

  merged.finish();
  const bool readFailed = chunkReadFailed || pictures.readError();
  pictures.close();
  closePictureFiles(files, readFailed, tallies, how, console);
  con.free("   Processed        ", tallies.NPROCESSED);
  con.free("   Used in analysis ", tallies.NUSED);
  con.free("   Rejected         ", tallies.NREJECTED);
  merged.coverage().report(console);
}

}  // namespace mv
