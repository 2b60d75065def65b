#include "import/command_line.hpp"

#include <CLI/CLI.hpp>

#include <cctype>
#include <charconv>
#include <exception>
#include <iomanip>
#include <sstream>
#include <optional>

#include "import/day_dates.hpp"
#include "import/clock.hpp"
#include "import/errors.hpp"
#include "import/readers.hpp"
#include "import/reader_check.hpp"
#include "import/study_files.hpp"

namespace mv::camtrap {

namespace {

CommandLine usageError(std::string message) {
  CommandLine c;
  c.action = CommandLine::Action::UsageError;
  c.error = std::move(message);
  return c;
}

std::optional<int> parseMetres(const std::string& text) {
  int v = 0;
  const char* begin = text.data();
  if (!text.empty() && text[0] == '+') ++begin;
  const auto [p, ec] = std::from_chars(begin, text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
  return v;
}

void line(std::ostream& out, const std::string& label, const std::string& value) {
  out << "  " << std::left << std::setw(22) << label << value << '\n';
}

// The locations without an elevation, as a block of its own: Morvelstrand
// reads elevation 0 as "no position", so the spatial sections leave them out.
void printElevations(std::ostream& out, const StudyData& s) {
  const int without = static_cast<int>(s.withoutElevation.size());
  if (without == 0) return;
  const int all = static_cast<int>(s.locations.size());
  out << "Elevations: "
      << (without == all ? "no location has one"
                         : std::to_string(without) + " of " + std::to_string(all) + " locations have none")
      << " (elevation 0, which Morvelstrand reads as \"no position\")\n";
  out << "  " << (without == all ? "Empty" : "Without them") << " in the report: GROUP UTM AND ELEVATION AVERAGES, "
      << "DISTANCE BETWEEN GROUPS, AREA OF EACH GROUP, SPECIES BY GROUP WITH UTM AND ELEVATION, the groups "
      << "sorted by elevation; on the page: the map of group positions\n";
  out << "  To fill them: " << (s.elevationColumn.empty() ? "" : s.elevationColumn + ", ")
      << "--elevation FILE (a CSV with locationID or locationName and elevation in metres), or "
      << "--default-elevation METRES\n";
}

void printSummary(std::ostream& out, const StudyData& s, const ImportOptions& o) {
  out << s.source << '\n';
  line(out, "Title", s.title);
  if (!s.clock.empty()) line(out, "Clock", s.clock);
  line(out, "Locations", std::to_string(s.locations.size()) + " " + s.locationsFrom);
  line(out, "Groups",
       std::to_string(s.groups.size()) + (s.groupedBy == "location" ? std::string(" (each location its own group)")
                                          : s.groupedBy == "groups" && s.groupSource == "deploymentGroups"
                                              ? " (by the whole value of " + s.groupSource + ")"
                                              : " (by " + s.groupedBy + " of " + s.groupSource + ")"));
  line(out, "Species", std::to_string(s.species.size()));
  line(out, "Pictures", std::to_string(s.pictures.size()) + s.picturesHow);
  int skipped = 0;
  for (const SkipCount& k : s.skipped) skipped += k.count;
  line(out, "Skipped observations", std::to_string(skipped));
  for (const SkipCount& k : s.skipped) out << "    " << std::left << std::setw(44) << k.reason << k.count << '\n';
  if (s.notSpecies > 0) {
    // The taxa by name, the first few of them.
    constexpr std::size_t kShown = 5;
    std::string taxa;
    for (std::size_t k = 0; k < s.notSpeciesTaxa.size() && k < kShown; ++k)
      taxa += (k == 0 ? "" : ", ") + s.notSpeciesTaxa[k];
    if (s.notSpeciesTaxa.size() > kShown) taxa += ", ...";
    const std::size_t n = s.notSpeciesTaxa.size();
    line(out, "Not a species",
         std::to_string(s.notSpecies) + (s.notSpecies == 1 ? " observation" : " observations") + " of " +
             std::to_string(n) + (n == 1 ? " taxon" : " taxa") + " (" + taxa + ")" +
             (o.speciesOnly ? ", left out" : "; --species-only leaves them out"));
  }
  if (!s.cutNames.empty()) {
    line(out, "Names cut to 25", std::to_string(s.cutNames.size()));
    for (const CutName& c : s.cutNames)
      out << "    " << c.kind << " \"" << c.name << "\" written as \"" << c.cut << "\"\n";
  }
  if (s.cappedCounts > 0)
    line(out, "Counts above 99",
         std::to_string(s.cappedCounts) + (s.cappedCounts == 1 ? " picture" : " pictures") +
             " written with 99 individuals");
  if (s.utmAsWritten) {
    line(out, "UTM zone",
         (s.zone ? s.zone->label() + " (EPSG:" + std::to_string(s.zone->epsg()) + "), as stated by --utm-zone"
                 : std::string("not stated (--utm-zone states it)")) +
             "; positions taken as written");
  } else if (s.zone) {
    std::ostringstream centre;
    centre << std::fixed << std::setprecision(5) << s.centroid.lat << ", " << s.centroid.lon;
    line(out, "UTM zone",
         s.zone->label() + " (EPSG:" + std::to_string(s.zone->epsg()) + "), the zone of the locations' centroid " +
             centre.str());
  }
  printElevations(out, s);
  for (const std::string& w : s.warnings) out << "Warning: " << w << '\n';
  for (const std::string& n : s.notes) out << "Note: " << n << '\n';
}

void printCheck(std::ostream& out, const ReaderCheck& c) {
  out << "Check with Morvelstrand's own readers:\n";
  if (!c.ran) {
    out << "  " << c.failure << '\n';
    return;
  }
  line(out, "Input.txt",
       std::to_string(c.NLOCATIONS) + " locations (at most " + std::to_string(c.MAXPERIODS) + " periods each), " +
           std::to_string(c.NSPECIES) + " species, study years " + std::to_string(c.FIRSTYEAR) + "-" +
           std::to_string(c.LASTYEAR));
  line(out, "GroupMap.txt", std::to_string(c.NMAPLINES) + " lines, " + std::to_string(c.NGROUPS) + " groups");
  line(out, "AllPictures.txt",
       std::to_string(c.NPROCESSED) + " processed, " + std::to_string(c.NUSED) + " used, " +
           std::to_string(c.NREJECTED) + " rejected");
}

}  // namespace

namespace {

constexpr const char* kDescription =
    "Turns a Camera Trap Data Package (Camtrap DP 0.1.x or 1.x: datapackage.json,\n"
    "deployments.csv, media.csv, observations.csv), a Wildlife Insights export\n"
    "(images.csv, deployments.csv) or camtrapR's record and station tables into\n"
    "a Morvelstrand study folder: Input.txt, GroupMap.txt and AllPictures.txt.";

constexpr const char* kFooter =
    "Exit status:\n"
    "  0  the study folder was written and reads back as written\n"
    "  1  the import failed (the package, the study folder or the read-back)\n"
    "  2  wrong command line\n"
    "\n"
    "Example:\n"
    "  morvelstrand-import park-2021 park-study --time-zone Europe/Brussels \\\n"
    "      --group-by area --elevation elevations.csv --default-elevation 850\n"
    "  morvelstrand-import --records recordTable.csv --stations CTtable.csv \\\n"
    "      valley-study --utm-zone 32N --group-by Session";

// The values as given on the command line, checked after parsing so that a
// wrong value gets a message of its own.
struct RawOptions {
  std::string packageDir;
  std::string studyDir;
  std::string groupBy = "location";
  std::string elevationFile;
  std::string defaultElevation;
  std::string title;
  std::string timeZone;
  std::string utcOffset;
  bool force = false;
  bool speciesOnly = false;
  bool version = false;
  std::string from;
  std::string names = "scientific";
  std::string records;
  std::string stations;
  std::string utmZone;
  std::string dateFormat;
  std::string countColumn;
};

// "32N", "33S": a zone number from 1 to 60 and the hemisphere.
std::optional<UtmZone> parseZone(const std::string& text) {
  if (text.size() < 2) return std::nullopt;
  const char h = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
  if (h != 'N' && h != 'S') return std::nullopt;
  int zone = 0;
  const char* end = text.data() + text.size() - 1;
  const auto [p, ec] = std::from_chars(text.data(), end, zone);
  if (ec != std::errc() || p != end || zone < 1 || zone > 60) return std::nullopt;
  return UtmZone{zone, h == 'S'};
}

// The help: the usage line first, then what the program does, the
// arguments, the options, the exit statuses and an example.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override {
    return "Usage: morvelstrand-import PACKAGE_DIR STUDY_DIR [options]\n"
           "       morvelstrand-import --records FILE --stations FILE STUDY_DIR [options]\n";
  }
  std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
    return make_usage(app, name) + "\n" + make_description(app) + make_positionals(app) + make_groups(app, mode) +
           "\n" + make_footer(app);
  }
};

struct Parser {
  CLI::App app{kDescription, "morvelstrand-import"};
  CLI::Option* groupBy = nullptr;
  CLI::Option* elevation = nullptr;
  CLI::Option* defaultElevation = nullptr;
  CLI::Option* title = nullptr;
  CLI::Option* from = nullptr;
  CLI::Option* names = nullptr;
  CLI::Option* records = nullptr;
  CLI::Option* stations = nullptr;
  CLI::Option* utmZone = nullptr;
  CLI::Option* dateFormat = nullptr;
  CLI::Option* countColumn = nullptr;
  CLI::Option* timeZone = nullptr;
  CLI::Option* utcOffset = nullptr;

  explicit Parser(RawOptions& raw) {
    app.formatter(std::make_shared<HelpFormatter>());
    app.get_formatter()->column_width(30);
    app.set_help_flag("-h,--help", "Show this help and exit");
    app.footer(kFooter);
    app.add_option("PACKAGE_DIR", raw.packageDir,
                   "The package or export folder: datapackage.json\n"
                   "(Camtrap DP), or images.csv and deployments.csv\n"
                   "(Wildlife Insights)")
        ->type_name("");
    app.add_option("STUDY_DIR", raw.studyDir, "The study folder to write (made when missing)")->type_name("");
    groupBy = app.add_option("--group-by", raw.groupBy,
                             "Each location its own group (default), or the\n"
                             "group named by KEY:value in deploymentGroups (with\n"
                             "KEY groups, the whole deploymentGroups value);\n"
                             "for Wildlife Insights a column of deployments.csv,\n"
                             "for camtrapR a column of the station table")
                  ->type_name("location|KEY");
    timeZone = app.add_option("--time-zone", raw.timeZone,
                              "Write every time on the clock of this time zone\n"
                              "(an IANA name such as Europe/Amsterdam, daylight\n"
                              "saving applied; UTC to analyse in UTC)")
                   ->type_name("ZONE");
    utcOffset = app.add_option("--utc-offset", raw.utcOffset,
                               "Write every time at this one offset from UTC\n"
                               "all year (such as +01:00 or -05:30)")
                    ->type_name("+HH:MM");
    elevation = app.add_option("--elevation", raw.elevationFile,
                               "CSV with a locationID or locationName column and\n"
                               "an elevation column (metres)")
                    ->type_name("FILE");
    defaultElevation = app.add_option("--default-elevation", raw.defaultElevation,
                                      "Elevation of the locations without one (default 0;\n"
                                      "a location with elevation 0 is left out of the\n"
                                      "group positions, distances and areas)")
                           ->type_name("METRES");
    title = app.add_option("--title", raw.title,
                           "Study title (default: the package's title, else\n"
                           "its project's title, else its name or folder)")
                ->type_name("TEXT");
    app.add_flag("--species-only", raw.speciesOnly,
                 "Leave out the observations whose taxon is not a\n"
                 "species (a taxonRank above species, or a\n"
                 "scientificName of one word)")
        ->disable_flag_override();
    app.add_flag("--force", raw.force,
                 "Replace existing Input.txt, GroupMap.txt and\n"
                 "AllPictures.txt in STUDY_DIR, and remove its\n"
                 "OutputGroups.txt and Reject.txt")
        ->disable_flag_override();
    from = app.add_option("--from", raw.from,
                          "The kind of source, when its files do not tell:\n"
                          "camtrap-dp, wildlife-insights or camtrapr")
               ->type_name("KIND");
    names = app.add_option("--names", raw.names,
                           "Wildlife Insights species by genus and species\n"
                           "(scientific, the default) or by common_name")
                ->type_name("scientific|common");
    records = app.add_option("--records", raw.records, "camtrapR record table (Station, Species,\nDateTimeOriginal)")
                  ->type_name("FILE");
    stations = app.add_option("--stations", raw.stations,
                              "camtrapR camera-trap station table (Station,\n"
                              "coordinates, Setup_date, Retrieval_date,\n"
                              "ProblemN_from/ProblemN_to)")
                   ->type_name("FILE");
    utmZone = app.add_option("--utm-zone", raw.utmZone,
                             "The zone of the station table's UTM columns, such\n"
                             "as 32N or 33S (stated, not converted)")
                  ->type_name("ZONE");
    dateFormat = app.add_option("--date-format", raw.dateFormat,
                                "Form of the station table's dates (default\n"
                                "dd/mm/yyyy; yyyy-mm-dd is always read)")
                     ->type_name("FORM");
    countColumn = app.add_option("--count-column", raw.countColumn,
                                 "Column of the record table with the individuals\n"
                                 "(default: one per record)")
                      ->type_name("NAME");
    app.add_flag("--version", raw.version, "Show the version and exit")->disable_flag_override();
  }
};

}  // namespace

std::string usageText() {
  RawOptions raw;
  Parser parser(raw);
  return parser.app.help();
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine c;
  RawOptions raw;
  Parser parser(raw);
  // CLI11 takes the arguments last to first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    parser.app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    c.action = CommandLine::Action::Help;
    return c;
  } catch (const CLI::ParseError& e) {
    return usageError(e.what());
  }
  if (raw.version) {
    c.action = CommandLine::Action::Version;
    return c;
  }
  if (*parser.groupBy) {
    if (raw.groupBy.empty()) return usageError("option --group-by needs \"location\" or a deploymentGroups key");
    c.options.groupBy = raw.groupBy;
  }
  if (*parser.elevation) {
    if (raw.elevationFile.empty()) return usageError("option --elevation needs a file name");
    c.options.elevationFile = raw.elevationFile;
  }
  if (*parser.defaultElevation) {
    const auto metres = parseMetres(raw.defaultElevation);
    if (!metres || *metres < -9999 || *metres > 99999)
      return usageError("option --default-elevation needs whole metres from -9999 to 99999, not \"" +
                        raw.defaultElevation + "\"");
    c.options.defaultElevation = *metres;
  }
  if (*parser.title) c.options.title = raw.title;
  if (*parser.timeZone && *parser.utcOffset) return usageError("give --time-zone or --utc-offset, not both");
  if (*parser.timeZone) {
    if (!StudyClock::zone(raw.timeZone))
      return usageError("option --time-zone: unknown time zone \"" + raw.timeZone +
                        "\" (give an IANA name such as Europe/Amsterdam, or UTC)");
    c.options.timeZone = raw.timeZone;
  }
  if (*parser.utcOffset) {
    const auto offset = parseUtcOffset(raw.utcOffset);
    if (!offset)
      return usageError("option --utc-offset needs an offset from -12:00 to +14:00 such as +01:00 or -05:30, not \"" +
                        raw.utcOffset + "\"");
    c.options.utcOffsetMinutes = *offset;
  }
  c.options.force = raw.force;
  c.options.speciesOnly = raw.speciesOnly;
  if (*parser.from) {
    const auto kind = sourceKindNamed(raw.from);
    if (!kind)
      return usageError("option --from needs camtrap-dp, wildlife-insights or camtrapr, not \"" + raw.from + "\"");
    c.options.from = *kind;
  }
  if (*parser.names) {
    if (raw.names != "scientific" && raw.names != "common")
      return usageError("option --names needs scientific or common, not \"" + raw.names + "\"");
    c.options.commonNames = raw.names == "common";
  }
  if (*parser.utmZone) {
    c.options.utmZone = parseZone(raw.utmZone);
    if (!c.options.utmZone)
      return usageError("option --utm-zone needs a zone from 1 to 60 and N or S (such as 32N), not \"" + raw.utmZone +
                        "\"");
  }
  if (*parser.dateFormat) {
    try {
      const DateForm form(raw.dateFormat);
    } catch (const ImportError& e) {
      return usageError(e.what());
    }
    c.options.dateFormat = raw.dateFormat;
  }
  if (*parser.countColumn) c.options.countColumn = raw.countColumn;
  if (*parser.records) c.options.records = raw.records;
  if (*parser.stations) c.options.stations = raw.stations;
  const bool tables = c.options.from == SourceKind::CamtrapR || *parser.records || *parser.stations;
  if (tables) {
    if (!*parser.records || !*parser.stations)
      return usageError("camtrapR tables need both --records FILE and --stations FILE");
    if (c.options.from != SourceKind::Detect && c.options.from != SourceKind::CamtrapR)
      return usageError("--records and --stations are camtrapR tables, not a " + raw.from + " source");
    if (!raw.studyDir.empty())
      return usageError("with --records and --stations give only STUDY_DIR, not \"" + raw.packageDir + "\" as well");
    if (raw.packageDir.empty()) return usageError("STUDY_DIR is needed");
    c.options.from = SourceKind::CamtrapR;
    c.options.studyDir = raw.packageDir;
    c.action = CommandLine::Action::Import;
    return c;
  }
  if (raw.packageDir.empty() || raw.studyDir.empty()) return usageError("PACKAGE_DIR and STUDY_DIR are both needed");
  c.options.packageDir = raw.packageDir;
  c.options.studyDir = raw.studyDir;
  c.action = CommandLine::Action::Import;
  return c;
}

int runImporter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CommandLine cl = parseCommandLine(args);
  switch (cl.action) {
    case CommandLine::Action::Help:
      out << usageText();
      return kSuccess;
    case CommandLine::Action::Version:
      out << "morvelstrand-import " << kImporterVersion << '\n';
      return kSuccess;
    case CommandLine::Action::UsageError:
      err << "morvelstrand-import: " << cl.error << '\n' << "Try 'morvelstrand-import --help' for more information.\n";
      return kUsage;
    case CommandLine::Action::Import:
      break;
  }
  const ImportOptions& o = cl.options;
  try {
    std::error_code ec;
    if (std::filesystem::exists(o.studyDir, ec) && !std::filesystem::is_directory(o.studyDir, ec))
      throw ImportError(o.studyDir.string() +
                        " is a file, not a folder: STUDY_DIR is the folder the study is "
                        "written to");
    if (!o.force) {
      const auto existing = existingStudyFiles(o.studyDir);
      if (!existing.empty()) {
        std::string names;
        for (const std::string& n : existing) names += (names.empty() ? "" : ", ") + n;
        throw ImportError(o.studyDir.string() + " already holds " + names + "; use --force to replace them");
      }
    }
    const StudyData study = buildStudy(o);
    const std::vector<std::string> removed = writeStudy(study, o.studyDir, o.force);
    printSummary(out, study, o);
    out << "Wrote Input.txt, GroupMap.txt and AllPictures.txt in " << o.studyDir.string() << '\n';
    if (!removed.empty()) {
      std::string names;
      for (const std::string& n : removed) names += (names.empty() ? "" : ", ") + n;
      out << "Removed " << names << " of the earlier run (they belong to the replaced study)\n";
    }
    const ReaderCheck check = checkWithReaders(o.studyDir);
    printCheck(out, check);
    const auto problems = disagreements(check, study);
    if (!problems.empty()) {
      err << "morvelstrand-import: the written folder does not read back as written:\n";
      for (const std::string& p : problems) err << "  " << p << '\n';
      for (const std::string& r : check.rejectLines) err << "  Reject.txt: " << r << '\n';
      return kFailure;
    }
    return kSuccess;
  } catch (const ImportError& e) {
    err << "morvelstrand-import: " << e.what() << '\n';
  } catch (const std::exception& e) {
    err << "morvelstrand-import: unexpected failure: " << e.what() << '\n';
  }
  return kFailure;
}

}  // namespace mv::camtrap
