// camtrapR's tables: the camera-trap station table gives the locations,
// their positions and their operating days (less the days of each
// ProblemN_from/_to pair), the record table one row per record.
#include <algorithm>
#include <cctype>
#include <regex>
#include <unordered_map>

#include "import/csv_reader.hpp"
#include "import/day_dates.hpp"
#include "import/errors.hpp"
#include "import/names.hpp"
#include "import/readers.hpp"
#include "import/study_steps.hpp"

namespace mv::camtrap {

namespace {

// A field as R's write.csv leaves it: its missing values are written NA,
// which is read as empty.
std::string_view valueAt(const std::vector<std::string>& fields, int column) {
  const std::string_view text = trimField(fieldAt(fields, column));
  return text == "NA" ? std::string_view() : text;
}

std::string lineOf(const std::string& table, long record) { return table + " line " + std::to_string(record); }

// The first of `names` that the header has, compared without case; -1 when
// none.
int findAny(const Columns& c, std::initializer_list<const char*> names) {
  for (const char* name : names)
    for (std::size_t k = 0; k < c.header().size(); ++k) {
      const std::string& h = c.header()[k];
      if (h.size() == std::char_traits<char>::length(name) && std::equal(h.begin(), h.end(), name, [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
          }))
        return static_cast<int>(k);
    }
  return -1;
}

struct ProblemColumns {
  std::string from, to;
  int cFrom = -1, cTo = -1;
};

// The days a station row's camera worked: its setup to its retrieval day,
// less the days of its problems.
struct StationRow {
  int location = -1;
  std::vector<Period> working;
  std::vector<Period> problems;  // merged, in order
};

struct Stations {
  std::vector<StationRow> rows;
  std::unordered_map<std::string, std::vector<int>> byStation;  // rows of each station
  int problemPeriods = 0;
};

Stations readStations(const ImportOptions& options, StudyData& study) {
  const std::filesystem::path& path = *options.stations;
  const std::string table = path.filename().string();
  const DateForm form(options.dateFormat);
  Stations st;
  LocationList locations(study);
  std::vector<std::pair<int, std::string>> groupRows;
  int cStation = -1, cSetup = -1, cRetrieval = -1, cGroup = -1, cX = -1, cY = -1, cLat = -1, cLon = -1;
  std::vector<ProblemColumns> problems;
  int noPosition = 0;
  const auto readDate = [&](const std::vector<std::string>& f, int column, const std::string& name,
                            long record) -> std::optional<DateTime> {
    const std::string_view text = valueAt(f, column);
    if (text.empty()) return std::nullopt;
    const auto day = form.parse(text);
    if (!day)
      throw ImportError(lineOf(table, record) + ": " + name + " \"" + std::string(text) +
                        "\" is not a date in the form " + form.text() +
                        " (or yyyy-mm-dd); --date-format gives the form of the station table's dates");
    return day;
  };
  readTable(
      {path}, CsvDialect{}, table,
      [&](const Columns& c) {
        cStation = c.require("Station");
        cSetup = c.require("Setup_date");
        cRetrieval = c.require("Retrieval_date");
        // UTM columns first: they are taken as written.
        for (const auto& [x, y] : {std::pair{"utm_x", "utm_y"}, {"x", "y"}, {"easting", "northing"}})
          if (cX < 0 && findAny(c, {x}) >= 0 && findAny(c, {y}) >= 0) {
            cX = findAny(c, {x});
            cY = findAny(c, {y});
          }
        cLat = findAny(c, {"latitude", "lat"});
        cLon = findAny(c, {"longitude", "long", "lon", "lng"});
        if (cLat < 0 || cLon < 0) cLat = cLon = -1;
        if (options.utmZone && cX < 0)
          throw ImportError("--utm-zone states the zone of UTM columns, and " + table +
                            " has none (utm_x and utm_y, x and y, or easting and northing)");
        study.utmAsWritten = cX >= 0;
        if (cX >= 0 && cLat >= 0)
          study.notes.push_back(table + " has both UTM and latitude/longitude columns; the UTM ones are taken");
        if (options.groupBy != "location") {
          cGroup = c.find(options.groupBy);
          if (cGroup < 0) throw ImportError(table + " has no column " + options.groupBy + ", needed to group by it");
        }
        static const std::regex problem("Problem([0-9]+)_from");
        for (const std::string& name : c.header()) {
          std::smatch m;
          if (!std::regex_match(name, m, problem)) continue;
          ProblemColumns p;
          p.from = name;
          p.to = "Problem" + m[1].str() + "_to";
          p.cFrom = c.find(p.from);
          p.cTo = c.find(p.to);
          if (p.cTo < 0) throw ImportError(table + " has a column " + p.from + " but no " + p.to);
          problems.push_back(p);
        }
      },
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        const std::string station = cleanText(valueAt(f, cStation));
        if (station.empty()) throw ImportError(lineOf(table, record) + " has no Station");
        const auto setup = readDate(f, cSetup, "Setup_date", record);
        const auto retrieval = readDate(f, cRetrieval, "Retrieval_date", record);
        if (!setup || !retrieval)
          throw ImportError(lineOf(table, record) + ": station " + station + " has no " +
                            (setup ? "Retrieval_date" : "Setup_date"));
        if (*retrieval < *setup)
          throw ImportError(lineOf(table, record) + ": station " + station + " is retrieved before it is set up");
        StationRow row;
        for (const ProblemColumns& p : problems) {
          const auto from = readDate(f, p.cFrom, p.from, record);
          const auto to = readDate(f, p.cTo, p.to, record);
          if (!from && !to) continue;
          if (!from || !to)
            throw ImportError(lineOf(table, record) + ": station " + station + " has " + (from ? p.from : p.to) +
                              " but no " + (from ? p.to : p.from));
          if (*to < *from)
            throw ImportError(lineOf(table, record) + ": station " + station + ": " + p.to + " is before " + p.from);
          if (*from < *setup || *to > *retrieval)
            throw ImportError(lineOf(table, record) + ": station " + station + ": the problem from " + p.from + " to " +
                              p.to + " lies outside its Setup_date and Retrieval_date");
          row.problems.push_back({*from, *to});
          ++st.problemPeriods;
        }
        // Problems merged where they overlap or touch, then cut out: the
        // period stops the day before a problem and restarts the day after.
        std::sort(row.problems.begin(), row.problems.end(),
                  [](const Period& a, const Period& b) { return a.start < b.start; });
        std::vector<Period> merged;
        for (const Period& p : row.problems)
          if (!merged.empty() && p.start <= dayAfter(merged.back().stop))
            merged.back().stop = std::max(merged.back().stop, p.stop);
          else
            merged.push_back(p);
        row.problems = merged;
        DateTime from = *setup;
        for (const Period& p : merged) {
          if (from < p.start) row.working.push_back({from, dayBefore(p.start)});
          from = dayAfter(p.stop);
        }
        if (from <= *retrieval) row.working.push_back({from, *retrieval});
        if (row.working.empty())
          throw ImportError(lineOf(table, record) + ": station " + station +
                            " has no working day left once its problem days are taken out");

        row.location = locations.add(station);
        Location& loc = study.locations[static_cast<std::size_t>(row.location)];
        loc.periods.insert(loc.periods.end(), row.working.begin(), row.working.end());
        if (cX >= 0) {
          const auto x = parseReal(valueAt(f, cX));
          const auto y = parseReal(valueAt(f, cY));
          if (x && y)
            locations.addUtm(row.location, *x, *y);
          else
            ++noPosition;
        } else if (cLat >= 0) {
          const auto lat = parseReal(valueAt(f, cLat));
          const auto lon = parseReal(valueAt(f, cLon));
          if (lat && lon && *lat >= -90.0 && *lat <= 90.0 && *lon >= -180.0 && *lon <= 180.0)
            locations.addPosition(row.location, {*lat, *lon});
          else
            ++noPosition;
        } else {
          ++noPosition;
        }
        if (cGroup >= 0) groupRows.emplace_back(row.location, std::string(valueAt(f, cGroup)));
        st.byStation[station].push_back(static_cast<int>(st.rows.size()));
        st.rows.push_back(std::move(row));
      });
  if (st.rows.empty()) throw ImportError(table + " lists no station");
  locations.finish();
  if (study.utmAsWritten) study.zone = options.utmZone;
  study.deployments = static_cast<int>(st.rows.size());
  std::size_t periods = 0;
  for (const Location& loc : study.locations) periods += loc.periods.size();
  study.locationsFrom = "(from " + countOf(study.deployments, "row", "rows") + " of the station table";
  if (st.problemPeriods == 0)
    study.locationsFrom += ", one operating period each)";
  else
    study.locationsFrom += "; " + countOf(static_cast<int>(periods), "operating period", "operating periods") + ", " +
                           countOf(st.problemPeriods, "problem period", "problem periods") + " taken out)";
  if (noPosition > 0)
    study.notes.push_back(countOf(noPosition, "row", "rows") + " of " + table + (noPosition == 1 ? " has" : " have") +
                          " no usable coordinates; a location's position is the mean of those of its rows that "
                          "have them");
  nameLocations(study);
  projectLocations(study);
  assignElevations(options, study);
  assignGroups(groupValuesOf(options, groupRows, "the station table", study), study);
  return st;
}

bool within(const std::vector<Period>& periods, const DateTime& day) {
  return std::any_of(periods.begin(), periods.end(),
                     [&](const Period& p) { return !(day < p.start) && !(p.stop < day); });
}

void readRecords(const ImportOptions& options, const Stations& st, StudyData& study) {
  const std::filesystem::path& path = *options.records;
  const std::string table = path.filename().string();
  SkipTally skips;
  std::vector<FoundPicture> found;
  int cStation = -1, cSpecies = -1, cTime = -1, cCount = -1;
  readTable(
      {path}, CsvDialect{}, table,
      [&](const Columns& c) {
        cStation = c.require("Station");
        cSpecies = c.require("Species");
        cTime = c.require("DateTimeOriginal");
        if (options.countColumn) cCount = c.require(*options.countColumn);
      },
      [&](const Columns&, const std::vector<std::string>& f, long record) {
        FoundPicture p;
        p.species = cleanText(valueAt(f, cSpecies));
        if (p.species.empty()) {
          skips.add("record without Species");
          return;
        }
        const auto rows = st.byStation.find(cleanText(valueAt(f, cStation)));
        if (rows == st.byStation.end()) {
          skips.add("Station not in the station table");
          return;
        }
        const std::string_view stamp = valueAt(f, cTime);
        if (stamp.empty()) {
          skips.add("record without DateTimeOriginal");
          return;
        }
        const auto when = parseTimestamp(stamp);
        if (!when)
          throw ImportError(lineOf(table, record) + ": DateTimeOriginal \"" + std::string(stamp) +
                            "\" is not a date and time in the form 2009-04-21 00:40:00 (year-month-day "
                            "hour:minute:second)");
        if (cCount >= 0) {
          const std::string_view countText = valueAt(f, cCount);
          if (!countText.empty()) {
            const auto n = parseWhole(countText);
            if (!n || *n < 0) {
              skips.add("invalid count in " + *options.countColumn);
              return;
            }
            p.individuals = static_cast<int>(std::min<long>(*n, 1000000));
          }
        }
        DateTime day = when->local;
        day.hour = day.minute = day.second = 0;
        bool working = false, problem = false;
        for (const int r : rows->second) {
          const StationRow& row = st.rows[static_cast<std::size_t>(r)];
          working = working || within(row.working, day);
          problem = problem || within(row.problems, day);
        }
        if (!working) {
          skips.add(problem ? "record on a problem day of its station" : "record outside its station's dates");
          return;
        }
        p.time = when->local;
        p.location = st.rows[static_cast<std::size_t>(rows->second.front())].location;
        found.push_back(std::move(p));
      });
  addPictures(options, found, skips, study);
  study.picturesHow = " (one per record)";
}

}  // namespace

StudyData readCamtrapR(const ImportOptions& options) {
  if (!options.records || !options.stations)
    throw ImportError("camtrapR tables need both --records FILE and --stations FILE");
  StudyData study;
  study.source = "camtrapR tables " + options.records->string() + " and " + options.stations->string();
  study.clock = "each camera's own, as written (the tables give no UTC offset)";
  study.title = titleOf(
      options, {std::filesystem::absolute(*options.records).lexically_normal().parent_path().filename().string()});
  const Stations st = readStations(options, study);
  readRecords(options, st, study);
  finalNotes(study, "the record table has no record to write as a picture");
  return study;
}

}  // namespace mv::camtrap
