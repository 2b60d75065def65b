// What an import makes of a package: the locations with their periods,
// positions, elevations and groups, the species and the picture lines, plus
// the counts and notes of the summary.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "import/timestamp.hpp"
#include "import/utm.hpp"

namespace mv::camtrap {

// The kinds of source an import reads.
enum class SourceKind { Detect, CamtrapDp, WildlifeInsights, CamtrapR };

struct ImportOptions {
  SourceKind from = SourceKind::Detect;  // Detect: by the files in packageDir
  std::filesystem::path packageDir;      // the package or export folder; empty for camtrapR tables
  std::filesystem::path studyDir;
  std::string groupBy = "location";  // "location", a deploymentGroups key or a column
  std::optional<std::filesystem::path> elevationFile;
  std::optional<int> defaultElevation;
  std::optional<std::string> title;
  // The study's clock: a time zone of the tz database, or one fixed offset
  // east of UTC; with neither, each deployment's own clock.
  std::optional<std::string> timeZone;
  std::optional<int> utcOffsetMinutes;
  bool force = false;
  bool speciesOnly = false;  // leave out observations of taxa that are not species
  bool commonNames = false;  // Wildlife Insights: species by common_name
  // camtrapR: the record and station tables, the zone their UTM columns are
  // in, the form of the station table's dates, the column of individuals.
  std::optional<std::filesystem::path> records;
  std::optional<std::filesystem::path> stations;
  std::optional<UtmZone> utmZone;
  std::string dateFormat = "dd/mm/yyyy";
  std::optional<std::string> countColumn;
};

// One operating period: a deployment's start and end on the study's clock.
struct Period {
  DateTime start;
  DateTime stop;
};

struct Location {
  std::string key;                       // locationName, else locationID (cleaned)
  std::string name;                      // 25 columns
  std::vector<std::string> locationIDs;  // of its deployments
  std::vector<Period> periods;           // one per deployment, in file order
  std::optional<LatLon> position;        // mean of its deployments' coordinates
  // Easting and northing as the source gives them, already in UTM (mean of
  // its stations'); taken as written, not converted.
  std::optional<std::pair<double, double>> utmPosition;
  int east = 0;  // UTM, metres; 0 when not given
  int north = 0;
  int elevation = 0;
  std::optional<double> packageElevation;  // given by the source itself (an elevation column)
  std::string group;                       // 25 columns
};

struct Species {
  std::string scientificName;
  std::string name;  // 25 columns
};

struct Picture {
  int location = 0;  // index into locations
  int species = 0;   // index into species
  DateTime time;     // on the deployment's clock
  int individuals = 1;
};

// A name longer than the 25 columns of the study files.
struct CutName {
  std::string kind;  // "location", "group" or "species"
  std::string name;  // as in the package
  std::string cut;   // as written, without its padding
};

struct SkipCount {
  std::string reason;
  int count = 0;
};

struct StudyData {
  // What the summary says of the source: its first line (kind and where),
  // what the locations came from, where the group values came from and what
  // kinds of pictures there are.
  std::string source;         // "Camtrap DP 1.0 package DIR"
  std::string locationsFrom;  // "(from 4 deployments, one operating period each)"
  std::string groupSource;    // "deploymentGroups"
  std::string picturesHow;    // " (6 media-based, 3 event-based)"
  bool utmAsWritten = false;  // positions given in UTM, taken as written
  std::string title;          // at most 75 columns
  std::string version;        // Camtrap DP version declared by the package
  std::string clock;          // the clock every time is written on
  int deployments = 0;
  std::vector<Location> locations;  // in order of first appearance in deployments.csv
  std::vector<std::string> groups;  // distinct 25-column group names, sorted
  std::string groupedBy;            // "location" or the deploymentGroups key
  std::vector<Species> species;     // in order of first appearance
  std::vector<Picture> pictures;    // sorted by group, species and time
  int mediaPictures = 0;
  int eventPictures = 0;
  int cappedCounts = 0;                     // counts above 99 written as 99
  std::vector<SkipCount> skipped;           // observations left out, by reason
  std::vector<CutName> cutNames;            // locations, then groups, then species
  int notSpecies = 0;                       // observations of a taxon that is not a species
  std::vector<std::string> notSpeciesTaxa;  // their scientific names, in order of first appearance
  std::optional<UtmZone> zone;              // none when no location has coordinates
  LatLon centroid;
  std::vector<std::string> notes;             // things the user should know
  std::vector<std::string> warnings;          // things that may well be wrong
  std::vector<std::string> withoutElevation;  // locations left with elevation 0
  std::string elevationColumn;                // where the source can carry elevations, for the summary
};

// Reads the source (its kind from options.from, else from its files) and
// builds the study. Throws ImportError with a message for the user when the
// source cannot be turned into a study folder.
StudyData buildStudy(const ImportOptions& options);

}  // namespace mv::camtrap
