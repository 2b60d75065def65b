#include "tables/tables.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>
#include <utility>

#include "abundance/abundance.hpp"
#include "tables/activity_tables.hpp"
#include "effort/effort.hpp"
#include "input/input.hpp"
#include "model/labels.hpp"
#include "model/utf8_text.hpp"
#include "tables/estimate_tables.hpp"
#include "tallies/tallies.hpp"

namespace mv {

namespace {

// A field of a table: its name and its Table Schema type (integer, number,
// string or date).
struct Field {
  const char* name;
  const char* type;
  const char* description;
};

struct TableSchema {
  const char* name;  // resource name; the file is name + ".csv"
  const char* title;
  std::vector<Field> fields;
  std::vector<const char*> primaryKey;
};

const std::vector<TableSchema>& tableSchemas() {
  static const std::vector<TableSchema> schemas = {
      {"groups",
       "Groups: locations, operating dates, camera trap days, average position and area",
       {{"group", "string", "Group name"},
        {"locations", "integer", "Camera locations of the group"},
        {"start_date", "date", "Earliest start of any operating period of the group"},
        {"stop_date", "date", "Latest stop of any operating period of the group"},
        {"trap_days", "integer", "Camera trap days, all years"},
        {"easting", "integer", "Mean UTM east-west coordinate (m); empty when no location has a position"},
        {"northing", "integer", "Mean UTM north-south coordinate (m)"},
        {"elevation", "integer", "Mean elevation (m)"},
        {"area_km2", "number", "Area spanned by the camera positions; empty below three positions or no area"}},
       {"group"}},
      {"trap_days",
       "Camera trap days per group, year and month",
       {{"group", "string", "Group name"},
        {"year", "integer", "Calendar year"},
        {"month", "integer", "Month 1-12"},
        {"trap_days", "integer", "Camera trap days"}},
       {"group", "year", "month"}},
      {"pictures",
       "Pictures per group, species, year and month (months without pictures are left out)",
       {{"group", "string", "Group name"},
        {"species", "string", "Species name"},
        {"year", "integer", "Calendar year"},
        {"month", "integer", "Month 1-12"},
        {"all", "integer", "All accepted pictures"},
        {"activity", "integer", "Activity pictures (the first of each clock hour)"},
        {"independent", "integer", "Independent pictures (records, one per PERIOD)"},
        {"individuals", "integer", "Individuals of the independent pictures"}},
       {"group", "species", "year", "month"}},
      {"events",
       "Independent events: the pictures of a group and species from one independent picture to the next",
       {{"event", "integer", "Event number from 1, in the order of the picture list"},
        {"group", "string", "Group name"},
        {"species", "string", "Species name"},
        {"start_date", "date", "Date of the picture that starts the event"},
        {"start_time", "time", "Time of that picture"},
        {"pictures", "integer", "Listed pictures of the event"},
        {"individuals", "integer", "Largest number of individuals in one picture of the event"}},
       {"event"}},
      {"activity_hour",
       "Activity pictures per species, month and hour of day",
       {{"species", "string", "Species name"},
        {"month", "integer", "Month 1-12"},
        {"hour", "integer", "Hour of day 0-23"},
        {"activity", "integer", "Activity pictures"}},
       {"species", "month", "hour"}},
      {"activity_season",
       "Activity pictures per species, season and hour of day",
       {{"species", "string", "Species name"},
        {"season", "string", "Dec-Jan-Feb, Mar-Apr-May, Jun-Jul-Aug or Sep-Oct-Nov"},
        {"hour", "integer", "Hour of day 0-23"},
        {"activity", "integer", "Activity pictures"}},
       {"species", "season", "hour"}},
      {"activity_moon",
       "Activity pictures per species within five days of full and new moon, by hour of day",
       {{"species", "string", "Species name"},
        {"phase", "string", "full or new"},
        {"hour", "integer", "Hour of day 0-23"},
        {"activity", "integer", "Activity pictures"}},
       {"species", "phase", "hour"}},
      {"detection_rates",
       "Independent pictures per 100 camera trap days per group and species, per year and over all years",
       {{"group", "string", "Group name"},
        {"species", "string", "Species name"},
        {"year", "integer", "Calendar year; empty for all years together"},
        {"records", "integer", "Independent pictures"},
        {"trap_days", "integer", "Camera trap days"},
        {"rate", "number", "Records per 100 camera trap days"}},
       {"group", "species", "year"}},
      {"occupancy",
       "Naive occupancy: groups where each species was photographed",
       {{"species", "string", "Species name"},
        {"occupied_groups", "integer", "Groups with a picture of the species"},
        {"proportion", "number", "Proportion of all groups"}},
       {"species"}},
      {"distances",
       "Distances between the average positions of groups",
       {{"group_a", "string", "Group name"},
        {"group_b", "string", "Group name (after group_a)"},
        {"km", "number", "Distance in km"}},
       {"group_a", "group_b"}},
      {"accumulation",
       "Species accumulation curve: study days on which species were first photographed",
       {{"day", "integer", "Study day (1 is the first day a camera operated)"},
        {"date", "date", "Date of the study day"},
        {"new_species", "integer", "Species first photographed that day"},
        {"species_so_far", "integer", "Species photographed up to that day"}},
       {"day"}},
      {"detection_history",
       "Detection history per species and group over occasions of equal length",
       {{"species", "string", "Species name"},
        {"group", "string", "Group name"},
        {"occasion", "integer", "Occasion number from 1"},
        {"occasion_start", "date", "First day of the occasion"},
        {"detected", "integer", "1 when photographed in the occasion, 0 when not; empty without camera trap days"}},
       {"species", "group", "occasion"}},
      {"activity_density",
       "Kernel density of each species' activity over the day (times of day on the study's clock)",
       {{"species", "string", "Species name"},
        {"hour", "number", "Time of day in hours on the study's clock, 24 i / 512 for i = 0..511"},
        {"density", "number", "Von Mises kernel density of the events' start times, per hour (1 over the whole day)"}},
       {"species", "hour"}},
      {"activity_level",
       "Activity level: the share of the day each species is active, with a resampling interval",
       {{"species", "string", "Species name"},
        {"events", "integer", "Independent events"},
        {"density_bandwidth", "number", "Concentration of the kernel of the density curve; empty without one"},
        {"bandwidth", "number", "Concentration of the kernel of the activity level"},
        {"max_density", "number", "Largest kernel density (per radian) at 513 times of day"},
        {"activity_level", "number", "1 / (2 pi max_density)"},
        {"replicates", "integer", "Resamples of the events that gave a level"},
        {"se", "number", "Standard deviation of the resamples' levels"},
        {"lcl", "number", "2.5 % quantile of the resamples' levels"},
        {"ucl", "number", "97.5 % quantile of the resamples' levels"},
        {"note", "string", "Why values are missing"}},
       {"species"}},
      {"overlap",
       "Coefficient of overlap of the activity of pairs of the most recorded species, with smoothed-bootstrap "
       "intervals",
       {{"species_a", "string", "Species name"},
        {"species_b", "string", "Species name"},
        {"events_a", "integer", "Independent events of species_a"},
        {"events_b", "integer", "Independent events of species_b"},
        {"bandwidth_a", "number", "Kernel concentration of species_a"},
        {"bandwidth_b", "number", "Kernel concentration of species_b"},
        {"dhat1", "number", "Dhat1: overlap of the densities on a 128-point grid"},
        {"dhat4", "number", "Dhat4: overlap from the density ratios at the events"},
        {"dhat5", "number", "Dhat5 (may exceed 1; not recommended)"},
        {"estimator", "string", "Recommended estimator: Dhat4 when the smaller sample exceeds 75 events, else Dhat1"},
        {"estimate", "number", "The recommended estimate"},
        {"replicates", "integer", "Bootstrap replicates in which both bandwidths were found"},
        {"boot_mean", "number", "Mean of the replicates"},
        {"boot_sd", "number", "Standard deviation of the replicates"},
        {"basic0_lcl", "number", "95 % basic0 interval (percentile less the bias), lower end"},
        {"basic0_ucl", "number", "95 % basic0 interval, upper end"},
        {"norm0_lcl", "number", "95 % normal interval around the estimate, lower end"},
        {"norm0_ucl", "number", "95 % normal interval, upper end"},
        {"perc_lcl", "number", "95 % percentile interval, lower end"},
        {"perc_ucl", "number", "95 % percentile interval, upper end"},
        {"note", "string", "Why values are missing"}},
       {"species_a", "species_b"}},
      {"occupancy_models",
       "Occupancy per species with groups as sites, from the detection history: the single-season occupancy model "
       "(psi, p) and the Royle-Nichols model (lambda, r; Poisson abundance summed to 25), both fitted by exact maximum "
       "likelihood; standard errors from the analytic Hessian, 95% Wald intervals on the logit (probabilities) or log "
       "(lambda) scale",
       {{"species", "string", "Species name"},
        {"sites", "integer", "Groups with camera trap days in at least one occasion"},
        {"occasions", "integer", "Occasions with camera trap days, all groups"},
        {"sites_detected", "integer", "Groups where the species was detected"},
        {"detections", "integer", "Occasions with a detection, all groups"},
        {"naive_occupancy", "number", "sites_detected / sites"},
        {"psi", "number", "Occupancy probability (maximum likelihood); empty when flagged without an estimate"},
        {"psi_se", "number", "Standard error of psi (delta method from the logit scale); empty with a flag"},
        {"psi_lcl", "number", "Lower 95% Wald limit of psi, made on the logit scale"},
        {"psi_ucl", "number", "Upper 95% Wald limit of psi, made on the logit scale"},
        {"p", "number", "Detection probability per occasion at an occupied group"},
        {"p_se", "number", "Standard error of p"},
        {"p_lcl", "number", "Lower 95% Wald limit of p (logit scale)"},
        {"p_ucl", "number", "Upper 95% Wald limit of p (logit scale)"},
        {"loglik", "number", "Log-likelihood at the maximum"},
        {"aic", "number", "AIC = -2 loglik + 4"},
        {"flag", "string",
         "Empty for an interior estimate; no_detection, one_site, one_occasion, all_detected (no estimate), boundary "
         "(an estimate at 0 or 1) or singular (Hessian singular, no standard errors)"},
        {"reason", "string", "What the flag means for this species"},
        {"rn_lambda", "number", "Royle-Nichols mean abundance per group"},
        {"rn_lambda_se", "number", "Standard error of lambda (delta method from the log scale)"},
        {"rn_lambda_lcl", "number", "Lower 95% Wald limit of lambda (log scale)"},
        {"rn_lambda_ucl", "number", "Upper 95% Wald limit of lambda (log scale)"},
        {"rn_r", "number", "Royle-Nichols detection probability of one animal per occasion"},
        {"rn_r_se", "number", "Standard error of r"},
        {"rn_r_lcl", "number", "Lower 95% Wald limit of r (logit scale)"},
        {"rn_r_ucl", "number", "Upper 95% Wald limit of r (logit scale)"},
        {"rn_psi", "number", "Occupancy implied by the Royle-Nichols fit, 1 - exp(-lambda)"},
        {"rn_loglik", "number", "Royle-Nichols log-likelihood at the maximum"},
        {"rn_aic", "number", "Royle-Nichols AIC"},
        {"rn_flag", "string", "As flag, for the Royle-Nichols fit"},
        {"rn_reason", "string", "What rn_flag means for this species"}},
       {"species"}},
      {"abundance_index",
       "Relative abundance index per species: independent events per 100 camera trap days over all groups, with "
       "the ratio-estimator interval over groups as sampling units (Fewster et al. 2009 R2; normal, truncated at 0) "
       "and the exact Poisson (Garwood) interval of the event count",
       {{"species", "string", "Species name"},
        {"events", "integer", "Independent events in groups with camera trap days"},
        {"trap_days", "integer", "Camera trap days of all groups"},
        {"groups", "integer", "Groups with camera trap days (the sampling units)"},
        {"rai", "number", "Events per 100 camera trap days"},
        {"ratio_se", "number", "Standard error of rai, ratio estimator over groups; empty with one group"},
        {"ratio_lcl", "number", "Lower 95% limit, rai - 1.96 ratio_se, at least 0"},
        {"ratio_ucl", "number", "Upper 95% limit, rai + 1.96 ratio_se"},
        {"poisson_lcl", "number", "Lower 95% exact Poisson limit per 100 camera trap days"},
        {"poisson_ucl", "number", "Upper 95% exact Poisson limit per 100 camera trap days"},
        {"reason", "string", "Why a value is empty"}},
       {"species"}},
      {"richness",
       "Species richness: observed, Chao2, first- and second-order jackknife and bootstrap from incidence with "
       "groups as sampling units (small-sample factor (n-1)/n for Chao2 and the jackknifes), bias-corrected Chao1 "
       "and ACE (rare: 10 events or fewer) from the species' event totals; standard errors by the estimators' "
       "closed forms, for ACE by the delta method with multinomial frequency counts",
       {{"estimator", "string", "observed, chao2, jackknife1, jackknife2, bootstrap, chao1 or ace"},
        {"data", "string", "incidence (species in groups) or events (event totals)"},
        {"groups", "integer", "Groups used: those with camera trap days or events"},
        {"value", "number", "Estimated number of species"},
        {"se", "number", "Standard error; empty where the estimator has none"},
        {"reason", "string", "Why a value is empty"}},
       {"estimator"}},
      {"rejects",
       "Rejected lines of AllPictures.txt",
       {{"line", "integer", "Line number in AllPictures.txt"},
        {"reason", "string", "Reason as in Reject.txt"},
        {"raw_line", "string", "The line as read"}},
       {"line"}},
  };
  return schemas;
}

const TableSchema& schemaOf(std::string_view name) {
  for (const TableSchema& t : tableSchemas())
    if (name == t.name) return t;
  std::abort();  // every name used below is in the list
}

void header(CsvWriter& csv, const TableSchema& t) {
  for (const Field& f : t.fields) csv.text(f.name);
  csv.endRow();
}

// The package's name, by which a datapackage.json of ours is told from
// anyone else's.
constexpr const char* kPackageName = "morvelstrand-tables";

nlohmann::ordered_json packageJson(const StudyInput& st, int replicates, std::uint64_t seed) {
  nlohmann::ordered_json package;
  package["profile"] = "tabular-data-package";
  package["name"] = kPackageName;
  package["title"] = utf8Field(st.TITLE);
  // What makes the intervals of activity_level and overlap reproducible.
  package["bootstrap"] = {{"replicates", replicates}, {"seed", seed}};
  auto& resources = package["resources"] = nlohmann::ordered_json::array();
  for (const TableSchema& t : tableSchemas()) {
    nlohmann::ordered_json r;
    r["name"] = t.name;
    r["path"] = std::string(t.name) + ".csv";
    r["profile"] = "tabular-data-resource";
    r["title"] = t.title;
    r["format"] = "csv";
    r["mediatype"] = "text/csv";
    r["encoding"] = "utf-8";
    r["dialect"] = {
        {"delimiter", ","}, {"lineTerminator", "\r\n"}, {"quoteChar", "\""}, {"doubleQuote", true}, {"header", true}};
    auto& fields = r["schema"]["fields"] = nlohmann::ordered_json::array();
    for (const Field& f : t.fields)
      fields.push_back({{"name", f.name}, {"type", f.type}, {"description", f.description}});
    r["schema"]["primaryKey"] = t.primaryKey;
    r["schema"]["missingValues"] = nlohmann::ordered_json::array({""});
    resources.push_back(std::move(r));
  }
  return package;
}

// The names of the package's files, ending with a null pointer (for the
// signal handler, which removes them from an unfinished package).
const char* const* packageFiles() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const TableSchema& t : tableSchemas()) n.push_back(std::string(t.name) + ".csv");
    n.emplace_back("datapackage.json");
    return n;
  }();
  static const std::vector<const char*> pointers = [] {
    std::vector<const char*> p;
    for (const std::string& n : names) p.push_back(n.c_str());
    p.push_back(nullptr);
    return p;
  }();
  return pointers.data();
}

std::vector<std::string_view> packageFileNames() {
  std::vector<std::string_view> names;
  for (const char* const* n = packageFiles(); *n != nullptr; ++n) names.emplace_back(*n);
  return names;
}

// Whether `path` is a datapackage.json that this program wrote: its name
// is ours (as it has been from the first package on).
bool ourPackage(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec))) return false;
  // Ours is a few tens of kilobytes; anything far larger is not.
  constexpr std::uintmax_t kLargest = std::uintmax_t{16} << 20;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kLargest) return false;
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const nlohmann::json package = nlohmann::json::parse(text, nullptr, false);
  if (!package.is_object()) return false;
  const auto name = package.find("name");
  return name != package.end() && name->is_string() && name->get<std::string>() == kPackageName;
}

// The permission bits of a folder or file.
mode_t permissionBits(const std::filesystem::path& path, mode_t otherwise) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<mode_t>(info.st_mode & 0777) : otherwise;
}

}  // namespace

std::string dayNumberDate(int base, int dayNumber) {
  int year = base;
  int day = dayNumber;
  while (true) {
    const int length = monthLength(year, 2) == 29 ? 366 : 365;
    if (day <= length) break;
    day -= length;
    ++year;
  }
  int month = 1;
  while (month < 12 && day > monthLength(year, month)) day -= monthLength(year, month++);
  return isoDate(year, month, day);
}

TablesPackage::TablesPackage(std::filesystem::path dir, int occasionDays)
    : dir_(std::move(dir)), occasionDays_(std::max(1, occasionDays)) {}

bool TablesPackage::fail(std::string_view file, const std::string& why) {
  error_ = (file.empty() ? dir_ : dir_ / file).string() + ": " + why;
  return false;
}

bool TablesPackage::start() {
  std::error_code ec;
  std::filesystem::create_directories(dir_, ec);
  if (ec) return fail("", ec.message());
  if (!std::filesystem::is_directory(dir_, ec)) return fail("", std::strerror(ENOTDIR));
  // A DIR that is a link to a folder is written where the link leads.
  real_ = std::filesystem::canonical(std::filesystem::absolute(dir_), ec);
  if (ec) return fail("", ec.message());
  // The new package is made beside DIR and swapped with it, which the top
  // folder of a file system (a mounted drive, say) cannot be.
  struct stat self {};
  struct stat parent {};
  if (real_ == real_.root_path() || (::stat(real_.c_str(), &self) == 0 &&
                                     ::stat(real_.parent_path().c_str(), &parent) == 0 && self.st_dev != parent.st_dev))
    return fail("", "the top folder of a file system; the tables need a folder inside it");
  const std::string leaf = real_.filename().string();
  // Looked at before the lock too, so that a folder that is no place for
  // the tables (the study folder, say) is named as such.
  if (!checkContents()) return false;
  switch (lock_.acquire(real_, real_.parent_path() / ("." + leaf + ".morvelstrand.lock"))) {
    case FolderLock::Outcome::Locked:
      break;
    case FolderLock::Outcome::Busy:
      return fail("", "another run is writing tables into this folder");
    case FolderLock::Outcome::Missing:
      return fail("", std::strerror(ENOENT));
    case FolderLock::Outcome::Failed:
      return fail("", "cannot lock the folder: " + lock_.errorText());
  }
  // Under the lock, the temporary files and folders found are those of
  // runs that were killed before they could remove them.
  const std::vector<std::string_view> files = packageFileNames();
  leftOvers_ = removeTemporaries(real_, files);
  const std::string_view folderName[] = {leaf};
  leftOvers_ += removeTemporaries(real_.parent_path(), folderName, true);
  if (!checkContents()) return false;

  // The new package's folder, beside DIR and with its permission bits.
  std::string name = (real_.parent_path() / ("." + leaf + ".XXXXXX")).string();
  {
    const TerminationSignalsHeld held;
    if (::mkdtemp(name.data()) == nullptr)
      return fail("", "cannot make the new package's folder beside it: " + std::string(std::strerror(errno)));
    staging_ = name;
    stagingSlot_ = addFolderToRemovalList(staging_, packageFiles());
  }
  ::chmod(staging_.c_str(), permissionBits(real_, 0755));

  if (!rejects_.open(staging_ / "rejects.csv")) return fail("rejects.csv", rejects_.errorText());
  header(rejects_, schemaOf("rejects"));
  // Events come one at a time all through the picture loop; their file is
  // written by a thread of its own.
  if (!events_.open(staging_ / "events.csv", true)) return fail("events.csv", events_.errorText());
  header(events_, schemaOf("events"));
  return true;
}

// DIR goes as a whole with the swap: it may hold a package of ours and
// nothing else.
bool TablesPackage::checkContents() {
  const std::vector<std::string_view> files = packageFileNames();
  std::error_code ec;
  // Anyone else's package is named first, whatever else lies beside it.
  if (std::filesystem::exists(std::filesystem::symlink_status(real_ / "datapackage.json", ec)) &&
      !ourPackage(real_ / "datapackage.json"))
    return fail("datapackage.json",
                "a data package this program did not write (left as it is; the tables need a folder of their own)");
  std::filesystem::directory_iterator it(real_, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (isTemporaryOf(name, files)) continue;  // of a killed run: removed under the lock
    if (name != "datapackage.json" && std::find(files.begin(), files.end(), name) == files.end())
      return fail(name, "not a file of a tables package (left as it is; the tables need a folder of their own)");
  }
  if (ec) return fail("", ec.message());
  return true;
}

// The complete package takes the place of DIR in one step, and what DIR
// held goes. Where the file system cannot swap two names at once, DIR is
// moved aside first and moved back should the new folder not take its
// place.
bool TablesPackage::swapIn() {
  // Files that replace files of the earlier package keep their permission
  // bits.
  for (const char* const* n = packageFiles(); *n != nullptr; ++n) {
    struct stat old {};
    if (::stat((real_ / *n).c_str(), &old) == 0 && S_ISREG(old.st_mode))
      ::chmod((staging_ / *n).c_str(), static_cast<mode_t>(old.st_mode & 0777));
  }
  if (::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, real_.c_str(), RENAME_EXCHANGE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return fail("", std::strerror(errno));
    // The name appended piece by piece: GCC 12 at -O3 takes `"." +
    // std::string` for an overlapping copy and warns (-Wrestrict).
    std::string name = ".";
    name += real_.filename().string();
    name += ".XXXXXX";
    std::string aside = (real_.parent_path() / name).string();
    if (::mkdtemp(aside.data()) == nullptr) return fail("", std::strerror(errno));
    // A folder renamed over an empty one takes its place.
    if (std::rename(real_.c_str(), aside.c_str()) != 0) {
      const int error = errno;
      ::rmdir(aside.c_str());
      return fail("", std::strerror(error));
    }
    if (std::rename(staging_.c_str(), real_.c_str()) != 0) {
      const int error = errno;
      std::rename(aside.c_str(), real_.c_str());
      return fail("", std::strerror(error));
    }
    dropFolderFromRemovalList(stagingSlot_);
    stagingSlot_ = -1;
    staging_ = aside;
  }
  // The earlier package now lies under the new folder's name.
  swapped_ = true;
  std::error_code ignored;
  std::filesystem::remove_all(staging_, ignored);
  dropFolderFromRemovalList(stagingSlot_);
  stagingSlot_ = -1;
  staging_.clear();
  return true;
}

bool TablesPackage::prepare(const StudyInput& st) {
  firstDay_ = st.FIRSTDAY;
  days_ = std::max(0, st.LASTDAY - st.FIRSTDAY + 1);
  species_ = st.NSPECIES;
  seen_.assign(static_cast<std::size_t>(std::max(0, st.NGROUPS)) * static_cast<std::size_t>(std::max(0, species_)), {});
  groupFields_.assign(static_cast<std::size_t>(std::max(0, st.NGROUPS)) + 1, {});
  for (int g = 1; g <= st.NGROUPS; ++g)
    appendCsvField(groupFields_[static_cast<std::size_t>(g)], utf8Field(st.GROUPNAME(g)));
  speciesFields_.assign(static_cast<std::size_t>(std::max(0, species_)) + 1, {});
  eventsPerPair_.assign(seen_.size(), 0);
  for (int s = 1; s <= species_; ++s)
    appendCsvField(speciesFields_[static_cast<std::size_t>(s)], utf8Field(st.SPECIESNAME(s)));
  // The description is made now, before the report: nothing it could fail
  // on is found only once the report has replaced the last one.
  return describe(st);
}

bool TablesPackage::describe(const StudyInput& st) {
  // Every text of it is UTF-8 already; should one not be, the writer puts
  // U+FFFD in its place rather than stop.
  try {
    description_ = packageJson(st, bootstrapReplicates_, bootstrapSeed_)
                       .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  } catch (const nlohmann::ordered_json::exception&) {
    description_.clear();
    return fail("datapackage.json", "the description of the tables cannot be made");
  }
  description_ += '\n';
  return true;
}

void TablesPackage::rejected(long lineNumber, std::string_view reason, std::string_view line) {
  if (isUtf8(line) && isUtf8(reason)) {
    rejects_.integer(lineNumber).text(reason).text(line).endRow();
    return;
  }
  // The reason may end in a name field of the line, with its bytes.
  rejects_.integer(lineNumber).text(utf8Text(reason)).text(utf8Text(line)).endRow();
  if (notUtf8Rejects_++ == 0) firstNotUtf8Reject_ = lineNumber;
}

void TablesPackage::listed(std::span<const ListedPicture> pictures) {
  for (const ListedPicture& p : pictures) {
    const int d = p.dayNumber - firstDay_;
    if (d < 0 || d >= days_) continue;
    // Pictures come in bursts of one group, species and day: only the first
    // of a burst needs to reach the bits.
    if (p.group == lastGroup_ && p.species == lastSpecies_ && p.dayNumber == lastDay_) continue;
    lastGroup_ = p.group;
    lastSpecies_ = p.species;
    lastDay_ = p.dayNumber;
    auto& bits = seen_[static_cast<std::size_t>(p.group - 1) * static_cast<std::size_t>(species_) +
                       static_cast<std::size_t>(p.species - 1)];
    if (bits.empty()) bits.assign((static_cast<std::size_t>(days_) + 63) / 64, 0);
    bits[static_cast<std::size_t>(d) / 64] |= std::uint64_t{1} << (d % 64);
  }
}

void TablesPackage::eventClosed(const IndependentEvent& event) {
  const ListedPicture& p = event.start;
  char when[40];
  char* end = putIsoDate(when, p.year, p.month, p.day);
  *end++ = ',';
  end = putZeroFilled(end, p.hour, 2);
  *end++ = ':';
  end = putZeroFilled(end, p.minute, 2);
  *end++ = ':';
  end = putZeroFilled(end, p.second, 2);
  if (p.group >= 1 && p.species >= 1 && p.species <= species_ &&
      static_cast<std::size_t>(p.group - 1) * static_cast<std::size_t>(species_) < eventsPerPair_.size())
    ++eventsPerPair_[static_cast<std::size_t>(p.group - 1) * static_cast<std::size_t>(species_) +
                     static_cast<std::size_t>(p.species - 1)];
  events_.integer(++eventCount_)
      .field(groupFields_[static_cast<std::size_t>(p.group)])
      .field(speciesFields_[static_cast<std::size_t>(p.species)])
      .field(std::string_view(when, static_cast<std::size_t>(end - when)))
      .integer(event.pictures)
      .integer(event.individuals)
      .endRow();
}

bool TablesPackage::write(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                          const GroupPositions& positions) {
  if (description_.empty() && !describe(st)) return false;
  CsvWriter csv;
  // Runs one table: opens its file, writes the header and the rows, and
  // renames the complete file into place.
  const auto table = [&](const char* name, const std::function<void(CsvWriter&)>& rows) {
    const std::string file = std::string(name) + ".csv";
    if (!csv.open(staging_ / file)) return fail(file, csv.errorText());
    header(csv, schemaOf(name));
    rows(csv);
    if (!csv.commit()) return fail(file, csv.errorText());
    return true;
  };
  // The names as UTF-8, each made once.
  std::vector<std::string> groupNames(static_cast<std::size_t>(std::max(0, st.NGROUPS)) + 1);
  for (int g = 1; g <= st.NGROUPS; ++g) groupNames[static_cast<std::size_t>(g)] = utf8Field(st.GROUPNAME(g));
  std::vector<std::string> speciesNames(static_cast<std::size_t>(std::max(0, st.NSPECIES)) + 1);
  for (int s = 1; s <= st.NSPECIES; ++s) speciesNames[static_cast<std::size_t>(s)] = utf8Field(st.SPECIESNAME(s));
  const auto group = [&](int g) -> std::string_view { return groupNames[static_cast<std::size_t>(g)]; };
  const auto species = [&](int s) -> std::string_view { return speciesNames[static_cast<std::size_t>(s)]; };
  // "group,species," of every pair, quoted once, for the largest table.
  std::vector<std::string> quotedSpecies(static_cast<std::size_t>(st.NSPECIES) + 1);
  for (int s = 1; s <= st.NSPECIES; ++s) appendCsvField(quotedSpecies[static_cast<std::size_t>(s)], species(s));
  const Range years = st.years();
  const ActivityAnalysis none;
  const ActivityAnalysis& activity = activity_ ? *activity_ : none;
  std::vector<std::string_view> estimateSpecies;  // from species 1, numbered from 0
  for (int s = 1; s <= st.NSPECIES; ++s) estimateSpecies.push_back(species(s));

  const bool written =
      table("groups",
            [&](CsvWriter& w) {
              const std::vector<GroupArea> areas = groupAreas(st);
              for (int g = 1; g <= st.NGROUPS; ++g) {
                w.text(group(g)).integer(st.GROUPSIZE(g));
                // A group without operating periods has no dates.
                // The dates counted, which a calendar has: 31 September is
                // 1 October.
                if (effort.GROUPSTART(g, kDayNumber) != kNoStartDay)
                  w.text(countedIsoDate(effort.GROUPSTART(g, kYear), effort.GROUPSTART(g, kMonth),
                                        effort.GROUPSTART(g, kDay)))
                      .text(countedIsoDate(effort.GROUPSTOP(g, kYear), effort.GROUPSTOP(g, kMonth),
                                           effort.GROUPSTOP(g, kDay)));
                else
                  w.empty().empty();
                int days = 0;
                for (int y = years.lo; y <= years.hi; ++y)
                  for (int m = 1; m <= 12; ++m) days += effort.GROUPTRAPDAYS(g, y, m);
                w.integer(days);
                // No location with a position and an elevation: no average.
                if (positions.GROUPUTM(g, 1) == 0 && positions.GROUPUTM(g, 2) == 0 && positions.GROUPELEV(g) == 0)
                  w.empty().empty().empty();
                else
                  w.integer(positions.GROUPUTM(g, 1)).integer(positions.GROUPUTM(g, 2)).integer(positions.GROUPELEV(g));
                const GroupArea& a = areas[static_cast<std::size_t>(g)];
                if (a.spanned && a.positive)
                  w.real(a.km2);
                else
                  w.empty();
                w.endRow();
              }
            }) &&
      table("trap_days",
            [&](CsvWriter& w) {
              for (int g = 1; g <= st.NGROUPS; ++g)
                for (int y = years.lo; y <= years.hi; ++y)
                  for (int m = 1; m <= 12; ++m)
                    w.text(group(g)).integer(y).integer(m).integer(effort.GROUPTRAPDAYS(g, y, m)).endRow();
            }) &&
      table("pictures",
            [&](CsvWriter& w) {
              std::string pairs;
              for (int g = 1; g <= st.NGROUPS; ++g)
                for (int s = 1; s <= st.NSPECIES; ++s) {
                  pairs.clear();
                  appendCsvField(pairs, group(g));
                  pairs.push_back(',');
                  pairs.append(quotedSpecies[static_cast<std::size_t>(s)]);
                  for (int y = years.lo; y <= years.hi; ++y)
                    for (int m = 1; m <= 12; ++m) {
                      if (tallies.PICCOUNT(g, s, y, m, kAllPictures) == 0) continue;
                      w.field(pairs).integer(y).integer(m);
                      for (int k = kAllPictures; k <= kIndividuals; ++k) w.integer(tallies.PICCOUNT(g, s, y, m, k));
                      w.endRow();
                    }
                }
            }) &&
      table("activity_hour",
            [&](CsvWriter& w) {
              for (int s = 1; s <= st.NSPECIES; ++s)
                for (int m = 1; m <= 12; ++m)
                  for (int h = 0; h <= 23; ++h)
                    w.text(species(s)).integer(m).integer(h).integer(tallies.ACTMONTHHOUR(s, m, h)).endRow();
            }) &&
      table("activity_season",
            [&](CsvWriter& w) {
              for (int s = 1; s <= st.NSPECIES; ++s)
                for (int k = 1; k <= 4; ++k)
                  for (int h = 0; h <= 23; ++h)
                    w.text(species(s))
                        .text(kSeasonLabels[k - 1])
                        .integer(h)
                        .integer(tallies.ACTSEASONHOUR(s, k, h))
                        .endRow();
            }) &&
      table("activity_moon",
            [&](CsvWriter& w) {
              for (int s = 1; s <= st.NSPECIES; ++s)
                for (int phase = 1; phase <= 2; ++phase)
                  for (int h = 0; h <= 23; ++h)
                    w.text(species(s))
                        .text(phase == 1 ? "full" : "new")
                        .integer(h)
                        .integer(tallies.ACTMOONHOUR(s, phase, h))
                        .endRow();
            }) &&
      table("detection_rates",
            [&](CsvWriter& w) {
              // Each year's table, with the groups it shows; then all years
              // together, every group.
              const auto rows = [&](const DetectionRates& t, bool yearly) {
                for (int g = 1; g <= st.NGROUPS; ++g) {
                  if (!t.hasRow(g)) continue;
                  for (int s = 1; s <= st.NSPECIES; ++s) {
                    w.text(group(g)).text(species(s));
                    if (yearly)
                      w.integer(t.first);
                    else
                      w.empty();
                    w.integer(t.rec[static_cast<std::size_t>(g)][static_cast<std::size_t>(s)])
                        .integer(t.days[static_cast<std::size_t>(g)])
                        .real(t.speciesRate(g, s))
                        .endRow();
                  }
                }
              };
              for (int y = years.lo; y <= years.hi; ++y) rows(detectionRates(st, tallies, effort, y, y, true), true);
              rows(detectionRates(st, tallies, effort, years.lo, years.hi, false), false);
            }) &&
      table("occupancy",
            [&](CsvWriter& w) {
              const std::vector<int> occupied = naiveOccupancy(st, tallies);
              for (int s = 1; s <= st.NSPECIES; ++s) {
                const int n = occupied[static_cast<std::size_t>(s)];
                // As the report: a study without groups has nothing occupied.
                const float proportion = st.NGROUPS > 0 ? static_cast<float>(n) / static_cast<float>(st.NGROUPS) : 0.0f;
                w.text(species(s)).integer(n).real(proportion).endRow();
              }
            }) &&
      table("distances",
            [&](CsvWriter& w) {
              const GroupDistances d = groupDistances(st, positions);
              for (const auto& [i, j] : d.pairs) w.text(group(i)).text(group(j)).real(d.km(i, j)).endRow();
            }) &&
      table("accumulation",
            [&](CsvWriter& w) {
              for (const AccumulationDay& row : accumulationCurve(st, tallies))
                w.integer(row.day)
                    .text(dayNumberDate(st.FIRSTYEAR, row.day + st.FIRSTDAY - 1))
                    .integer(static_cast<long long>(row.species.size()))
                    .integer(row.speciesSoFar)
                    .endRow();
            }) &&
      table("activity_density", [&](CsvWriter& w) { writeActivityDensityRows(w, activity, speciesNames); }) &&
      table("activity_level", [&](CsvWriter& w) { writeActivityLevelRows(w, activity, speciesNames); }) &&
      table("overlap", [&](CsvWriter& w) { writeOverlapRows(w, activity, speciesNames); }) &&
      finishDetectionHistory(st) && (estimate(st, effort), true) &&
      table("occupancy_models", [&](CsvWriter& w) { occupancyModelRows(w, estimateSpecies, estimates_); }) &&
      table("abundance_index", [&](CsvWriter& w) { abundanceIndexRows(w, estimateSpecies, estimates_); }) &&
      table("richness", [&](CsvWriter& w) { richnessRows(w, estimates_); });
  if (!written) return false;

  if (!rejects_.commit()) return fail("rejects.csv", rejects_.errorText());
  if (!events_.commit()) return fail("events.csv", events_.errorText());

  FileSink json;
  if (!json.openReplacing(staging_ / "datapackage.json")) return fail("datapackage.json", json.errorText());
  json.append(description_);
  if (!json.commit()) return fail("datapackage.json", json.errorText());
  return swapIn();
}

void TablesPackage::picturesRead(const StudyInput& st) {
  if (historyStarted_) return;
  historyStarted_ = true;
  const int k = occasionDays_;
  const int occasions = days_ > 0 ? (days_ - 1) / k + 1 : 0;
  const auto slots = static_cast<std::size_t>(std::max(0, occasions));

  // Occasions in which each group had at least one camera trap day: those of
  // the days of every operating period of its locations.
  historyEffort_.assign(static_cast<std::size_t>(st.NGROUPS) + 1, std::vector<char>(slots, 0));
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int i = 1; i <= st.GROUPSIZE(g); ++i) {
      const int loc = st.GROUPLOCATIONS(g, i);
      for (int p = 1; p <= st.NPERIODS(loc); ++p) {
        const int from = std::max(st.PERIODSTART(loc, p, kDayNumber), firstDay_) - firstDay_;
        const int to = std::min(st.PERIODSTOP(loc, p, kDayNumber), firstDay_ + days_ - 1) - firstDay_;
        for (int o = from / k; from <= to && o <= to / k; ++o)
          historyEffort_[static_cast<std::size_t>(g)][static_cast<std::size_t>(o)] = 1;
      }
    }
  // "occasion,start," of every occasion, formatted once.
  historyStarts_.resize(slots);
  for (std::size_t o = 0; o < slots; ++o)
    historyStarts_[o] =
        std::to_string(o + 1) + "," + dayNumberDate(st.FIRSTYEAR, firstDay_ + static_cast<int>(o) * k) + ",";

  if (!historyFile_.openReplacing(staging_ / "detection_history.csv")) {
    historyError_ = historyFile_.errorText();
    return;
  }
  // Everything the rows need is the package's own from here on, so the
  // largest table is formatted and written beside the report.
  history_.start([this] { formatDetectionHistory(); });
}

void TablesPackage::formatDetectionHistory() {
  const int k = occasionDays_;
  const std::size_t slots = historyStarts_.size();
  const int groups = static_cast<int>(groupFields_.size()) - 1;
  // Rows go into a block of about a megabyte that the file takes as it is;
  // a row is at most its two names, an occasion and a cell.
  std::size_t longestStart = 0;
  for (const std::string& s : historyStarts_) longestStart = std::max(longestStart, s.size());
  std::size_t longestName = 0;
  for (const std::string& n : groupFields_) longestName = std::max(longestName, n.size());
  for (const std::string& n : speciesFields_) longestName = std::max(longestName, n.size());
  const std::size_t longestRow = 2 * longestName + longestStart + 8;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::vector<char> chunk(kChunk + longestRow);
  char* out = chunk.data();
  const auto put = [&out](const std::string& s) {
    std::memcpy(out, s.data(), s.size());
    out += s.size();
  };
  const auto flush = [&] {
    historyFile_.append(std::string_view(chunk.data(), static_cast<std::size_t>(out - chunk.data())));
    out = chunk.data();
  };

  for (const Field& f : schemaOf("detection_history").fields) {
    if (out != chunk.data()) *out++ = ',';
    put(f.name);
  }
  *out++ = '\r';
  *out++ = '\n';
  std::string pair;
  std::vector<char> detected(slots);
  for (int s = 1; s <= species_; ++s) {
    for (int g = 1; g <= groups; ++g) {
      pair = speciesFields_[static_cast<std::size_t>(s)];
      pair.push_back(',');
      pair.append(groupFields_[static_cast<std::size_t>(g)]);
      pair.push_back(',');
      // The occasions of the days with pictures, from the set bits only.
      std::fill(detected.begin(), detected.end(), 0);
      const auto& bits =
          seen_[static_cast<std::size_t>(g - 1) * static_cast<std::size_t>(species_) + static_cast<std::size_t>(s - 1)];
      for (std::size_t w = 0; w < bits.size(); ++w)
        for (std::uint64_t word = bits[w]; word != 0; word &= word - 1) {
          const int d = static_cast<int>(w * 64) + std::countr_zero(word);
          detected[static_cast<std::size_t>(d / k)] = 1;
        }
      const auto& worked = historyEffort_[static_cast<std::size_t>(g)];
      for (std::size_t o = 0; o < slots; ++o) {
        if (out - chunk.data() >= static_cast<std::ptrdiff_t>(kChunk)) flush();
        put(pair);
        put(historyStarts_[o]);
        if (worked[o]) *out++ = detected[o] ? '1' : '0';
        *out++ = '\r';
        *out++ = '\n';
      }
    }
  }
  flush();
}

bool TablesPackage::finishDetectionHistory(const StudyInput& st) {
  picturesRead(st);
  history_.wait();
  const char* name = "detection_history.csv";
  if (!historyError_.empty()) return fail(name, historyError_);
  if (!historyFile_.commit()) return fail(name, historyFile_.errorText());
  return true;
}

void TablesPackage::estimate(const StudyInput& st, const GroupEffort& effort) {
  const int k = occasionDays_;
  const std::size_t groups = historyEffort_.empty() ? 0 : historyEffort_.size() - 1;
  const auto species = static_cast<std::size_t>(std::max(0, species_));
  // Each group's surveyed occasions, and per species those of them with a
  // picture: the detection history's cells with a value.
  std::vector<std::vector<SiteHistory>> history(species, std::vector<SiteHistory>(groups));
  std::vector<std::vector<long long>> events(species, std::vector<long long>(groups, 0));
  std::vector<char> detected;
  for (std::size_t g = 0; g < groups; ++g) {
    const auto& worked = historyEffort_[g + 1];
    const int surveyed = static_cast<int>(std::count(worked.begin(), worked.end(), 1));
    for (std::size_t s = 0; s < species; ++s) {
      const std::size_t pair = g * species + s;
      history[s][g].surveyed = surveyed;
      if (pair < eventsPerPair_.size()) events[s][g] = eventsPerPair_[pair];
      detected.assign(worked.size(), 0);
      for (std::size_t w = 0; w < seen_[pair].size(); ++w)
        for (std::uint64_t word = seen_[pair][w]; word != 0; word &= word - 1) {
          const auto o = static_cast<std::size_t>((static_cast<int>(w * 64) + std::countr_zero(word)) / k);
          if (o < worked.size() && worked[o] && !detected[o]) {
            detected[o] = 1;
            ++history[s][g].detected;
          }
        }
    }
  }
  std::vector<long long> trapDays(groups, 0);
  const Range years = st.years();
  for (std::size_t g = 0; g < groups; ++g)
    for (int y = years.lo; y <= years.hi; ++y)
      for (int m = 1; m <= 12; ++m) trapDays[g] += effort.GROUPTRAPDAYS(static_cast<int>(g) + 1, y, m);
  estimates_ = estimateStudy(history, events, trapDays);
}

TablesPackage::~TablesPackage() {
  // A run that ends early still waits for the rows; the unfinished files
  // go with the new folder, and DIR stays as it was.
  history_.wait();
  if (staging_.empty()) return;
  rejects_.discard();
  events_.discard();
  historyFile_.discard();
  std::error_code ignored;
  std::filesystem::remove_all(staging_, ignored);
  dropFolderFromRemovalList(stagingSlot_);
}

}  // namespace mv
