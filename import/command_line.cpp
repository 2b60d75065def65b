#include "import/command_line.hpp"

#include <charconv>
#include <exception>
#include <iomanip>
#include <sstream>
#include <optional>

#include "import/errors.hpp"
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

void printSummary(std::ostream& out, const StudyData& s, const ImportOptions& o) {
  out << "Camtrap DP " << (s.version.empty() ? std::string("1.0 (assumed)") : s.version) << " package "
      << o.packageDir.string() << '\n';
  line(out, "Title", s.title);
  line(out, "Locations",
       std::to_string(s.locations.size()) + " (from " + std::to_string(s.deployments) +
           " deployments, one operating period each)");
  line(out, "Groups",
       std::to_string(s.groups.size()) + (s.groupedBy == "location" ? std::string(" (each location its own group)")
                                                                    : " (by " + s.groupedBy + " of deploymentGroups)"));
  line(out, "Species", std::to_string(s.species.size()));
  line(out, "Pictures",
       std::to_string(s.pictures.size()) + " (" + std::to_string(s.mediaPictures) + " media-based, " +
           std::to_string(s.eventPictures) + " event-based)");
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
  if (s.zone) {
    std::ostringstream centre;
    centre << std::fixed << std::setprecision(5) << s.centroid.lat << ", " << s.centroid.lon;
    line(out, "UTM zone",
         s.zone->label() + " (EPSG:" + std::to_string(s.zone->epsg()) + "), the zone of the locations' centroid " +
             centre.str());
  }
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

std::string usageText() {
  return "Usage: morvelstrand-import PACKAGE_DIR STUDY_DIR [options]\n"
         "\n"
         "Turns a Camera Trap Data Package (Camtrap DP 1.x: datapackage.json,\n"
         "deployments.csv, media.csv, observations.csv) into a Morvelstrand study\n"
         "folder: Input.txt, GroupMap.txt and AllPictures.txt.\n"
         "\n"
         "Options:\n"
         "  --group-by location|KEY     each location its own group (default), or the\n"
         "                              group named by KEY:value in deploymentGroups\n"
         "  --elevation FILE            CSV with a locationID or locationName column and\n"
         "                              an elevation column (metres)\n"
         "  --default-elevation METRES  elevation of the locations without one (default 0;\n"
         "                              a location with elevation 0 is left out of the\n"
         "                              group positions, distances and areas)\n"
         "  --title TEXT                study title (default: the package's project title)\n"
         "  --species-only              leave out the observations whose taxon is not a\n"
         "                              species (a taxonRank above species, or a\n"
         "                              scientificName of one word)\n"
         "  --force                     replace existing Input.txt, GroupMap.txt and\n"
         "                              AllPictures.txt in STUDY_DIR, and remove\n"
         "                              its OutputGroups.txt and Reject.txt\n"
         "  --help                      show this help and exit\n"
         "  --version                   show the version and exit\n"
         "\n"
         "Exit status: 0 success, 1 the import failed, 2 wrong command line.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine c;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      positional.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      c.action = CommandLine::Action::Help;
      return c;
    }
    if (a == "--version") {
      c.action = CommandLine::Action::Version;
      return c;
    }
    std::string name = a;
    std::optional<std::string> value;
    if (const auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    }
    const bool takesValue =
        name == "--group-by" || name == "--elevation" || name == "--default-elevation" || name == "--title";
    if (name == "--force" || name == "--species-only") {
      if (value) return usageError("option " + name + " takes no value");
      (name == "--force" ? c.options.force : c.options.speciesOnly) = true;
      continue;
    }
    if (!takesValue) return usageError("unknown option " + name);
    if (!value) {
      if (k + 1 >= args.size()) return usageError("option " + name + " needs a value");
      value = args[++k];
    }
    if (name == "--group-by") {
      if (value->empty()) return usageError("option --group-by needs \"location\" or a deploymentGroups key");
      c.options.groupBy = *value;
    } else if (name == "--elevation") {
      if (value->empty()) return usageError("option --elevation needs a file name");
      c.options.elevationFile = *value;
    } else if (name == "--default-elevation") {
      const auto metres = parseMetres(*value);
      if (!metres || *metres < -9999 || *metres > 99999)
        return usageError("option --default-elevation needs whole metres from -9999 to 99999, not \"" + *value + "\"");
      c.options.defaultElevation = *metres;
    } else {
      c.options.title = *value;
    }
  }
  if (positional.size() != 2)
    return usageError(positional.size() < 2 ? "PACKAGE_DIR and STUDY_DIR are both needed"
                                            : "too many arguments: \"" + positional[2] + "\"");
  c.options.packageDir = positional[0];
  c.options.studyDir = positional[1];
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
