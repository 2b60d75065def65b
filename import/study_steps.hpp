// The steps every import takes once its source is read. A reader fills the
// locations (key, operating periods, position) and finds the pictures with
// their species by name; from there the names cut to 25 columns, the UTM
// positions, the elevations, the groups, the species list and the sorted
// picture lines are made the same way whatever the source.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/study_data.hpp"

namespace mv::camtrap {

// Field limits of the study files: individuals "i2".
inline constexpr int kMaxIndividuals = 99;

// A field without the blanks, tabs and line ends around it.
std::string_view trimField(std::string_view s);
// A real number, or nothing for any other text.
std::optional<double> parseReal(std::string_view text);
// A whole number; also one written with a fraction of zeros ("1.0"), as
// tables write whole numbers in a column that has blanks.
std::optional<long> parseWhole(std::string_view text);
// "1 location has", "2 locations have".
std::string countOf(int n, const char* one, const char* many);
// "deployments.csv row 4".
std::string rowOf(const std::string& table, long record);

// Rows left out, counted by reason in order of first occurrence.
class SkipTally {
 public:
  void add(const std::string& reason);
  std::vector<SkipCount> take() { return std::move(counts_); }

 private:
  std::vector<SkipCount> counts_;
};

// The locations of a source by key, in order of first appearance, each with
// the positions of the rows (deployments, stations) that name it; a
// location's position is their mean.
class LocationList {
 public:
  explicit LocationList(StudyData& study) : study_(&study) {}
  // The index of the location with `key`, a new one when the key is new.
  int add(const std::string& key);
  void addPosition(int location, const LatLon& position);
  void addUtm(int location, double east, double north);
  // Sets each location's position to the mean of its rows' positions.
  void finish();

 private:
  StudyData* study_;
  std::map<std::string, int> index_;
  std::vector<std::vector<LatLon>> positions_;
  std::vector<std::vector<std::pair<double, double>>> utm_;
};

// A picture as a reader finds it, its species still known by name.
struct FoundPicture {
  int location = 0;
  std::string species;
  DateTime time;
  int individuals = 1;
  bool speciesTaxon = true;  // the taxon is a species (or below)
  bool eventBased = false;
  std::string leftOut;  // why it is left out after all, once every row is read; empty: kept
};

// The locations' 25-column names, then their UTM positions, then their
// elevations (--elevation, else the source's own, else --default-elevation).
void nameLocations(StudyData& study);
void projectLocations(StudyData& study);
void assignElevations(const ImportOptions& options, StudyData& study);

// Each location's group from `values` (one per location, in order);
// `groupedBy` and `groupSource` name where the values came from.
void assignGroups(const std::vector<std::string>& values, StudyData& study);

// Each location's group value for a source whose rows (deployments,
// stations) carry a column: with --group-by location its key, else the
// value in the column --group-by names of the rows that give the location
// (`rows`: location and value, in row order), which must agree and not be
// empty. Sets study.groupedBy and study.groupSource (`table`).
std::vector<std::string> groupValuesOf(const ImportOptions& options,
                                       const std::vector<std::pair<int, std::string>>& rows, const std::string& table,
                                       StudyData& study);

// The pictures found, in the order found: species in order of first
// appearance, counts above 99 written as 99, taxa that are not species
// counted (and left out with --species-only), then the lines sorted by
// group, species and time. Fills study.species, study.pictures and
// study.skipped (the reader's skips first, in order of first occurrence).
void addPictures(const ImportOptions& options, const std::vector<FoundPicture>& found, SkipTally& skips,
                 StudyData& study);

// The notes every import ends with.
void finalNotes(StudyData& study, const std::string& noPictures);

// The study title: --title, else the first non-empty candidate, cleaned and
// cut to 75 columns.
std::string titleOf(const ImportOptions& options, const std::vector<std::string>& candidates);

}  // namespace mv::camtrap
