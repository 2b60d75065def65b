// The run's numbers as a Frictionless Tabular Data Package: one CSV per
// table and DIR/datapackage.json describing them (field names and types,
// primary keys), for R, Python and the other tools of the field. Every
// value comes from the same tables and routines as the report.
//
// The package is made whole in a new folder beside DIR and then swapped
// with DIR in one step, so DIR always holds one complete package: the
// earlier one until the new one is complete. DIR is locked meanwhile, and
// it must hold nothing but a package of ours (or be new or empty), for
// whatever it holds goes with the swap.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "circular/analysis.hpp"
#include "concurrency/threads.hpp"
#include "estimates/estimates.hpp"
#include "events/events.hpp"
#include "input/input.hpp"
#include "process/folder_lock.hpp"
#include "model/study.hpp"
#include "tables/csv_writer.hpp"

namespace mv {

class TablesPackage final : public PictureObserver, public EventObserver {
 public:
  // Occasions of the detection history are `occasionDays` days long,
  // counted from the first study day.
  TablesPackage(std::filesystem::path dir, int occasionDays);
  // Waits for the detection history's thread, if it still runs.
  ~TablesPackage() override;
  TablesPackage(const TablesPackage&) = delete;
  TablesPackage& operator=(const TablesPackage&) = delete;

  // Makes DIR when missing, locks it, checks what it holds, makes the new
  // folder beside it and starts rejects.csv and events.csv there; false
  // with errorText() when DIR cannot be made, locked or written, or holds
  // anything but a package of ours.
  bool start();
  // The temporary files and folders of killed runs that start() removed.
  const LeftOvers& leftOvers() const { return leftOvers_; }
  // Before the picture file is read: the study's groups, species and days
  // are known, and datapackage.json's text is made from them; false with
  // errorText() when it cannot be.
  bool prepare(const StudyInput& st);
  // Rejected lines go straight to rejects.csv (nothing kept in memory),
  // as UTF-8; listed pictures mark the day of their group and species.
  void rejected(long lineNumber, std::string_view reason, std::string_view line) override;
  void listed(std::span<const ListedPicture> pictures) override;
  // Independent events go straight to events.csv, numbered in list order.
  void eventClosed(const IndependentEvent& event) override;
  // After the picture file is read (the listed pictures are all known):
  // starts formatting detection_history.csv on a second thread, which reads
  // only the package's own copies from then on, while the run goes on.
  void picturesRead(const StudyInput& st);
  // After the report: writes every table and then datapackage.json into
  // the new folder and swaps it with DIR. False with errorText() on the
  // first file that cannot be written (DIR then stays as it was).
  bool write(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
             const GroupPositions& positions);
  const std::string& errorText() const { return error_; }
  // Rejected lines written with U+FFFD for bytes that are not UTF-8: how
  // many, and the first one's line number.
  long notUtf8Rejects() const { return notUtf8Rejects_; }
  long firstNotUtf8Reject() const { return firstNotUtf8Reject_; }
  // The bootstrap's replicates and seed, recorded in datapackage.json; set
  // before prepare().
  void setBootstrap(int replicates, std::uint64_t seed) {
    bootstrapReplicates_ = replicates;
    bootstrapSeed_ = seed;
  }
  // The activity analysis written by write() (kept by reference; none: its
  // tables have no rows).
  void setActivity(const ActivityAnalysis& activity) { activity_ = &activity; }
  // The occupancy models, abundance index and richness of the run, once
  // write() has made them.
  const StudyEstimates& estimates() const { return estimates_; }

 private:
  bool fail(std::string_view file, const std::string& why);
  bool describe(const StudyInput& st);
  void formatDetectionHistory();
  // Waits for the detection history (starting it when picturesRead() was
  // not called) and renames it into place.
  bool finishDetectionHistory(const StudyInput& st);
  bool checkContents();
  bool swapIn();
  // The estimates from the detection history, the events and the trap days.
  void estimate(const StudyInput& st, const GroupEffort& effort);

  std::filesystem::path dir_;      // DIR as given, for the messages
  std::filesystem::path real_;     // DIR with its links resolved
  std::filesystem::path staging_;  // the new folder beside it
  int stagingSlot_ = -1;           // the new folder on the removal list
  bool swapped_ = false;
  FolderLock lock_;
  LeftOvers leftOvers_;
  int occasionDays_;
  CsvWriter rejects_;
  CsvWriter events_;
  long long eventCount_ = 0;
  // Events of each group and species: eventsPerPair_[(group-1)*species + species-1].
  std::vector<long long> eventsPerPair_;
  StudyEstimates estimates_;
  // Group and species names as CSV fields, quoted where needed, by number.
  std::vector<std::string> groupFields_;
  std::vector<std::string> speciesFields_;
  std::string error_;
  std::string description_;  // datapackage.json
  long notUtf8Rejects_ = 0;
  long firstNotUtf8Reject_ = 0;
  const ActivityAnalysis* activity_ = nullptr;
  int bootstrapReplicates_ = 0;
  std::uint64_t bootstrapSeed_ = 0;
  // Days with a listed picture of each group and species, one bit per study
  // day from FIRSTDAY; a pair without pictures keeps no bits at all.
  int firstDay_ = 0;
  int days_ = 0;
  int species_ = 0;
  std::vector<std::vector<std::uint64_t>> seen_;
  int lastGroup_ = 0;
  int lastSpecies_ = 0;
  int lastDay_ = 0;
  // The detection history's thread and what it reads: the occasions each
  // group worked and "occasion,start," of every occasion.
  bool historyStarted_ = false;
  std::vector<std::vector<char>> historyEffort_;
  std::vector<std::string> historyStarts_;
  FileSink historyFile_;
  std::string historyError_;
  BackgroundJob history_;  // last: waited for before the rest goes
};

// The date of a day number counted from 1 January of `base` (day 1), with
// every year divisible by 4 a leap year, as YYYY-MM-DD.
std::string dayNumberDate(int base, int dayNumber);

}  // namespace mv
