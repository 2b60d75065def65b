// The report file: header, group assignments, first pictures summary.
#pragma once

#include <filesystem>

#include "io/console.hpp"
#include "io/sinks.hpp"
#include "model/study.hpp"

namespace mv {

struct LocalDate {
  int year = 0;
  int month = 1;
  int day = 1;
};

// The local date of today.
LocalDate today();

// Creates OutputGroups.txt in the folder and writes its header; throws
// RunEnded (after a console message) when the file cannot be created.
void OPENOUTFILE(const StudyInput& st, const PictureTallies& tallies, const std::filesystem::path& folder,
                 FileSink& file, Console& console, const LocalDate& date);
// The header lines alone.
void writeReportHeader(const StudyInput& st, const PictureTallies& tallies, Writer& report, const LocalDate& date);

// Writes GROUP ASSIGNMENTS.
void WRITEGROUPASSIGNMENT(const StudyInput& st, Writer& report);
// Writes the first-pictures summary, FIRST and LAST PICTURE OF EACH SPECIES.
void WRITEFLPICS(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                 Writer& console);

}  // namespace mv
