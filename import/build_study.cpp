#include <algorithm>
#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "import/csv_reader.hpp"
#include "import/errors.hpp"
#include "import/names.hpp"
#include "import/package.hpp"
#include "import/study_data.hpp"
#include "model/study.hpp"

namespace mv::camtrap {

namespace {

// Field limits of the study files: east-west "i6", north-south "i7",
// elevation "i5", individuals "i2".
constexpr int kMaxEast = 999999, kMinEast = -99999;
constexpr int kMaxNorth = 9999999, kMinNorth = -999999;
constexpr int kMaxElevation = 99999, kMinElevation = -9999;
constexpr int kMaxIndividuals = 99;

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

std::optional<double> parseReal(std::string_view text) {
  text = trim(text);
  if (text.empty()) return std::nullopt;
  const std::string s(text);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A whole number; also one written with a fraction of zeros ("1.0"), as
// tables write whole numbers in a column that has blanks.
std::optional<long> parseWhole(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long v = 0;
  const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || p == text.data()) return std::nullopt;
  std::string_view rest(p, static_cast<std::size_t>(text.data() + text.size() - p));
  if (!rest.empty() && rest.front() == '.' && rest.find_first_not_of('0', 1) == std::string_view::npos) rest = {};
  if (!rest.empty()) return std::nullopt;
  return v;
}

// "1 location has", "2 locations have".
std::string count(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

std::string where(const std::string& table, long record) { return table + " row " + std::to_string(record); }

// Observations left out, counted by reason in order of first occurrence.
class SkipTally {
 public:
  void add(const std::string& reason) {
    for (SkipCount& s : counts_)
      if (s.reason == reason) {
        ++s.count;
        return;
      }
    counts_.push_back({reason, 1});
  }
  std::vector<SkipCount> take() { return std::move(counts_); }

 private:
  std::vector<SkipCount> counts_;
};

struct Deployment {
  std::string id;
  int location = -1;
  int offsetMinutes = 0;   // the deployment's clock, from the offset of its start
  std::int64_t start = 0;  // instants
  std::int64_t end = 0;
  std::string groups;  // deploymentGroups
};

struct Tables {
  std::vector<Deployment> deployments;
  std::unordered_map<std::string, int> deploymentIndex;
};

// The value of `key` in a deploymentGroups text "key:value | key:value".
std::optional<std::string> tagValue(std::string_view tags, std::string_view key) {
  std::size_t p = 0;
  while (p <= tags.size()) {
    std::size_t bar = tags.find('|', p);
    if (bar == std::string_view::npos) bar = tags.size();
    const std::string_view piece = tags.substr(p, bar - p);
    const std::size_t colon = piece.find(':');
    if (colon != std::string_view::npos && trim(piece.substr(0, colon)) == key)
      return cleanText(piece.substr(colon + 1));
    p = bar + 1;
  }
  return std::nullopt;
}

void readDeployments(const PackageInfo& pkg, const ImportOptions& options, StudyData& study, Tables& t) {
  std::unordered_map<std::string, int> locationIndex;
  int noLocation = 0, noPosition = 0;
  int cId = -1, cStart = -1, cEnd = -1, cLocId = -1, cLocName = -1, cLat = -1, cLon = -1, cGroups = -1;
  const std::string table = "deployments.csv";
  std::vector<std::vector<LatLon>> coords;
  readTable(
      pkg.deployments.parts, pkg.deployments.dialect, table,
      [&](const Columns& c) {
        cId = c.require("deploymentID");
        cStart = c.require("deploymentStart");
        cEnd = c.require("deploymentEnd");
        cLocId = c.find("locationID");
        cLocName = c.find("locationName");
        cLat = c.find("latitude");
        cLon = c.find("longitude");
        cGroups = c.find("deploymentGroups");
        if (options.groupBy != "location" && cGroups < 0)
          throw ImportError(table + " has no column deploymentGroups, needed to group by " + options.groupBy);
      },
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        Deployment d;
        d.id = std::string(trim(fieldAt(f, cId)));
        if (d.id.empty()) throw ImportError(where(table, record) + " has no deploymentID");
        if (t.deploymentIndex.count(d.id) != 0)
          throw ImportError(where(table, record) + ": deploymentID " + d.id + " appears twice");
        const auto start = parseTimestamp(fieldAt(f, cStart));
        const auto end = parseTimestamp(fieldAt(f, cEnd));
        if (!start)
          throw ImportError("deployment " + d.id + ": deploymentStart \"" + std::string(fieldAt(f, cStart)) +
                            "\" is not a date and time such as 2021-03-04T17:05:09+02:00");
        if (!end)
          throw ImportError("deployment " + d.id + ": deploymentEnd \"" + std::string(fieldAt(f, cEnd)) +
                            "\" is not a date and time such as 2021-03-04T17:05:09+02:00");
        // The camera's clock keeps the offset it was set to when the
        // deployment started; every time of the deployment is read on it.
        d.offsetMinutes = start->offsetMinutes.value_or(end->offsetMinutes.value_or(0));
        d.start = instantOf(*start, d.offsetMinutes);
        d.end = instantOf(*end, d.offsetMinutes);
        if (d.end < d.start) throw ImportError("deployment " + d.id + " ends before it starts");
        d.groups = std::string(fieldAt(f, cGroups));

        const std::string locId = cleanText(fieldAt(f, cLocId));
        std::string key = cleanText(fieldAt(f, cLocName));
        if (key.empty()) key = locId;
        if (key.empty()) {
          key = cleanText(d.id);
          ++noLocation;
        }
        auto [it, added] = locationIndex.emplace(key, static_cast<int>(study.locations.size()));
        if (added) {
          Location loc;
          loc.key = key;
          study.locations.push_back(std::move(loc));
          coords.emplace_back();
        }
        d.location = it->second;
        Location& loc = study.locations[static_cast<std::size_t>(d.location)];
        if (!locId.empty() && std::find(loc.locationIDs.begin(), loc.locationIDs.end(), locId) == loc.locationIDs.end())
          loc.locationIDs.push_back(locId);
        loc.periods.push_back({start->local, onClock(d.end, d.offsetMinutes)});

        const auto lat = parseReal(fieldAt(f, cLat));
        const auto lon = parseReal(fieldAt(f, cLon));
        if (lat && lon && *lat >= -90.0 && *lat <= 90.0 && *lon >= -180.0 && *lon <= 180.0)
          coords[static_cast<std::size_t>(d.location)].push_back({*lat, *lon});
        else
          ++noPosition;

        t.deploymentIndex.emplace(d.id, static_cast<int>(t.deployments.size()));
        t.deployments.push_back(std::move(d));
      });
  study.deployments = static_cast<int>(t.deployments.size());
  if (t.deployments.empty()) throw ImportError("deployments.csv lists no deployment");
  for (std::size_t k = 0; k < coords.size(); ++k)
    if (!coords[k].empty()) study.locations[k].position = centroidOf(coords[k]);
  if (noLocation > 0)
    study.notes.push_back(count(noLocation, "deployment has", "deployments have") +
                          " neither locationName nor locationID; each such deployment is a location named "
                          "after its deploymentID");
  if (noPosition > 0)
    study.notes.push_back(count(noPosition, "deployment has", "deployments have") +
                          " no usable latitude and longitude; a location's position is the mean of those of its "
                          "deployments that have one");
}

// The names a DistinctNames had to cut, for the summary.
void noteCutNames(const DistinctNames& names, const std::string& kind, StudyData& study) {
  for (const std::string& name : names.cutNames()) {
    std::string cut = fixedName(name);
    while (!cut.empty() && cut.back() == ' ') cut.pop_back();
    study.cutNames.push_back({kind, name, cut});
  }
}

void nameLocations(StudyData& study) {
  DistinctNames names("locations");
  for (Location& loc : study.locations) loc.name = names.add(loc.key);
  noteCutNames(names, "location", study);
}

void projectLocations(StudyData& study) {
  std::vector<LatLon> points;
  for (const Location& loc : study.locations)
    if (loc.position) points.push_back(*loc.position);
  int without = 0;
  if (!points.empty()) {
    study.centroid = centroidOf(points);
    study.zone = zoneOf(study.centroid);
    const UtmProjector projector(*study.zone);
    for (Location& loc : study.locations) {
      if (!loc.position) {
        ++without;
        continue;
      }
      const auto [x, y] = projector.forward(*loc.position);
      const double east = std::round(x), north = std::round(y);
      if ((loc.position->lat < 0.0) != study.zone->south && (north < kMinNorth || north > kMaxNorth))
        throw ImportError("location \"" + loc.key + "\" lies " + (study.zone->south ? "north" : "south") +
                          " of the equator and the study's centre " + (study.zone->south ? "south" : "north") +
                          " of it: its northing in UTM zone " + study.zone->label() + ", " +
                          std::to_string(static_cast<long long>(north)) +
                          " m, does not fit the 7 columns of Input.txt");
      if (east < kMinEast || east > kMaxEast || north < kMinNorth || north > kMaxNorth)
        throw ImportError("location \"" + loc.key + "\" lies too far from UTM zone " + study.zone->label() +
                          " (the zone of the study's centre) to fit the columns of Input.txt");
      loc.east = static_cast<int>(east);
      loc.north = static_cast<int>(north);
      if (loc.east == 0 || loc.north == 0)
        study.notes.push_back("location \"" + loc.key +
                              "\" has a UTM coordinate of exactly 0, which reads as "
                              "\"not given\"");
    }
  } else {
    without = static_cast<int>(study.locations.size());
  }
  if (without > 0)
    study.notes.push_back(count(without, "location has", "locations have") +
                          " no coordinates: the UTM position is 0 0 (not given)");
}

void assignElevations(const ImportOptions& options, StudyData& study) {
  std::vector<std::optional<int>> given(study.locations.size());
  int unmatched = 0;
  if (options.elevationFile) {
    const std::string table = options.elevationFile->filename().string();
    int cId = -1, cName = -1, cElev = -1;
    readTable(
        {*options.elevationFile}, CsvDialect{}, table,
        [&](const Columns& c) {
          cId = c.find("locationID");
          cName = c.find("locationName");
          if (cId < 0 && cName < 0) throw ImportError(table + " has neither a locationID nor a locationName column");
          cElev = c.require("elevation");
        },
        [&](const Columns&, const std::vector<std::string>& f, long record) {
          const std::string_view text = trim(fieldAt(f, cElev));
          if (text.empty()) return;
          const auto value = parseReal(text);
          if (!value)
            throw ImportError(where(table, record) + ": elevation \"" + std::string(text) + "\" is not a number");
          const double rounded = std::round(*value);
          if (rounded < kMinElevation || rounded > kMaxElevation)
            throw ImportError(where(table, record) + ": elevation " + std::string(text) +
                              " does not fit the five columns of Input.txt");
          const std::string name = cleanText(fieldAt(f, cName));
          const std::string id = cleanText(fieldAt(f, cId));
          bool matched = false;
          for (std::size_t k = 0; k < study.locations.size(); ++k) {
            const Location& loc = study.locations[k];
            const bool byName = !name.empty() && loc.key == name;
            const bool byId = name.empty() && !id.empty() &&
                              std::find(loc.locationIDs.begin(), loc.locationIDs.end(), id) != loc.locationIDs.end();
            if (!byName && !byId) continue;
            matched = true;
            const int v = static_cast<int>(rounded);
            if (given[k] && *given[k] != v)
              throw ImportError(table + " gives location \"" + loc.key + "\" two elevations, " +
                                std::to_string(*given[k]) + " and " + std::to_string(v));
            given[k] = v;
          }
          if (!matched) ++unmatched;
        });
  }
  const int fallback = options.defaultElevation.value_or(0);
  int defaulted = 0, zero = 0;
  for (std::size_t k = 0; k < study.locations.size(); ++k) {
    Location& loc = study.locations[k];
    if (given[k]) {
      loc.elevation = *given[k];
    } else {
      loc.elevation = fallback;
      ++defaulted;
    }
    if (loc.elevation == 0) ++zero;
  }
  if (unmatched > 0)
    study.notes.push_back(count(unmatched, "row of ", "rows of ") + options.elevationFile->filename().string() +
                          (unmatched == 1 ? " names" : " name") + " no location of the package");
  if (options.elevationFile && defaulted > 0)
    study.notes.push_back(count(defaulted, "location is", "locations are") + " not in " +
                          options.elevationFile->filename().string() + (defaulted == 1 ? " and takes" : " and take") +
                          " the default elevation " + std::to_string(fallback));
  if (zero > 0)
    study.notes.push_back(count(zero, "location has", "locations have") +
                          " elevation 0: a location with elevation 0 is left out of the group "
                          "positions, distances and areas (give --elevation FILE or --default-elevation METRES)");
}

void assignGroups(const ImportOptions& options, const Tables& t, StudyData& study) {
  study.groupedBy = options.groupBy;
  std::vector<std::string> values(study.locations.size());
  if (options.groupBy == "location") {
    for (std::size_t k = 0; k < study.locations.size(); ++k) values[k] = study.locations[k].key;
  } else {
    std::vector<bool> found(study.locations.size(), false);
    for (const Deployment& d : t.deployments) {
      const auto value = tagValue(d.groups, options.groupBy);
      if (!value || value->empty()) continue;
      const auto k = static_cast<std::size_t>(d.location);
      if (found[k] && values[k] != *value)
        throw ImportError("location \"" + study.locations[k].key + "\" has deployments in two groups of " +
                          options.groupBy + ", \"" + values[k] + "\" and \"" + *value +
                          "\"; a location belongs to one group");
      values[k] = *value;
      found[k] = true;
    }
    for (std::size_t k = 0; k < study.locations.size(); ++k)
      if (!found[k])
        throw ImportError("location \"" + study.locations[k].key + "\" has no \"" + options.groupBy +
                          ":value\" in the deploymentGroups of its deployments (use --group-by location, "
                          "or another key)");
  }
  DistinctNames names("groups");
  std::set<std::string> sorted;
  for (std::size_t k = 0; k < study.locations.size(); ++k) {
    study.locations[k].group = names.add(values[k]);
    sorted.insert(study.locations[k].group);
  }
  study.groups.assign(sorted.begin(), sorted.end());
  noteCutNames(names, "group", study);
}

struct Media {
  int deployment = -1;  // -1: not in deployments.csv
  std::string timestamp;
};

std::unordered_map<std::string, Media> readMedia(const PackageInfo& pkg, const Tables& t) {
  std::unordered_map<std::string, Media> media;
  int cId = -1, cDep = -1, cTime = -1;
  readTable(
      pkg.media.parts, pkg.media.dialect, "media.csv",
      [&](const Columns& c) {
        cId = c.require("mediaID");
        cDep = c.require("deploymentID");
        cTime = c.require("timestamp");
      },
      [&](const Columns&, const std::vector<std::string>& f, long) {
        Media m;
        const auto dep = t.deploymentIndex.find(std::string(trim(fieldAt(f, cDep))));
        if (dep != t.deploymentIndex.end()) m.deployment = dep->second;
        m.timestamp = std::string(fieldAt(f, cTime));
        media.emplace(std::string(trim(fieldAt(f, cId))), std::move(m));
      });
  return media;
}

// Whether a taxon is a species or below: its rank says so when given (from
// the observation, else from the package's taxonomic list), and a
// scientific name of one word (a genus, a family, "Aves") never is.
bool isSpecies(const std::string& scientificName, std::string rank) {
  if (scientificName.find(' ') == std::string::npos) return false;
  for (char& c : rank) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const std::set<std::string> kSpeciesOrBelow = {
      "",        "species",           "subspecies",           "variety", "subvariety", "form", "forma",
      "subform", "infraspecificname", "infrasubspecificname", "cultivar"};
  return kSpeciesOrBelow.count(rank) != 0;
}

// An animal observation that may become a picture line.
struct Candidate {
  long record = 0;
  int location = 0;
  std::string species;
  DateTime time;
  int individuals = 1;
  bool eventBased = false;
  std::string event;         // deployment and eventID of an event-based one; empty without eventID
  bool speciesTaxon = true;  // the taxon is a species (or below)
};

void readObservations(const PackageInfo& pkg, const ImportOptions& options, const Tables& t, StudyData& study) {
  const auto media = readMedia(pkg, t);
  std::vector<Candidate> candidates;
  std::unordered_set<std::string> eventsWithMedia;
  SkipTally skips;
  int cDep = -1, cMedia = -1, cEvent = -1, cEventStart = -1, cLevel = -1, cType = -1, cName = -1, cCount = -1,
      cRank = -1;
  readTable(
      pkg.observations.parts, pkg.observations.dialect, "observations.csv",
      [&](const Columns& c) {
        cDep = c.require("deploymentID");
        cMedia = c.find("mediaID");
        cEvent = c.find("eventID");
        cEventStart = c.find("eventStart");
        cLevel = c.find("observationLevel");
        cType = c.require("observationType");
        cName = c.require("scientificName");
        cCount = c.find("count");
        cRank = c.find("taxonRank");
      },
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        const std::string type(trim(fieldAt(f, cType)));
        if (type != "animal") {
          skips.add("observationType " + (type.empty() ? std::string("empty") : type));
          return;
        }
        const std::string mediaId(trim(fieldAt(f, cMedia)));
        std::string level(trim(fieldAt(f, cLevel)));
        if (level.empty()) level = mediaId.empty() ? "event" : "media";
        const std::string depId(trim(fieldAt(f, cDep)));
        const std::string eventId(trim(fieldAt(f, cEvent)));
        const std::string eventKey = depId + '\n' + eventId;

        Candidate c;
        c.record = record;
        c.species = cleanText(fieldAt(f, cName));
        if (c.species.empty()) {
          skips.add("animal without scientificName");
          return;
        }
        const auto dep = t.deploymentIndex.find(depId);
        if (dep == t.deploymentIndex.end()) {
          skips.add("deploymentID not in deployments.csv");
          return;
        }
        const Deployment& d = t.deployments[static_cast<std::size_t>(dep->second)];
        std::optional<Timestamp> when;
        if (level == "media") {
          if (mediaId.empty()) {
            skips.add("media-based observation without mediaID");
            return;
          }
          const auto m = media.find(mediaId);
          if (m == media.end()) {
            skips.add("mediaID not in media.csv");
            return;
          }
          when = parseTimestamp(m->second.timestamp);
        } else if (level == "event") {
          c.eventBased = true;
          if (!eventId.empty()) c.event = eventKey;
          when = parseTimestamp(fieldAt(f, cEventStart));
        } else {
          skips.add("observationLevel " + level);
          return;
        }
        if (!when) {
          skips.add("invalid timestamp");
          return;
        }
        const std::string_view countText = trim(fieldAt(f, cCount));
        if (!countText.empty()) {
          const auto n = parseWhole(countText);
          if (!n || *n < 0) {
            skips.add("invalid count");
            return;
          }
          c.individuals = static_cast<int>(std::min<long>(*n, 1000000));
        }
        const std::int64_t instant = instantOf(*when, d.offsetMinutes);
        if (instant < d.start || instant > d.end) {
          skips.add("timestamp outside its deployment");
          return;
        }
        std::string rank(trim(fieldAt(f, cRank)));
        if (rank.empty()) {
          const auto listed = pkg.taxonRanks.find(c.species);
          if (listed != pkg.taxonRanks.end()) rank = listed->second;
        }
        c.speciesTaxon = isSpecies(c.species, rank);
        c.time = onClock(instant, d.offsetMinutes);
        c.location = d.location;
        // Only a media-based observation that becomes a picture stands for
        // its event; the event-based ones of that event are then left out.
        if (!c.eventBased && !eventId.empty()) eventsWithMedia.insert(eventKey);
        candidates.push_back(std::move(c));
      });

  // Species in order of first appearance among the observations that stay.
  DistinctNames names("species");
  std::map<std::string, int> speciesIndex;
  for (const Candidate& c : candidates) {
    if (c.eventBased && !c.event.empty() && eventsWithMedia.count(c.event) != 0) {
      skips.add("event has media-based observations");
      continue;
    }
    if (!c.speciesTaxon) {
      ++study.notSpecies;
      if (std::find(study.notSpeciesTaxa.begin(), study.notSpeciesTaxa.end(), c.species) == study.notSpeciesTaxa.end())
        study.notSpeciesTaxa.push_back(c.species);
      if (options.speciesOnly) {
        skips.add("taxon not a species (--species-only)");
        continue;
      }
    }
    auto [it, added] = speciesIndex.emplace(c.species, static_cast<int>(study.species.size()));
    if (added) study.species.push_back({c.species, names.add(c.species)});
    Picture p;
    p.location = c.location;
    p.species = it->second;
    p.time = c.time;
    p.individuals = c.individuals;
    if (p.individuals > kMaxIndividuals) {
      p.individuals = kMaxIndividuals;
      ++study.cappedCounts;
    }
    ++(c.eventBased ? study.eventPictures : study.mediaPictures);
    study.pictures.push_back(p);
  }
  study.skipped = skips.take();
  noteCutNames(names, "species", study);

  // The independence rule follows runs of consecutive lines of one group and
  // one species in time order, so the lines are sorted that way.
  std::stable_sort(study.pictures.begin(), study.pictures.end(), [&](const Picture& a, const Picture& b) {
    const std::string& ga = study.locations[static_cast<std::size_t>(a.location)].group;
    const std::string& gb = study.locations[static_cast<std::size_t>(b.location)].group;
    if (ga != gb) return ga < gb;
    if (a.species != b.species) return a.species < b.species;
    return a.time < b.time;
  });
}

std::string titleOf(const ImportOptions& options, const PackageInfo& pkg) {
  std::string title;
  if (options.title) title = cleanText(*options.title);
  if (title.empty()) title = cleanText(pkg.projectTitle);
  if (title.empty()) title = cleanText(pkg.packageTitle);
  if (title.empty())
    title = cleanText(std::filesystem::absolute(options.packageDir).lexically_normal().filename().string());
  return cutText(title, kTitleLength);
}

}  // namespace

StudyData buildStudy(const ImportOptions& options) {
  const PackageInfo pkg = readPackage(options.packageDir);
  StudyData study;
  study.version = pkg.version;
  if (pkg.version.empty())
    study.notes.push_back("datapackage.json does not name a Camtrap DP version; read as Camtrap DP 1.0");
  study.title = titleOf(options, pkg);
  Tables tables;
  readDeployments(pkg, options, study, tables);
  nameLocations(study);
  projectLocations(study);
  assignElevations(options, study);
  assignGroups(options, tables, study);
  readObservations(pkg, options, tables, study);
  if (study.groups.size() > 999 || study.species.size() > 999)
    study.notes.push_back("more than 999 groups or species: Morvelstrand tallies at most 999 of each");
  if (study.pictures.empty()) study.notes.push_back("the package has no animal observation to write as a picture");
  return study;
}

}  // namespace mv::camtrap
