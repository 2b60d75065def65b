#include "driver/driver.hpp"

#include <chrono>
#include <exception>
#include <system_error>

#include "abundance/abundance.hpp"
#include "activity/activity.hpp"
#include "community/community.hpp"
#include "driver/folder_lock.hpp"
#include "effort/effort.hpp"
#include "events/events.hpp"
#include "input/input.hpp"
#include "layout/console.hpp"
#include "layout/removal_list.hpp"
#include "layout/sinks.hpp"
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
  ~Cleanup() { dropFromRemovalList(slot_); }
  void setPictureList(const std::filesystem::path& path) {
    pictureList_ = path;
    slot_ = addToRemovalList(path);
  }
  void removePictureList() {
    if (pictureList_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(pictureList_, ignored);
    pictureList_.clear();
    dropFromRemovalList(slot_);
    slot_ = -1;
  }

 private:
  std::filesystem::path pictureList_;
  int slot_ = -1;
};

int runSteps(const std::filesystem::path& folder, Console& console, const RunOptions& options, Cleanup& cleanup) {
  Writer& con = console.out();
  con.write("(a51)", "Program Morvelstrand, Version 6.0, October 24, 2017");
  con.blank();
  con.free("BEGIN GROUP CAMERA TRAP DATA ANALYSIS");
  const auto start = Clock::now();

  // A PERIOD given on the command line is checked before any file is
  // touched.
  if (options.period && !periodInRange(*options.period)) rejectPeriod(console);
  // So is the folder for the tables: a run is not made only to find at its
  // end that its tables cannot be written.
  std::optional<TablesPackage> tables;
  if (options.tables) {
    tables.emplace(*options.tables, options.occasionDays);
    if (!tables->start()) {
      console.error().free("Cannot write the tables: " + tables->errorText());
      return 1;
    }
  }

  // Input.
  Study st = readStudy(folder, console);
  // From here on the run has written FinalPicsList.txt; an early end
  // removes it.
  cleanup.setPictureList(folder / "FinalPicsList.txt");
  if (tables) tables->prepare(st);
  if (options.period) {
    // With PERIOD known before the pictures are read, the picture loop takes
    // every accepted picture from memory as the list is written, in file
    // order, and the list is not read back.
    st.sizeTallies();
    st.PERIOD = *options.period;
    MOONPHASES(st);
    PictureLoop loop(st, tables ? &*tables : nullptr);
    PictureReading how;
    how.observer = tables ? &*tables : nullptr;
    how.accepted = [&loop](std::span<const ListedPicture> pictures) {
      for (const ListedPicture& p : pictures) loop.add(p);
    };
    READALLPICTURES(st, folder, console, how);
    // The last event closes with the last picture.
    loop.finish();
    if (tables) tables->picturesRead(st);
    GETPERIOD(st, console, options.period);
  } else {
    // PERIOD is asked only after the pictures are counted, so the loop runs
    // over the list afterwards.
    READALLPICTURES(st, folder, console, tables ? &*tables : nullptr);
    if (tables) tables->picturesRead(st);
    st.sizeTallies();
    GETPERIOD(st, console, options.period);
    MOONPHASES(st);
    READPICTURELIST(st, folder, tables ? &*tables : nullptr);
  }

  // Report.
  FileSink file;
  OPENOUTFILE(st, folder, file, console, options.date ? *options.date : today());
  Writer report(file);
  st.sizeGroupDates();
  WRITEGROUPASSIGNMENT(st, report);
  GROUPSTARTSTOP(st, con);
  WRITEFLPICS(st, report, con);
  COUNTPICS(st, report, con);
  CAMERATRAPEFFORT(st, con);
  st.sizeGroupTrapDays();
  GROUPCTDAYS(st, con);
  WRITEGROUPTRAPDAYS(st, report, con);
  st.sizeGroupPositions();
  GROUPUTMELEV(st, report, con);
  // The tables are complete: the remaining sections only read them, so
  // they are written on every thread at once, in their order.
  const auto section = [&st](void (*write)(const Study&, Writer&, Writer&)) -> ReportSection {
    return [&st, write](Writer& r, Writer& c) { write(st, r, c); };
  };
  const ReportSection sections[] = {
      section(ACCUMULATIONCURVE), section(GROUPSPECIESPICS),  section(DISTANCE),         section(ACTIVITYPATTERN),
      section(LUNARACTIVITY),     section(SEASONALACTIVITY),  section(SPECIESABUNDANCE), section(GROUPSBYSPECIES),
      section(GROUPINDEPENDENCE), section(GROUPSBYMONTH),     section(SPECIESBYMONTH),   section(SPECIESBYGROUP),
      section(VENNDIAGRAM),       section(DETECTIONRATES),    section(NAIVEOCCUPANCY),   section(AREAOFEACHGROUP),
  };
  SectionRunning running;
  running.threads = pictureThreads();
  runSections(sections, report, con, running);

  // End: the picture list was only needed within the run.
  cleanup.removePictureList();
  const auto stop = Clock::now();
  const auto ticks = std::chrono::duration_cast<std::chrono::microseconds>(stop - start).count();
  const float elapsed = static_cast<float>(ticks) / 1000000.0f;
  report.write("(a13,2x,f9.3,a8)", "Elasped time ", elapsed, " seconds");
  // The report takes its name only now that it is complete.
  if (!file.commit()) {
    console.error().free("Error writing OutputGroups.txt: " + file.errorText() +
                         " (the incomplete report was removed)");
    return 1;
  }
  if (tables) {
    con.free("WRITE TABLES");
    if (!tables->write(st)) {
      console.error().free("Error writing the tables: " + tables->errorText());
      return 1;
    }
  }
  // The page is made from the finished tables, once the report is in place.
  if (options.html) {
    std::string error;
    if (!writeHtmlPage(st, *options.html, error)) {
      console.error().free("Error writing the HTML page " + options.html->string() + ": " + error);
      return 1;
    }
  }
  con.free("Elasped time ", elapsed);
  con.free("HIT ENTER TO TERMINATE NORMALLY");
  console.waitForEnter();
  return 0;
}

}  // namespace

int run(const std::filesystem::path& folder, std::istream& in, std::ostream& out, const RunOptions& options) {
  Console console(out, in, options.err != nullptr ? *options.err : out, options.console);
  // Where no lock file can be made (a folder that cannot be written), no
  // other run can write either; the run goes on and says what fails.
  FolderLock lock;
  if (lock.acquire(folder) == FolderLock::Outcome::Busy) {
    console.error().free("another run is using this folder: " + folder.string());
    return 1;
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
