// datapackage.json of a Camtrap DP package: where its three tables are, which
// version of the standard it follows, and its titles.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "import/csv_reader.hpp"

namespace mv::camtrap {

struct Resource {
  std::vector<std::filesystem::path> parts;  // one file, or the parts of one table
  CsvDialect dialect;
};

struct PackageInfo {
  std::string version;       // e.g. "1.0", "0.1.6"; empty when the package does not say
  std::string projectTitle;  // project.title
  std::string packageTitle;  // title
  std::string packageName;   // name
  Resource deployments, media, observations;
  // taxonRank of each scientificName of the taxonomic list, as written.
  std::map<std::string, std::string> taxonRanks;
};

// Reads PACKAGE_DIR/datapackage.json. Throws ImportError when it is missing,
// is not JSON, lacks one of the three tables, or declares a version of the
// standard other than 0.1.x and 1.x.
PackageInfo readPackage(const std::filesystem::path& dir);

// The version in a Camtrap DP profile URL (".../camtrap-dp/1.0.1/..."), or "".
std::string versionFromProfile(const std::string& profile);

}  // namespace mv::camtrap
