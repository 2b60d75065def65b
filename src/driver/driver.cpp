#include "driver/driver.hpp"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <system_error>
#include <vector>

#include "abundance/abundance.hpp"
#include "activity/activity.hpp"
#include "circular/analysis.hpp"
#include "community/community.hpp"
#include "concurrency/threads.hpp"
#include "effort/effort.hpp"
#include "events/events.hpp"
#include "input/input.hpp"
#include "input/input_warnings.hpp"
#include "io/console.hpp"
#include "process/folder_lock.hpp"
#include "process/removal_list.hpp"
#include "io/sinks.hpp"
#include "model/study.hpp"
#include "tables/tables.hpp"
#include "page/page.hpp"
#include "report/sections.hpp"
#include "tallies/tallies.hpp"

namespace mv {

namespace {

using Clock = std::chrono::steady_clock;

// Files of this run that must not outlive an early end (or a signal).
class Cleanup {
 public:
  ~Cleanup() {
    remover_.wait();
    dropFromRemovalList(slot_);
  }
  Cleanup() = default;
  Cleanup(const Cleanup&) = delete;
  Cleanup& operator=(const Cleanup&) = delete;
  void setPictureList(const std::filesystem::path& path) {
    pictureList_ = path;
    slot_ = addToRemovalList(path);
  }
  // Once the list is read for the last time it is removed on a thread of
  // its own, beside the report (a list of millions of lines takes a while
  // to remove); removePictureList() waits for that.
  void startRemovingPictureList() {
    if (pictureList_.empty() || remover_.started()) return;
    try {
      remover_.start([path = pictureList_] { ::unlink(path.c_str()); });
    } catch (const std::system_error&) {
      // No thread: removed at the end.
    }
  }
  void removePictureList() {
    remover_.wait();
    if (pictureList_.empty()) return;
    // A file only: a run with PERIOD given writes no list, and a folder of
    // that name is not its to remove.
    ::unlink(pictureList_.c_str());
    pictureList_.clear();
    dropFromRemovalList(slot_);
    slot_ = -1;
  }

 private:
  std::filesystem::path pictureList_;
  int slot_ = -1;
  BackgroundJob remover_;
};

// Rejected lines that rejects.csv shows with U+FFFD.
void warnNotUtf8Rejects(const TablesPackage& tables, Console& console) {
  if (tables.notUtf8Rejects() > 0)
    warnNotUtf8(console, "AllPictures.txt", tables.firstNotUtf8Reject(), tables.notUtf8Rejects() - 1,
                "rejects.csv shows");
}

// The picture stage: AllPictures.txt read and checked into the picture list,
// PERIOD settled, and the independence rule run over the listed pictures.
PictureTallies tallyPictures(const StudyInput& st, const std::filesystem::path& folder, Console& console,
                             std::optional<int> period, TablesPackage* tables, EventObserver* events,
                             FileSink& rejects) {
  PictureTallies tallies;
  // Reject.txt takes its name together with the report, at the end.
  PictureReading how;
  how.observer = tables;
  how.rejects = &rejects;
  if (period) {
    // With PERIOD known before the pictures are read, the picture loop takes
    // every accepted picture from memory in file order, and the picture
    // list, which would never be read back, is not written.
    tallies.sizeTallies(st);
    tallies.PERIOD = *period;
    MOONPHASES(st, tallies);
    PictureLoop loop(st, tallies, events);
    how.accepted = [&loop](std::span<const ListedPicture> pictures) { loop.add(pictures); };
    how.writeList = false;
    READALLPICTURES(st, tallies, folder, console, how);
    // The last event closes with the last picture.
    loop.finish();
    if (tables) {
      tables->picturesRead(st);
      warnNotUtf8Rejects(*tables, console);
    }
    GETPERIOD(tallies, console, period);
  } else {
    // PERIOD is asked only after the pictures are counted, so the loop runs
    // over the list afterwards.
    READALLPICTURES(st, tallies, folder, console, how);
    if (tables) {
      tables->picturesRead(st);
      warnNotUtf8Rejects(*tables, console);
    }
    tallies.sizeTallies(st);
    GETPERIOD(tallies, console, period);
    MOONPHASES(st, tallies);
    READPICTURELIST(st, tallies, folder, events);
  }
  return tallies;
}

// How the report's sections are written. Sharing them out to the threads
// pays only for a large report: for one of a few megabytes handing the lines
// from thread to thread costs about what it saves. MORVELSTRAND_THREADS,
// when set, is taken for the report too.
SectionRunning reportRunning(const StudyInput& st) {
  constexpr long long kSharedReportRows = 50000;  // groups x species x years
  SectionRunning running;
  const long long rows = static_cast<long long>(st.NGROUPS) * st.NSPECIES * st.years().size();
  const bool large = rows >= kSharedReportRows;
  running.threads = large || std::getenv("MORVELSTRAND_THREADS") != nullptr ? workThreads() : 1;
  return running;
}

// The end of a run once its last section is written: the picture list
// removed, the elapsed time as the report's last line, the report under its
// name, then the tables and the page made from the finished run, and the
// closing console lines. Returns the exit status.
int finishRun(const std::filesystem::path& folder, const StudyInput& st, const PictureTallies& tallies,
              const GroupEffort& effort, const GroupPositions& positions, Clock::time_point start, FileSink& file,
              Writer& report, Console& console, const RunOptions& options, TablesPackage* tables,
              const EventTimes* times, Cleanup& cleanup, FileSink& rejects) {
  Writer& con = console.out();
  // The picture list was only needed within the run.
  cleanup.removePictureList();
  const auto stop = Clock::now();
  const auto ticks = std::chrono::duration_cast<std::chrono::microseconds>(stop - start).count();
  const float elapsed = static_cast<float>(ticks) / 1000000.0f;
  report.write("(a13,2x,f9.3,a8)", "Elasped time ", elapsed, " seconds");
  // The report takes its name only now that it is complete, and Reject.txt
  // just before it: both are new, or neither.
  if (file.close()) {
    if (tallies.NREJECTED == 0) {
      rejects.discard();
      std::error_code ignored;
      std::filesystem::remove(folder / "Reject.txt", ignored);
    } else if (!rejects.commit()) {
      console.error().free("Cannot create Reject.txt: " + rejects.errorText());
      return 1;
    }
  }
  if (!file.commit()) {
    console.error().free("Error writing OutputGroups.txt: " + file.errorText() +
                         " (the incomplete report was removed)");
    return 1;
  }
  // The activity analysis of the events, for the tables and the page.
  ActivityAnalysis activity;
  if (times) activity = analyseActivity(*times, st.NSPECIES, options.activity);
  if (tables) {
    con.free("WRITE TABLES");
    tables->setActivity(activity);
    if (!tables->write(st, tallies, effort, positions)) {
      console.error().free("Error writing the tables: " + tables->errorText());
      return 1;
    }
  }
  // The page is made from the finished tables, once the report is in place.
  if (options.html) {
    std::string error;
    if (!writeHtmlPage(st, tallies, effort, positions, *options.html, error, &activity,
                       tables ? &tables->estimates() : nullptr)) {
      console.error().free("Error writing the HTML page " + options.html->string() + ": " + error);
      return 1;
    }
  }
  con.free("Elasped time ", elapsed);
  con.free("HIT ENTER TO TERMINATE NORMALLY");
  console.waitForEnter();
  return 0;
}

int runSteps(const std::filesystem::path& folder, Console& console, const RunOptions& options, Cleanup& cleanup) {
  Writer& con = console.out();
  con.write("(a51)", "Program Morvelstrand, Version 6.0, October 24, 2017");
  con.blank();
  con.free("BEGIN GROUP CAMERA TRAP DATA ANALYSIS");
  const auto start = Clock::now();

  // A PERIOD given on the command line is checked before any file is
  // touched.
  if (options.period && !periodInRange(*options.period)) rejectPeriod(console);
  // This run holds the folder: temporary files found there are those of
  // runs that were killed before they could remove them (the page's too,
  // when it is written into the study folder).
  std::vector<std::string_view> outputs = {"OutputGroups.txt", "Reject.txt", "FinalPicsList.txt", "GroupMap.txt"};
  const std::string page = options.html ? options.html->filename().string() : std::string();
  std::error_code different;
  if (options.html && std::filesystem::equivalent(options.html->parent_path(), folder, different) && !different)
    outputs.push_back(page);
  LeftOvers removed = removeTemporaries(folder, outputs);
  // So is the folder for the tables: a run is not made only to find at its
  // end that its tables cannot be written.
  std::optional<TablesPackage> tables;
  if (options.tables) {
    tables.emplace(*options.tables, options.occasionDays);
    tables->setBootstrap(options.activity.bootstrap, options.activity.seed);
    const bool started = tables->start();
    removed += tables->leftOvers();
    if (!started) {
      if (removed.entries > 0) console.error().free(leftOversLine(removed));
      console.error().free("Cannot write the tables: " + tables->errorText());
      return 1;
    }
  }
  if (removed.entries > 0) console.error().free(leftOversLine(removed));

  // Input.
  const StudyInput st = readStudy(folder, console);
  // From here on the run has written FinalPicsList.txt; an early end
  // removes it.
  cleanup.setPictureList(folder / "FinalPicsList.txt");
  // The tables and the page show the names as UTF-8.
  warnNotUtf8Names(st, console, tables.has_value(), options.html.has_value());
  if (tables && !tables->prepare(st)) {
    console.error().free("Cannot write the tables: " + tables->errorText());
    return 1;
  }
  FileSink rejects;
  // The events' start times are kept for the activity analysis of the
  // tables and the page; the tables see every event after them.
  std::optional<EventTimes> times;
  if (options.tables || options.html) times.emplace(tables ? &*tables : nullptr);
  EventObserver* events = times ? static_cast<EventObserver*>(&*times) : nullptr;
  const PictureTallies tallies =
      tallyPictures(st, folder, console, options.period, tables ? &*tables : nullptr, events, rejects);
  cleanup.startRemovingPictureList();

  // Report.
  FileSink file;
  OPENOUTFILE(st, tallies, folder, file, console, options.date ? *options.date : today());
  Writer report(file);
  WRITEGROUPASSIGNMENT(st, report);
  // The effort stage: the group dates first, as the first-pictures section
  // reads them; then that section and the picture counts are written while
  // the camera trap days are counted beside them, the console lines of all
  // three coming out in this order.
  const GroupEffort effort = [&] {
    GroupEffort made;
    made.sizeGroupDates(st);
    GROUPSTARTSTOP(st, made, con);
    const ReportSection steps[] = {
        [&](Writer& r, Writer& c) { WRITEFLPICS(st, tallies, made, r, c); },
        [&](Writer& r, Writer& c) { COUNTPICS(st, tallies, r, c); },
        // Side step: the trap day tables, from the group dates only.
        sideStep([&](Writer& c) { countTrapDays(st, made, c); }),
    };
    runSections(steps, report, con, reportRunning(st));
    return made;
  }();
  WRITEGROUPTRAPDAYS(st, effort, report, con);
  // The positions stage.
  const GroupPositions positions = [&] {
    GroupPositions made;
    made.sizeGroupPositions(st);
    GROUPUTMELEV(st, made, report, con);
    return made;
  }();
  // Every table is complete: the remaining sections only read them, so
  // they are written on every thread at once, in their order.
  const ReportSection sections[] = {
      [&](Writer& r, Writer& c) { ACCUMULATIONCURVE(st, tallies, r, c); },
      [&](Writer& r, Writer& c) { GROUPSPECIESPICS(st, tallies, effort, r, c); },
      [&](Writer& r, Writer& c) { DISTANCE(st, positions, r, c); },
      [&](Writer& r, Writer& c) { ACTIVITYPATTERN(st, tallies, r, c); },
      [&](Writer& r, Writer& c) { LUNARACTIVITY(st, tallies, r, c); },
      [&](Writer& r, Writer& c) { SEASONALACTIVITY(st, tallies, effort, r, c); },
      [&](Writer& r, Writer& c) { SPECIESABUNDANCE(st, tallies, r, c); },
      [&](Writer& r, Writer& c) { GROUPSBYSPECIES(st, tallies, positions, r, c); },
      [&](Writer& r, Writer& c) { GROUPINDEPENDENCE(st, tallies, r, c); },
      [&](Writer& r, Writer& c) { GROUPSBYMONTH(st, tallies, effort, r, c); },
      [&](Writer& r, Writer& c) { SPECIESBYMONTH(st, tallies, effort, positions, r, c); },
      [&](Writer& r, Writer& c) { SPECIESBYGROUP(st, tallies, r, c); },
      [&](Writer& r, Writer& c) { VENNDIAGRAM(st, tallies, positions, r, c); },
      [&](Writer& r, Writer& c) { DETECTIONRATES(st, tallies, effort, r, c); },
      [&](Writer& r, Writer& c) { NAIVEOCCUPANCY(st, tallies, r, c); },
      [&](Writer& r, Writer& c) { AREAOFEACHGROUP(st, r, c); },
  };
  runSections(sections, report, con, reportRunning(st));

  return finishRun(folder, st, tallies, effort, positions, start, file, report, console, options,
                   tables ? &*tables : nullptr, times ? &*times : nullptr, cleanup, rejects);
}

}  // namespace

int run(const std::filesystem::path& folder, std::istream& in, std::ostream& out, const RunOptions& options) {
  Console console(out, in, options.err != nullptr ? *options.err : out, options.console);
  // A missing folder has nothing to protect: the run goes on and says what
  // is missing.
  FolderLock lock;
  switch (lock.acquire(folder, folder / FolderLock::kFileName)) {
    case FolderLock::Outcome::Busy:
      console.error().free("another run is using this folder: " + folder.string());
      return 1;
    case FolderLock::Outcome::Failed:
      console.error().free("Cannot lock the study folder: " + lock.errorText());
      return 1;
    case FolderLock::Outcome::Locked:
    case FolderLock::Outcome::Missing:
      break;
  }
  Cleanup cleanup;
  int status = 1;
  try {
    status = runSteps(folder, console, options, cleanup);
  } catch (const RunEnded& ended) {
    status = ended.status;
  } catch (const std::exception& e) {
    console.error().free("Morvelstrand stopped: ", std::string_view(e.what()));
    status = 1;
  }
  if (status != 0) cleanup.removePictureList();
  return status;
}

}  // namespace mv
