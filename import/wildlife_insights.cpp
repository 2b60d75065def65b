// A Wildlife Insights project export: deployments.csv gives the locations
// and their operating periods, images.csv one row per image and identified
// taxon, projects.csv the title.
#include <algorithm>
#include <cctype>
#include <system_error>
#include <unordered_map>

#include "import/csv_reader.hpp"
#include "import/day_dates.hpp"
#include "import/errors.hpp"
#include "import/names.hpp"
#include "import/readers.hpp"
#include "import/study_steps.hpp"

namespace mv::camtrap {

namespace {

struct WiDeployment {
  int location = -1;
  DateTime firstDay;
  DateTime lastDay;
};

struct WiDeployments {
  std::vector<WiDeployment> list;
  std::unordered_map<std::string, int> index;  // by deployment_id
};

std::string lower(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool startsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

std::string lineOf(const std::string& table, long record) { return table + " line " + std::to_string(record); }

DateTime readDay(const std::string& table, long record, const char* column, std::string_view text) {
  const auto day = parseIsoDay(text);
  if (!day)
    throw ImportError(lineOf(table, record) + ": " + column + " \"" + std::string(trimField(text)) +
                      "\" is not a date in the form 2019-04-17 or 2019-04-17 00:00:00 (year-month-day)");
  return *day;
}

WiDeployments readDeployments(const ImportOptions& options, StudyData& study) {
  const std::string table = "deployments.csv";
  WiDeployments deps;
  LocationList locations(study);
  std::vector<std::pair<int, std::string>> groupRows;
  int cId = -1, cPlace = -1, cLat = -1, cLon = -1, cStart = -1, cEnd = -1, cGroup = -1;
  int noPlace = 0, noPosition = 0;
  readTable(
      {options.packageDir / table}, CsvDialect{}, table,
      [&](const Columns& c) {
        cId = c.require("deployment_id");
        cStart = c.require("start_date");
        cEnd = c.require("end_date");
        cPlace = c.find("placename");
        cLat = c.find("latitude");
        cLon = c.find("longitude");
        if (options.groupBy != "location") {
          cGroup = c.find(options.groupBy);
          if (cGroup < 0) throw ImportError(table + " has no column " + options.groupBy + ", needed to group by it");
        }
      },
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        const std::string id(trimField(fieldAt(f, cId)));
        if (id.empty()) throw ImportError(lineOf(table, record) + " has no deployment_id");
        if (deps.index.count(id) != 0)
          throw ImportError(lineOf(table, record) + ": deployment_id " + id + " appears twice");
        WiDeployment d;
        d.firstDay = readDay(table, record, "start_date", fieldAt(f, cStart));
        d.lastDay = readDay(table, record, "end_date", fieldAt(f, cEnd));
        if (d.lastDay < d.firstDay) throw ImportError("deployment " + id + " ends before it starts");
        std::string key = cleanText(fieldAt(f, cPlace));
        if (key.empty()) {
          key = cleanText(id);
          ++noPlace;
        }
        d.location = locations.add(key);
        study.locations[static_cast<std::size_t>(d.location)].locationIDs.push_back(cleanText(id));
        study.locations[static_cast<std::size_t>(d.location)].periods.push_back({d.firstDay, d.lastDay});
        const auto lat = parseReal(fieldAt(f, cLat));
        const auto lon = parseReal(fieldAt(f, cLon));
        if (lat && lon && *lat >= -90.0 && *lat <= 90.0 && *lon >= -180.0 && *lon <= 180.0)
          locations.addPosition(d.location, {*lat, *lon});
        else
          ++noPosition;
        if (cGroup >= 0) groupRows.emplace_back(d.location, std::string(fieldAt(f, cGroup)));
        deps.index.emplace(id, static_cast<int>(deps.list.size()));
        deps.list.push_back(d);
      });
  if (deps.list.empty()) throw ImportError(table + " lists no deployment");
  locations.finish();
  study.deployments = static_cast<int>(deps.list.size());
  study.locationsFrom =
      "(from " + countOf(study.deployments, "deployment", "deployments") + ", one operating period each)";
  if (noPlace > 0)
    study.notes.push_back(countOf(noPlace, "deployment has", "deployments have") +
                          " no placename; each such deployment is a location named after its deployment_id");
  if (noPosition > 0)
    study.notes.push_back(countOf(noPosition, "deployment has", "deployments have") +
                          " no usable latitude and longitude; a location's position is the mean of those of its "
                          "deployments that have one");
  nameLocations(study);
  projectLocations(study);
  assignElevations(options, study);
  assignGroups(groupValuesOf(options, groupRows, table, study), study);
  return deps;
}

// What a row of images.csv shows when it is not an animal to count.
enum class Kind { Animal, Blank, Human, Vehicle, Unidentified };

Kind kindOf(std::string_view isBlank, const std::string& commonName, const std::string& genus) {
  const std::string common = lower(commonName);
  if (trimField(isBlank) == "1" || common == "blank") return Kind::Blank;
  if (lower(genus) == "homo" || startsWith(common, "human")) return Kind::Human;
  if (startsWith(common, "vehicle")) return Kind::Vehicle;
  if (startsWith(common, "unknown") || startsWith(common, "unidentified") || startsWith(common, "no cv result"))
    return Kind::Unidentified;
  return Kind::Animal;
}

void readImages(const ImportOptions& options, const WiDeployments& deps, StudyData& study) {
  const std::string table = "images.csv";
  SkipTally skips;
  std::vector<FoundPicture> found;
  int cDep = -1, cTime = -1, cBlank = -1, cGenus = -1, cSpecies = -1, cCommon = -1, cCount = -1;
  std::vector<int> cHigher;  // family, order, class: the taxon of a row without genus
  readTable(
      {options.packageDir / table}, CsvDialect{}, table,
      [&](const Columns& c) {
        cDep = c.require("deployment_id");
        cTime = c.require("timestamp");
        // The names the species go by are needed; the others only help to
        // tell the kind of a row.
        if (options.commonNames) {
          cCommon = c.require("common_name");
          cGenus = c.find("genus");
          cSpecies = c.find("species");
        } else {
          cCommon = c.find("common_name");
          cGenus = c.require("genus");
          cSpecies = c.require("species");
        }
        cBlank = c.find("is_blank");
        cCount = c.find("number_of_objects");
        cHigher = {c.find("family"), c.find("order"), c.find("class")};
      },
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        const std::string common = cleanText(fieldAt(f, cCommon));
        const std::string genus = cleanText(fieldAt(f, cGenus));
        const std::string epithet = cleanText(fieldAt(f, cSpecies));
        switch (kindOf(fieldAt(f, cBlank), common, genus)) {
          case Kind::Blank:
            skips.add("blank");
            return;
          case Kind::Human:
            skips.add("human");
            return;
          case Kind::Vehicle:
            skips.add("vehicle");
            return;
          case Kind::Unidentified:
            skips.add("unidentified");
            return;
          case Kind::Animal:
            break;
        }
        FoundPicture p;
        // The taxon: genus and species; a genus alone, or without a genus
        // the family, order or class, is a taxon above species.
        std::string scientific;
        if (!genus.empty() && !epithet.empty())
          scientific = startsWith(epithet, genus + " ") ? epithet : genus + " " + epithet;
        else if (!genus.empty())
          scientific = genus;
        else
          for (const int column : cHigher)
            if (scientific.empty()) scientific = cleanText(fieldAt(f, column));
        p.speciesTaxon = !genus.empty() && !epithet.empty();
        p.species = options.commonNames ? common : scientific;
        if (p.species.empty()) {
          skips.add(options.commonNames && !scientific.empty() ? "no common_name (--names common)" : "unidentified");
          return;
        }
        const auto dep = deps.index.find(std::string(trimField(fieldAt(f, cDep))));
        if (dep == deps.index.end()) {
          skips.add("deployment_id not in deployments.csv");
          return;
        }
        const WiDeployment& d = deps.list[static_cast<std::size_t>(dep->second)];
        const std::string_view stamp = trimField(fieldAt(f, cTime));
        if (stamp.empty()) {
          skips.add("no timestamp");
          return;
        }
        const auto when = parseTimestamp(stamp);
        if (!when)
          throw ImportError(lineOf(table, record) + ": timestamp \"" + std::string(stamp) +
                            "\" is not a date and time in the form 2024-04-09 12:15:36 (year-month-day "
                            "hour:minute:second, as Wildlife Insights exports it); a copy saved by a spreadsheet "
                            "rewrites it, so import the original export");
        const std::string_view countText = trimField(fieldAt(f, cCount));
        if (!countText.empty()) {
          const auto n = parseWhole(countText);
          if (!n || *n < 0) {
            skips.add("invalid number_of_objects");
            return;
          }
          p.individuals = static_cast<int>(std::min<long>(*n, 1000000));
        }
        // The camera's clock, as written; the deployment's days include its
        // first and last.
        DateTime day = when->local;
        day.hour = day.minute = day.second = 0;
        if (day < d.firstDay || day > d.lastDay) {
          skips.add("timestamp outside its deployment");
          return;
        }
        p.time = when->local;
        p.location = d.location;
        found.push_back(std::move(p));
      });
  addPictures(options, found, skips, study);
  study.picturesHow = " (one per image and taxon)";
}

// The project's name from projects.csv, when the export has one.
std::string projectName(const std::filesystem::path& dir) {
  const std::filesystem::path file = dir / "projects.csv";
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return {};
  std::string name;
  int column = -1;
  readTable(
      {file}, CsvDialect{}, "projects.csv", [&](const Columns& c) { column = c.find("project_name"); },
      [&](const Columns&, const std::vector<std::string>& f, long) {
        if (name.empty()) name = cleanText(fieldAt(f, column));
      });
  return name;
}

}  // namespace

StudyData readWildlifeInsights(const ImportOptions& options) {
  StudyData study;
  study.source = "Wildlife Insights export " + options.packageDir.string();
  study.clock = "each camera's own, as written (the export gives no UTC offset)";
  study.title =
      titleOf(options, {projectName(options.packageDir),
                        std::filesystem::absolute(options.packageDir).lexically_normal().filename().string()});
  const WiDeployments deps = readDeployments(options, study);
  readImages(options, deps, study);
  finalNotes(study, "the export has no image of an animal to write as a picture");
  return study;
}

}  // namespace mv::camtrap
