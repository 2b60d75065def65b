#include <algorithm>
#include <cmath>
#include <cctype>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "import/clock.hpp"
#include "import/csv_reader.hpp"
#include "import/errors.hpp"
#include "import/names.hpp"
#include "import/package.hpp"
#include "import/readers.hpp"
#include "import/study_data.hpp"
#include "import/study_steps.hpp"
#include "model/study.hpp"

namespace mv::camtrap {

namespace {

// The columns that differ between the versions of the standard: 0.1.x
// names a deployment's span start and end, groups deployments by session
// and array, and ties observations to sequences of media, each with one
// timestamp; 1.x has deploymentStart, deploymentEnd, deploymentGroups and
// events with eventID and eventStart.
struct VersionColumns {
  bool legacy = false;  // 0.1.x
  const char* start = "deploymentStart";
  const char* end = "deploymentEnd";
  const char* eventId = "eventID";
  const char* eventStart = "eventStart";
};

VersionColumns columnsOf(const std::string& version) {
  VersionColumns v;
  if (version.rfind("0.", 0) == 0) {
    v.legacy = true;
    v.start = "start";
    v.end = "end";
    v.eventId = "sequenceID";
    v.eventStart = "timestamp";
  }
  return v;
}

struct Deployment {
  std::string id;
  int location = -1;
  int offsetMinutes = 0;       // the deployment's clock, from the offset of its start
  bool offsetWritten = false;  // its start or end carries an offset (else its times are read as local)
  std::int64_t start = 0;      // instants
  std::int64_t end = 0;
  std::string groups;  // deploymentGroups
  std::optional<LatLon> position;
};

struct Tables {
  VersionColumns columns;
  std::vector<Deployment> deployments;
  std::unordered_map<std::string, int> deploymentIndex;
  // Deployments whose media or observations are written with an offset
  // other than the deployment's, in order of first occurrence.
  std::vector<std::string> otherOffsets;
  std::unordered_set<std::string> otherOffsetSeen;
};

// "d1, d2, d3, ..." of the first few of a list of IDs.
std::string firstFew(const std::vector<std::string>& ids) {
  constexpr std::size_t kShown = 3;
  std::string text;
  for (std::size_t k = 0; k < ids.size() && k < kShown; ++k) text += (k == 0 ? "" : ", ") + ids[k];
  if (ids.size() > kShown) text += ", ...";
  return text;
}

// 0.1.x groups deployments by session and array; they are read as the
// deploymentGroups tags "session:" and "array:" of 1.x.
std::string legacyGroups(std::string_view session, std::string_view array) {
  std::string groups;
  if (!trimField(session).empty()) groups = "session:" + std::string(trimField(session));
  if (!trimField(array).empty()) groups += (groups.empty() ? "" : " | ") + ("array:" + std::string(trimField(array)));
  return groups;
}

// The value of `key` in a deploymentGroups text "key:value | key:value".
std::optional<std::string> tagValue(std::string_view tags, std::string_view key) {
  std::size_t p = 0;
  while (p <= tags.size()) {
    std::size_t bar = tags.find('|', p);
    if (bar == std::string_view::npos) bar = tags.size();
    const std::string_view piece = tags.substr(p, bar - p);
    const std::size_t colon = piece.find(':');
    if (colon != std::string_view::npos && trimField(piece.substr(0, colon)) == key)
      return cleanText(piece.substr(colon + 1));
    p = bar + 1;
  }
  return std::nullopt;
}

void readDeployments(const PackageInfo& pkg, const ImportOptions& options, const StudyClock& clock, StudyData& study,
                     Tables& t) {
  LocationList locations(study);
  int noLocation = 0, noPosition = 0;
  int cId = -1, cStart = -1, cEnd = -1, cLocId = -1, cLocName = -1, cLat = -1, cLon = -1, cGroups = -1, cSession = -1,
      cArray = -1, cElevation = -1;
  const VersionColumns& v = t.columns;
  const std::string table = "deployments.csv";
  std::vector<std::vector<double>> elevations;
  readTable(
      pkg.deployments.parts, pkg.deployments.dialect, table,
      [&](const Columns& c) {
        cId = c.require("deploymentID");
        cStart = c.require(v.start);
        cEnd = c.require(v.end);
        cLocId = c.find("locationID");
        cLocName = c.find("locationName");
        cLat = c.find("latitude");
        cLon = c.find("longitude");
        // Several publishers add the elevation the standard does not have.
        cElevation = c.find("elevation");
        if (cElevation < 0) cElevation = c.find("altitude");
        if (v.legacy) {
          cSession = c.find("session");
          cArray = c.find("array");
          if (options.groupBy != "location" && cSession < 0 && cArray < 0)
            throw ImportError(table + " has neither a session nor an array column, needed to group by " +
                              options.groupBy);
        } else {
          cGroups = c.find("deploymentGroups");
          if (options.groupBy != "location" && cGroups < 0)
            throw ImportError(table + " has no column deploymentGroups, needed to group by " + options.groupBy);
        }
      },
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        Deployment d;
        d.id = std::string(trimField(fieldAt(f, cId)));
        if (d.id.empty()) throw ImportError(rowOf(table, record) + " has no deploymentID");
        if (t.deploymentIndex.count(d.id) != 0)
          throw ImportError(rowOf(table, record) + ": deploymentID " + d.id + " appears twice");
        const auto start = parseTimestamp(fieldAt(f, cStart));
        const auto end = parseTimestamp(fieldAt(f, cEnd));
        if (!start)
          throw ImportError("deployment " + d.id + ": " + v.start + " \"" + std::string(fieldAt(f, cStart)) +
                            "\" is not a date and time such as 2021-03-04T17:05:09+02:00");
        if (!end)
          throw ImportError("deployment " + d.id + ": " + v.end + " \"" + std::string(fieldAt(f, cEnd)) +
                            "\" is not a date and time such as 2021-03-04T17:05:09+02:00");
        // The camera's clock keeps the offset it was set to when the
        // deployment started; a time written without offset is read on it.
        d.offsetMinutes = start->offsetMinutes.value_or(end->offsetMinutes.value_or(0));
        d.offsetWritten = start->offsetMinutes.has_value() || end->offsetMinutes.has_value();
        d.start = instantOf(*start, d.offsetMinutes);
        d.end = instantOf(*end, d.offsetMinutes);
        if (d.end < d.start) throw ImportError("deployment " + d.id + " ends before it starts");
        d.groups = v.legacy ? legacyGroups(fieldAt(f, cSession), fieldAt(f, cArray)) : std::string(fieldAt(f, cGroups));

        const std::string locId = cleanText(fieldAt(f, cLocId));
        std::string key = cleanText(fieldAt(f, cLocName));
        if (key.empty()) key = locId;
        if (key.empty()) {
          key = cleanText(d.id);
          ++noLocation;
        }
        d.location = locations.add(key);
        if (elevations.size() < study.locations.size()) elevations.resize(study.locations.size());
        Location& loc = study.locations[static_cast<std::size_t>(d.location)];
        if (!locId.empty() && std::find(loc.locationIDs.begin(), loc.locationIDs.end(), locId) == loc.locationIDs.end())
          loc.locationIDs.push_back(locId);
        loc.periods.push_back({clock.show(d.start, d.offsetMinutes), clock.show(d.end, d.offsetMinutes)});

        const auto lat = parseReal(fieldAt(f, cLat));
        const auto lon = parseReal(fieldAt(f, cLon));
        if (lat && lon && *lat >= -90.0 && *lat <= 90.0 && *lon >= -180.0 && *lon <= 180.0) {
          d.position = LatLon{*lat, *lon};
          locations.addPosition(d.location, *d.position);
        } else {
          ++noPosition;
        }
        const std::string_view elevationText = trimField(fieldAt(f, cElevation));
        if (!elevationText.empty()) {
          const auto metres = parseReal(elevationText);
          if (!metres)
            throw ImportError(rowOf(table, record) + ": elevation \"" + std::string(elevationText) +
                              "\" is not a number");
          elevations[static_cast<std::size_t>(d.location)].push_back(*metres);
        }

        t.deploymentIndex.emplace(d.id, static_cast<int>(t.deployments.size()));
        t.deployments.push_back(std::move(d));
      });
  study.deployments = static_cast<int>(t.deployments.size());
  study.locationsFrom = "(from " + std::to_string(study.deployments) + " deployments, one operating period each)";
  if (t.deployments.empty()) throw ImportError("deployments.csv lists no deployment");
  locations.finish();
  // A location's elevation from the package is the mean of its deployments'.
  for (std::size_t k = 0; k < elevations.size(); ++k) {
    if (elevations[k].empty()) continue;
    double sum = 0.0;
    for (const double e : elevations[k]) sum += e;
    study.locations[k].packageElevation = sum / static_cast<double>(elevations[k].size());
  }
  if (noLocation > 0)
    study.notes.push_back(countOf(noLocation, "deployment has", "deployments have") +
                          " neither locationName nor locationID; each such deployment is a location named "
                          "after its deploymentID");
  if (noPosition > 0)
    study.notes.push_back(countOf(noPosition, "deployment has", "deployments have") +
                          " no usable latitude and longitude; a location's position is the mean of those of its "
                          "deployments that have one");
}

// A package whose every deployment is written in UTC (Agouti writes "Z")
// would become a study on UTC: every activity hour, the day ends of the moon
// and season windows and the page's plots shifted by the local offset. The
// user says which clock the study is on.
void requireAClockForUtc(const StudyClock& clock, const Tables& t) {
  if (clock.chosen()) return;
  for (const Deployment& d : t.deployments)
    if (!d.offsetWritten || d.offsetMinutes != 0) return;
  throw ImportError(
      "every deployment of the package is written in UTC, so every picture would be written at its UTC "
      "hour, not at the local hour it was taken; give the study's time zone with --time-zone ZONE (for "
      "example --time-zone Europe/Brussels), or --time-zone UTC to analyse in UTC on purpose");
}

// Deployments whose offset lies more than 3 hours from the solar time of
// their longitude (lon/15 hours): a camera clock repaired by an offset such
// as +14:00, or a package written in another zone; and deployments whose
// media or observations carry another offset than theirs.
void checkOffsets(const StudyClock& clock, const Tables& t, StudyData& study) {
  std::vector<std::string> far;
  for (const Deployment& d : t.deployments) {
    if (!d.position || !d.offsetWritten) continue;
    const double solarMinutes = d.position->lon * 4.0;
    if (std::abs(static_cast<double>(d.offsetMinutes) - solarMinutes) > 180.0) far.push_back(d.id);
  }
  const auto n = static_cast<int>(far.size());
  if (n > 0) {
    const std::string what = countOf(n, "deployment is", "deployments are") +
                             " written with a UTC offset more than 3 hours from the solar time of " +
                             (n == 1 ? "its longitude (" : "their longitudes (") + firstFew(far) + ")";
    if (clock.chosen())
      study.notes.push_back(what + "; " + (n == 1 ? "its" : "their") + " times are converted to " + clock.name());
    else
      study.warnings.push_back(what + ": " + (n == 1 ? "its" : "their") +
                               " times are written on that offset's clock, not the local one; give --time-zone "
                               "ZONE or --utc-offset +HH:MM to convert them");
  }
  const auto m = static_cast<int>(t.otherOffsets.size());
  if (m > 0) {
    const std::string what = countOf(m, "deployment has", "deployments have") +
                             " media or observations written with a UTC offset other than the " +
                             (m == 1 ? "deployment's (" : "deployments' (") + firstFew(t.otherOffsets) + ")";
    if (clock.chosen())
      study.notes.push_back(what + "; they are converted to " + clock.name() + " like every other time");
    else
      study.warnings.push_back(what +
                               ": they are written on the deployment's clock; give --time-zone ZONE or "
                               "--utc-offset +HH:MM to put every time on one clock");
  }
}

void groupLocations(const ImportOptions& options, const Tables& t, StudyData& study) {
  study.groupedBy = options.groupBy;
  std::vector<std::string> values(study.locations.size());
  if (options.groupBy == "location") {
    for (std::size_t k = 0; k < study.locations.size(); ++k) values[k] = study.locations[k].key;
  } else {
    // "groups": the whole deploymentGroups value is the group.
    const bool whole = options.groupBy == "groups";
    std::vector<bool> found(study.locations.size(), false);
    for (const Deployment& d : t.deployments) {
      const auto value = whole ? std::optional<std::string>(cleanText(d.groups)) : tagValue(d.groups, options.groupBy);
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
      if (!found[k] && whole)
        throw ImportError("location \"" + study.locations[k].key +
                          "\" has no deploymentGroups value in its deployments (use --group-by location)");
      else if (!found[k])
        throw ImportError("location \"" + study.locations[k].key + "\" has no \"" + options.groupBy +
                          ":value\" in the deploymentGroups of its deployments (use --group-by location, "
                          "or another key)");
  }
  study.groupSource = "deploymentGroups";
  assignGroups(values, study);
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
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        Media m;
        const auto dep = t.deploymentIndex.find(std::string(trimField(fieldAt(f, cDep))));
        if (dep != t.deploymentIndex.end()) m.deployment = dep->second;
        m.timestamp = std::string(fieldAt(f, cTime));
        const std::string id(trimField(fieldAt(f, cId)));
        if (!media.emplace(id, std::move(m)).second)
          throw ImportError(rowOf("media.csv", record) + ": mediaID " + id + " appears twice");
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

void readObservations(const PackageInfo& pkg, const ImportOptions& options, const StudyClock& clock, Tables& t,
                      StudyData& study) {
  const auto media = readMedia(pkg, t);
  // An event-based observation, with the deployment and eventID of its
  // event when it has one.
  std::vector<std::string> eventOf;
  std::vector<FoundPicture> candidates;
  std::unordered_set<std::string> eventsWithMedia;
  SkipTally skips;
  int cDep = -1, cMedia = -1, cEvent = -1, cEventStart = -1, cLevel = -1, cType = -1, cName = -1, cCount = -1,
      cRank = -1;
  readTable(
      pkg.observations.parts, pkg.observations.dialect, "observations.csv",
      [&](const Columns& c) {
        cDep = c.require("deploymentID");
        cMedia = c.find("mediaID");
        cEvent = c.find(t.columns.eventId);
        cEventStart = c.find(t.columns.eventStart);
        cLevel = c.find("observationLevel");
        cType = c.require("observationType");
        cName = c.require("scientificName");
        cCount = c.find("count");
        cRank = c.find("taxonRank");
      },
      [&](const Columns&, const std::vector<std::string>& f, long) {
        const std::string type(trimField(fieldAt(f, cType)));
        if (type != "animal") {
          skips.add("observationType " + (type.empty() ? std::string("empty") : type));
          return;
        }
        const std::string mediaId(trimField(fieldAt(f, cMedia)));
        std::string level(trimField(fieldAt(f, cLevel)));
        if (level.empty()) level = mediaId.empty() ? "event" : "media";
        const std::string depId(trimField(fieldAt(f, cDep)));
        const std::string eventId(trimField(fieldAt(f, cEvent)));
        const std::string eventKey = depId + '\n' + eventId;

        FoundPicture c;
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
          when = parseTimestamp(fieldAt(f, cEventStart));
        } else {
          skips.add("observationLevel " + level);
          return;
        }
        if (!when) {
          skips.add("invalid timestamp");
          return;
        }
        const std::string_view countText = trimField(fieldAt(f, cCount));
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
        std::string rank(trimField(fieldAt(f, cRank)));
        if (rank.empty()) {
          const auto listed = pkg.taxonRanks.find(c.species);
          if (listed != pkg.taxonRanks.end()) rank = listed->second;
        }
        c.speciesTaxon = isSpecies(c.species, rank);
        if (when->offsetMinutes && *when->offsetMinutes != d.offsetMinutes && t.otherOffsetSeen.insert(d.id).second)
          t.otherOffsets.push_back(d.id);
        c.time = clock.show(instant, d.offsetMinutes);
        c.location = d.location;
        // Only a media-based observation that becomes a picture stands for
        // its event; the event-based ones of that event are then left out.
        if (!c.eventBased && !eventId.empty()) eventsWithMedia.insert(eventKey);
        eventOf.push_back(c.eventBased && !eventId.empty() ? eventKey : std::string());
        candidates.push_back(std::move(c));
      });

  for (std::size_t k = 0; k < candidates.size(); ++k)
    if (!eventOf[k].empty() && eventsWithMedia.count(eventOf[k]) != 0)
      candidates[k].leftOut = "event has media-based observations";
  addPictures(options, candidates, skips, study);
  study.picturesHow = " (" + std::to_string(study.mediaPictures) + " media-based, " +
                      std::to_string(study.eventPictures) + " event-based)";
}

}  // namespace

StudyData readCamtrapDp(const ImportOptions& options) {
  const PackageInfo pkg = readPackage(options.packageDir);
  StudyData study;
  study.version = pkg.version;
  study.source = "Camtrap DP " + (pkg.version.empty() ? std::string("1.0 (assumed)") : pkg.version) + " package " +
                 options.packageDir.string();
  if (pkg.version.empty())
    study.notes.push_back("datapackage.json does not name a Camtrap DP version; read as Camtrap DP 1.0");
  study.title =
      titleOf(options, {pkg.packageTitle, pkg.projectTitle, pkg.packageName,
                        std::filesystem::absolute(options.packageDir).lexically_normal().filename().string()});
  const StudyClock clock = StudyClock::of(options.timeZone, options.utcOffsetMinutes);
  study.clock = clock.describe();
  study.elevationColumn = "an elevation (or altitude) column in deployments.csv";
  Tables tables;
  tables.columns = columnsOf(pkg.version);
  readDeployments(pkg, options, clock, study, tables);
  requireAClockForUtc(clock, tables);
  nameLocations(study);
  projectLocations(study);
  assignElevations(options, study);
  groupLocations(options, tables, study);
  readObservations(pkg, options, clock, tables, study);
  checkOffsets(clock, tables, study);
  finalNotes(study, "the package has no animal observation to write as a picture");
  return study;
}

}  // namespace mv::camtrap
