#include <algorithm>
#include <cctype>
#include <set>
#include <unordered_map>
#include <unordered_set>

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
    if (colon != std::string_view::npos && trimField(piece.substr(0, colon)) == key)
      return cleanText(piece.substr(colon + 1));
    p = bar + 1;
  }
  return std::nullopt;
}

void readDeployments(const PackageInfo& pkg, const ImportOptions& options, StudyData& study, Tables& t) {
  LocationList locations(study);
  int noLocation = 0, noPosition = 0;
  int cId = -1, cStart = -1, cEnd = -1, cLocId = -1, cLocName = -1, cLat = -1, cLon = -1, cGroups = -1;
  const std::string table = "deployments.csv";
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
        d.id = std::string(trimField(fieldAt(f, cId)));
        if (d.id.empty()) throw ImportError(rowOf(table, record) + " has no deploymentID");
        if (t.deploymentIndex.count(d.id) != 0)
          throw ImportError(rowOf(table, record) + ": deploymentID " + d.id + " appears twice");
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
        d.location = locations.add(key);
        Location& loc = study.locations[static_cast<std::size_t>(d.location)];
        if (!locId.empty() && std::find(loc.locationIDs.begin(), loc.locationIDs.end(), locId) == loc.locationIDs.end())
          loc.locationIDs.push_back(locId);
        loc.periods.push_back({start->local, onClock(d.end, d.offsetMinutes)});

        const auto lat = parseReal(fieldAt(f, cLat));
        const auto lon = parseReal(fieldAt(f, cLon));
        if (lat && lon && *lat >= -90.0 && *lat <= 90.0 && *lon >= -180.0 && *lon <= 180.0)
          locations.addPosition(d.location, {*lat, *lon});
        else
          ++noPosition;

        t.deploymentIndex.emplace(d.id, static_cast<int>(t.deployments.size()));
        t.deployments.push_back(std::move(d));
      });
  study.deployments = static_cast<int>(t.deployments.size());
  study.locationsFrom = "(from " + std::to_string(study.deployments) + " deployments, one operating period each)";
  if (t.deployments.empty()) throw ImportError("deployments.csv lists no deployment");
  locations.finish();
  if (noLocation > 0)
    study.notes.push_back(countOf(noLocation, "deployment has", "deployments have") +
                          " neither locationName nor locationID; each such deployment is a location named "
                          "after its deploymentID");
  if (noPosition > 0)
    study.notes.push_back(countOf(noPosition, "deployment has", "deployments have") +
                          " no usable latitude and longitude; a location's position is the mean of those of its "
                          "deployments that have one");
}

void groupLocations(const ImportOptions& options, const Tables& t, StudyData& study) {
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
      [&](const Columns&, const std::vector<std::string>& f, long) {
        Media m;
        const auto dep = t.deploymentIndex.find(std::string(trimField(fieldAt(f, cDep))));
        if (dep != t.deploymentIndex.end()) m.deployment = dep->second;
        m.timestamp = std::string(fieldAt(f, cTime));
        media.emplace(std::string(trimField(fieldAt(f, cId))), std::move(m));
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

void readObservations(const PackageInfo& pkg, const ImportOptions& options, const Tables& t, StudyData& study) {
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
        cEvent = c.find("eventID");
        cEventStart = c.find("eventStart");
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
        c.time = onClock(instant, d.offsetMinutes);
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
      titleOf(options, {pkg.projectTitle, pkg.packageTitle,
                        std::filesystem::absolute(options.packageDir).lexically_normal().filename().string()});
  Tables tables;
  readDeployments(pkg, options, study, tables);
  nameLocations(study);
  projectLocations(study);
  assignElevations(options, study);
  groupLocations(options, tables, study);
  readObservations(pkg, options, tables, study);
  finalNotes(study, "the package has no animal observation to write as a picture");
  return study;
}

}  // namespace mv::camtrap
