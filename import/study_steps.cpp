#include "import/study_steps.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "import/csv_reader.hpp"
#include "import/errors.hpp"
#include "import/names.hpp"
#include "model/study.hpp"

namespace mv::camtrap {

namespace {

// Field limits of the study files: east-west "i6", north-south "i7",
// elevation "i5".
constexpr int kMaxEast = 999999, kMinEast = -99999;
constexpr int kMaxNorth = 9999999, kMinNorth = -999999;
constexpr int kMaxElevation = 99999, kMinElevation = -9999;

// The names a DistinctNames had to cut, for the summary.
void noteCutNames(const DistinctNames& names, const std::string& kind, StudyData& study) {
  for (const std::string& name : names.cutNames()) {
    std::string cut = fixedName(name);
    while (!cut.empty() && cut.back() == ' ') cut.pop_back();
    study.cutNames.push_back({kind, name, cut});
  }
}

// Rounded UTM metres into the columns of Input.txt.
void placeInColumns(Location& loc, double east, double north, const std::string& zoneLabel) {
  if (east < kMinEast || east > kMaxEast || north < kMinNorth || north > kMaxNorth)
    throw ImportError("location \"" + loc.key + "\" lies too far from UTM zone " + zoneLabel +
                      " (the zone of the study's centre) to fit the columns of Input.txt");
  loc.east = static_cast<int>(east);
  loc.north = static_cast<int>(north);
}

// Positions given in UTM: rounded and checked against the columns, not
// converted.
void placeWrittenUtm(StudyData& study) {
  int without = 0;
  for (Location& loc : study.locations) {
    if (!loc.utmPosition) {
      ++without;
      continue;
    }
    const double east = std::round(loc.utmPosition->first), north = std::round(loc.utmPosition->second);
    if (east < kMinEast || east > kMaxEast || north < kMinNorth || north > kMaxNorth)
      throw ImportError("location \"" + loc.key + "\": its UTM position " +
                        std::to_string(static_cast<long long>(east)) + " " +
                        std::to_string(static_cast<long long>(north)) +
                        " does not fit the columns of Input.txt (6 for the easting, 7 for the northing)");
    loc.east = static_cast<int>(east);
    loc.north = static_cast<int>(north);
    if (loc.east == 0 || loc.north == 0)
      study.notes.push_back("location \"" + loc.key +
                            "\" has a UTM coordinate of exactly 0, which reads as "
                            "\"not given\"");
  }
  if (without > 0)
    study.notes.push_back(countOf(without, "location has", "locations have") +
                          " no coordinates: the UTM position is 0 0 (not given)");
}

}  // namespace

std::string_view trimField(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

std::optional<double> parseReal(std::string_view text) {
  text = trimField(text);
  if (text.empty()) return std::nullopt;
  const std::string s(text);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<long> parseWhole(std::string_view text) {
  text = trimField(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long v = 0;
  const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || p == text.data()) return std::nullopt;
  std::string_view rest(p, static_cast<std::size_t>(text.data() + text.size() - p));
  if (!rest.empty() && rest.front() == '.' && rest.find_first_not_of('0', 1) == std::string_view::npos) rest = {};
  if (!rest.empty()) return std::nullopt;
  return v;
}

std::string countOf(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string rowOf(const std::string& table, long record) { return table + " row " + std::to_string(record); }

void SkipTally::add(const std::string& reason) {
  for (SkipCount& s : counts_)
    if (s.reason == reason) {
      ++s.count;
      return;
    }
  counts_.push_back({reason, 1});
}

int LocationList::add(const std::string& key) {
  const auto [it, added] = index_.emplace(key, static_cast<int>(study_->locations.size()));
  if (added) {
    Location loc;
    loc.key = key;
    study_->locations.push_back(std::move(loc));
    positions_.emplace_back();
    utm_.emplace_back();
  }
  return it->second;
}

void LocationList::addPosition(int location, const LatLon& position) {
  positions_[static_cast<std::size_t>(location)].push_back(position);
}

void LocationList::addUtm(int location, double east, double north) {
  utm_[static_cast<std::size_t>(location)].emplace_back(east, north);
}

void LocationList::finish() {
  for (std::size_t k = 0; k < study_->locations.size(); ++k) {
    Location& loc = study_->locations[k];
    if (!positions_[k].empty()) loc.position = centroidOf(positions_[k]);
    if (!utm_[k].empty()) {
      double east = 0.0, north = 0.0;
      for (const auto& [e, n] : utm_[k]) {
        east += e;
        north += n;
      }
      const auto n = static_cast<double>(utm_[k].size());
      loc.utmPosition = std::make_pair(east / n, north / n);
    }
  }
}

void nameLocations(StudyData& study) {
  DistinctNames names("locations");
  for (Location& loc : study.locations) loc.name = names.add(loc.key);
  noteCutNames(names, "location", study);
}

void projectLocations(StudyData& study) {
  if (study.utmAsWritten) {
    placeWrittenUtm(study);
    return;
  }
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
      placeInColumns(loc, east, north, study.zone->label());
      if (loc.east == 0 || loc.north == 0)
        study.notes.push_back("location \"" + loc.key +
                              "\" has a UTM coordinate of exactly 0, which reads as "
                              "\"not given\"");
    }
  } else {
    without = static_cast<int>(study.locations.size());
  }
  if (without > 0)
    study.notes.push_back(countOf(without, "location has", "locations have") +
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
          const std::string_view text = trimField(fieldAt(f, cElev));
          if (text.empty()) return;
          const auto value = parseReal(text);
          if (!value)
            throw ImportError(rowOf(table, record) + ": elevation \"" + std::string(text) + "\" is not a number");
          const double rounded = std::round(*value);
          if (rounded < kMinElevation || rounded > kMaxElevation)
            throw ImportError(rowOf(table, record) + ": elevation " + std::string(text) +
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
  // The file first, then the source's own elevations, then the default.
  const int fallback = options.defaultElevation.value_or(0);
  int defaulted = 0;
  for (std::size_t k = 0; k < study.locations.size(); ++k) {
    Location& loc = study.locations[k];
    if (given[k]) {
      loc.elevation = *given[k];
    } else if (loc.packageElevation) {
      const double rounded = std::round(*loc.packageElevation);
      if (rounded < kMinElevation || rounded > kMaxElevation)
        throw ImportError("location \"" + loc.key + "\": elevation " + std::to_string(static_cast<long long>(rounded)) +
                          " in deployments.csv does not fit the five columns of Input.txt");
      loc.elevation = static_cast<int>(rounded);
    } else {
      loc.elevation = fallback;
      ++defaulted;
    }
    if (loc.elevation == 0) study.withoutElevation.push_back(loc.key);
  }
  if (unmatched > 0)
    study.notes.push_back(countOf(unmatched, "row of ", "rows of ") + options.elevationFile->filename().string() +
                          (unmatched == 1 ? " names" : " name") + " no location of the package");
  if (options.elevationFile && defaulted > 0)
    study.notes.push_back(countOf(defaulted, "location is", "locations are") + " not in " +
                          options.elevationFile->filename().string() + (defaulted == 1 ? " and takes" : " and take") +
                          " the default elevation " + std::to_string(fallback));
}

std::vector<std::string> groupValuesOf(const ImportOptions& options,
                                       const std::vector<std::pair<int, std::string>>& rows, const std::string& table,
                                       StudyData& study) {
  study.groupedBy = options.groupBy;
  study.groupSource = table;
  std::vector<std::string> values(study.locations.size());
  if (options.groupBy == "location") {
    for (std::size_t k = 0; k < study.locations.size(); ++k) values[k] = study.locations[k].key;
    return values;
  }
  std::vector<bool> found(study.locations.size(), false);
  for (const auto& [location, text] : rows) {
    const std::string value = cleanText(text);
    if (value.empty()) continue;
    const auto k = static_cast<std::size_t>(location);
    if (found[k] && values[k] != value)
      throw ImportError("location \"" + study.locations[k].key + "\" has rows of " + table + " in two groups of " +
                        options.groupBy + ", \"" + values[k] + "\" and \"" + value +
                        "\"; a location belongs to one group");
    values[k] = value;
    found[k] = true;
  }
  for (std::size_t k = 0; k < study.locations.size(); ++k)
    if (!found[k])
      throw ImportError("location \"" + study.locations[k].key + "\" has no " + options.groupBy + " in " + table +
                        " (use --group-by location, or another column)");
  return values;
}

void assignGroups(const std::vector<std::string>& values, StudyData& study) {
  DistinctNames names("groups");
  std::set<std::string> sorted;
  for (std::size_t k = 0; k < study.locations.size(); ++k) {
    study.locations[k].group = names.add(values[k]);
    sorted.insert(study.locations[k].group);
  }
  study.groups.assign(sorted.begin(), sorted.end());
  noteCutNames(names, "group", study);
}

void addPictures(const ImportOptions& options, const std::vector<FoundPicture>& found, SkipTally& skips,
                 StudyData& study) {
  // Species in order of first appearance among the pictures that stay.
  DistinctNames names("species");
  std::map<std::string, int> speciesIndex;
  for (const FoundPicture& c : found) {
    if (!c.leftOut.empty()) {
      skips.add(c.leftOut);
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

void finalNotes(StudyData& study, const std::string& noPictures) {
  if (study.groups.size() > 999 || study.species.size() > 999)
    study.notes.push_back("more than 999 groups or species: Morvelstrand tallies at most 999 of each");
  if (study.pictures.empty()) study.notes.push_back(noPictures);
}

std::string titleOf(const ImportOptions& options, const std::vector<std::string>& candidates) {
  std::string title;
  if (options.title) title = cleanText(*options.title);
  for (const std::string& c : candidates) {
    if (!title.empty()) break;
    title = cleanText(c);
  }
  return cutText(title, kTitleLength);
}

}  // namespace mv::camtrap
