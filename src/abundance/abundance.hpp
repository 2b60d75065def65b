// Abundance, detection rates and naive occupancy.
#pragma once

#include <vector>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// Records per 100 camera trap days, formed as records x 100 / days (0 without
// days).
float recordsPer100Days(int records, int days);

// Records (independent pictures) and camera trap days of every group, and its
// records of every species, over the years first..last. Vectors are indexed
// by group 1..NGROUPS (and species 1..NSPECIES); slot 0 is unused. A year's
// table (`yearly`) leaves out the records of a group without days in it; the
// all-years table keeps every record.
struct DetectionRates {
  int first = 0;
  int last = 0;
  bool yearly = true;
  std::vector<int> days;                // per group
  std::vector<std::vector<int>> rec;    // per group, per species
  std::vector<int> total;               // per group
  std::vector<float> rate;              // per group, records per 100 days
  int allDays = 0;
  int allRecords = 0;

  // Records of species s per 100 camera trap days at group g.
  float speciesRate(int g, int s) const { return recordsPer100Days(rec[g][s], days[g]); }
};

DetectionRates detectionRates(const Study& st, int first, int last, bool yearly);

// The number of groups at which each species was photographed (any listed
// picture, any study year and month), indexed by species 1..NSPECIES.
std::vector<int> naiveOccupancy(const Study& st);

void SPECIESABUNDANCE(const Study& st, Writer& report, Writer& console);
void DETECTIONRATES(const Study& st, Writer& report, Writer& console);
void NAIVEOCCUPANCY(const Study& st, Writer& report, Writer& console);

}  // namespace mv
