#include "driver/command_line.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <system_error>

#ifndef MORVELSTRAND_VERSION
#define MORVELSTRAND_VERSION "unknown"
#endif

namespace mv {

const char* programVersion() { return MORVELSTRAND_VERSION; }

namespace {

constexpr const char* kDescription =
    "Analyses the camera-trap study in STUDY_DIR (default: the current folder): checks\n"
    "every line of AllPictures.txt against Input.txt and GroupMap.txt, writes rejected\n"
    "lines to Reject.txt and the report to OutputGroups.txt.\n"
    "Without options it asks for the PERIOD on the console and waits for Enter at the end.";

constexpr const char* kFooter =
    "Exit status:\n"
    "  0  the report was written\n"
    "  1  the run ended early (missing or unreadable file, bad PERIOD, limits, write error)\n"
    "  2  wrong command line";

namespace fs = std::filesystem;

// The study's own files, which no other output may replace.
constexpr const char* kStudyFiles[] = {"AllPictures.txt",  "Input.txt",  "GroupMap.txt",
                                       "OutputGroups.txt", "Reject.txt", "FinalPicsList.txt"};

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// What is wrong with the page's file name, or empty when nothing is: its
// folder must exist, it must not be a folder itself, and it must not be one
// of the study's files (found by what the names lead to, not by their
// spelling) or lie in the tables folder, whose content the tables replace.
std::string pageProblem(const fs::path& page, const fs::path& studyDir, const std::optional<fs::path>& tables) {
  std::error_code ec;
  const fs::path folder = page.parent_path();
  if (page.filename().empty() || fs::is_directory(page, ec)) return "is a folder: " + page.string();
  if (!fs::is_directory(folder, ec)) return "folder does not exist: " + folder.string();
  const std::string name = page.filename().string();
  for (const char* file : kStudyFiles)
    if (sameFile(page, studyDir / file) || (sameFile(folder, studyDir) && sameNameIgnoringCase(name, file)))
      return "would replace the study's " + std::string(file) + ": " + page.string();
  // A tables folder not made yet could take the page's very name.
  if (tables && fs::weakly_canonical(fs::absolute(*tables), ec) == fs::weakly_canonical(page, ec))
    return "is the --tables folder: " + page.string();
  if (tables && fs::is_directory(*tables, ec)) {
    for (fs::path p = fs::weakly_canonical(folder, ec); !ec; p = p.parent_path()) {
      if (sameFile(p, *tables)) return "lies in the --tables folder: " + page.string();
      if (p == p.parent_path()) break;
    }
  }
  return {};
}

}  // namespace

std::optional<int> parseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::ostream& out,
                                    std::ostream& err) {
  CLI::App app(kDescription, "morvelstrand");
  app.set_help_flag("-h,--help", "Show this help and exit");
  app.footer(kFooter);
  app.get_formatter()->column_width(26);

  bool version = false;
  bool noWait = false;
  bool quiet = false;
  long long period = 0;
  std::string studyDir;
  app.add_flag("--version", version, "Show the version and exit");
  CLI::Option* periodOption =
      app.add_option("--period", period, "Independence PERIOD, 1 to 1440 minutes: no prompt, no waits")
          ->type_name("MINUTES");
  app.add_flag("--no-wait", noWait, "No waits for Enter");
  app.add_flag("--quiet", quiet, "No progress lines; messages to stderr")->needs(periodOption);
  std::string tables;
  int occasionDays = 7;
  CLI::Option* tablesOption =
      app.add_option("--tables", tables,
                     "Also write the report's numbers as CSV tables with a datapackage.json into DIR")
          ->type_name("DIR");
  app.add_option("--occasion-days", occasionDays,
                 "Days per occasion of the detection history in the tables (default 7)")
      ->type_name("K")
      ->check(CLI::Range(1, 100000))
      ->needs(tablesOption);
  std::string html;
  CLI::Option* htmlOption =
      app.add_option("--html", html, "Also write a page with plots (one self-contained HTML file)")->type_name("FILE");
  int overlapSpecies = line.options.activity.overlapSpecies;
  int bootstrap = line.options.activity.bootstrap;
  std::uint64_t seed = line.options.activity.seed;
  CLI::Option* activityOptions[] = {
      app.add_option("--overlap-species", overlapSpecies,
                     "Species whose activity overlap is compared pair by pair, most events first (default 10)")
          ->type_name("N")
          ->check(CLI::Range(0, 1000)),
      app.add_option("--bootstrap", bootstrap,
                     "Bootstrap replicates of the overlap and activity level intervals, 0 for none (default 999)")
          ->type_name("N")
          ->check(CLI::Range(0, 1000000)),
      app.add_option("--seed", seed, "Seed of the bootstrap's random numbers (default 1)")->type_name("S"),
  };
  app.add_option("STUDY_DIR", studyDir, "The study folder (default: the current folder)")
      ->check(CLI::ExistingDirectory);

  // CLI11 takes the arguments last to first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitReport;
  } catch (const CLI::ParseError& e) {
    err << "morvelstrand: " << e.what() << " (see morvelstrand --help)\n";
    return kExitCommandLine;
  }
  // The activity analysis goes only into the tables and the page.
  for (const CLI::Option* o : activityOptions)
    if (*o && tables.empty() && html.empty()) {
      err << "morvelstrand: " << o->get_name() << " needs --tables or --html (see morvelstrand --help)\n";
      return kExitCommandLine;
    }
  if (version) {
    out << "morvelstrand " << programVersion() << "\n";
    return kExitReport;
  }

  line.studyDir = studyDir.empty() ? std::filesystem::current_path() : std::filesystem::path(studyDir);
  if (*periodOption) {
    // A value too large for the table is out of range like any other.
    line.options.period = period >= INT_MIN && period <= INT_MAX ? static_cast<int>(period) : 0;
    noWait = true;
  }
  const auto wrong = [&err](const std::string& what) {
    err << "morvelstrand: " << what << " (see morvelstrand --help)\n";
    return kExitCommandLine;
  };
  if (*tablesOption) {
    if (tables.empty()) return wrong("--tables: the folder name is empty");
    line.options.tables = std::filesystem::path(tables);
  }
  line.options.occasionDays = occasionDays;
  // A relative page name is taken from the folder the program was started
  // in, as the study folder is. It is checked before anything is read.
  if (*htmlOption) {
    if (html.empty()) return wrong("--html: the file name is empty");
    line.options.html = std::filesystem::absolute(html);
    const std::string problem = pageProblem(*line.options.html, line.studyDir, line.options.tables);
    if (!problem.empty()) return wrong("--html: " + problem);
  }
  line.options.activity.overlapSpecies = overlapSpecies;
  line.options.activity.bootstrap = bootstrap;
  line.options.activity.seed = seed;
  line.options.console.noWait = noWait;
  line.options.console.quiet = quiet;
  return std::nullopt;
}

}  // namespace mv
