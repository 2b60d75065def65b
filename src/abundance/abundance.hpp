// Abundance, detection rates and naive occupancy.
#pragma once

#include <cstddef>
#include <vector>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// Records (independent pictures) per 100 camera trap days, formed as
// records x 100 / days; 0 without days.
float per100(int records, int days);

// Camera trap days and records of every group over the years first..last,
// and its records of every species (indexes from 1).
struct DetectionRates {
  int first = 0;
  int last = 0;
  bool yearly = true;                 // one year's table
  std::vector<int> days;              // per group
  std::vector<std::vector<int>> rec;  // per group, per species
  std::vector<int> total;             // per group
  std::vector<float> rate;            // per group, per 100 days
  int allDays = 0;
  int allRecords = 0;
  // Whether the table has a row for the group: a year's table leaves out
  // groups without days in that year.
  bool hasRow(int g) const { return !yearly || days[static_cast<std::size_t>(g)] > 0; }
  float speciesRate(int g, int s) const {
    const auto gi = static_cast<std::size_t>(g);
    return per100(rec[gi][static_cast<std::size_t>(s)], days[gi]);
  }
};

// The detection rates of the years first..last: a year's table (`yearly`)
// or the all-years summary.
DetectionRates detectionRates(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, int first,
                              int last, bool yearly);

// For every species (index 1..NSPECIES) the number of groups where it was
// photographed in any study year and month.
std::vector<int> naiveOccupancy(const StudyInput& st, const PictureTallies& tallies);

// Writes SPECIES ABUNDANCE.
void SPECIESABUNDANCE(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);
// Writes DETECTION RATE FOR EACH SPECIES PER YEAR, its SUMMARY, and FOR EACH GROUP BY MONTH.
void DETECTIONRATES(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort, Writer& report,
                    Writer& console);
// Writes NAIVE OCCUPANCY.
void NAIVEOCCUPANCY(const StudyInput& st, const PictureTallies& tallies, Writer& report, Writer& console);

}  // namespace mv
