#include "driver/driver.hpp"

#include <chrono>
#include <exception>
#include <system_error>

#include "abundance/abundance.hpp"
#include "activity/activity.hpp"
#include "community/community.hpp"
#include "effort/effort.hpp"
#include "events/events.hpp"
#include "input/input.hpp"
#include "layout/console.hpp"
#include "layout/sinks.hpp"
#include "model/study.hpp"
#include "tallies/tallies.hpp"

namespace mv {

namespace {

using Clock = std::chrono::steady_clock;

int runSteps(const std::filesystem::path& folder, Console& console, const RunOptions& options) {
  Writer& con = console.out();
  con.write("(a51)", "Program Morvelstrand, Version 6.0, October 24, 2017");
  con.blank();
  con.free("BEGIN GROUP CAMERA TRAP DATA ANALYSIS");
  const auto start = Clock::now();

  Study st;
  // Input.
  READINPUTPARAMETERS(st, folder, console);
  st.sizeLocationTables();
  READINPUT(st, folder, console);
  STARTSTOPDAYS(st, console);
  checkStudySpan(st, console);
  st.sizeLocationTrapDays();
  GETNUMBEROFLOCATIONS(st, folder);
  st.sizeMapTables();
  READGROUPMAP(st, folder, console);
  st.sizeGroupTables();
  CREATESHORTGROUPLIST(st);
  READALLPICTURES(st, folder, console);

  // Tallies.
  st.sizeTallies();
  GETPERIOD(st, console);
  MOONPHASES(st);
  READPICTURELIST(st, folder);

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
  ACCUMULATIONCURVE(st, report, con);
  GROUPSPECIESPICS(st, report, con);
  DISTANCE(st, report, con);
  ACTIVITYPATTERN(st, report, con);
  LUNARACTIVITY(st, report, con);
  SEASONALACTIVITY(st, report, con);
  SPECIESABUNDANCE(st, report, con);
  GROUPSBYSPECIES(st, report, con);
  GROUPINDEPENDENCE(st, report, con);
  GROUPSBYMONTH(st, report, con);
  SPECIESBYMONTH(st, report, con);
  SPECIESBYGROUP(st, report, con);
  VENNDIAGRAM(st, report, con);
  DETECTIONRATES(st, report, con);
  NAIVEOCCUPANCY(st, report, con);
  AREAOFEACHGROUP(st, report, con);

  // End: the picture list was only needed within the run.
  std::error_code ignored;
  std::filesystem::remove(folder / "FinalPicsList.txt", ignored);
  const auto stop = Clock::now();
  const auto ticks = std::chrono::duration_cast<std::chrono::microseconds>(stop - start).count();
  const float elapsed = static_cast<float>(ticks) / 1000000.0f;
  report.write("(a13,2x,f9.3,a8)", "Elasped time ", elapsed, " seconds");
  if (!file.close()) {
    con.free("Error writing OutputGroups.txt: " + file.errorText());
    return 1;
  }
  con.free("Elasped time ", elapsed);
  con.free("HIT ENTER TO TERMINATE NORMALLY");
  console.waitForEnter();
  return 0;
}

}  // namespace

int run(const std::filesystem::path& folder, std::istream& in, std::ostream& out, const RunOptions& options) {
  Console console(out, in);
  try {
    return runSteps(folder, console, options);
  } catch (const RunEnded& ended) {
    return ended.status;
  } catch (const std::exception& e) {
    console.out().free("Morvelstrand stopped: ", std::string_view(e.what()));
    return 1;
  }
}

}  // namespace mv
