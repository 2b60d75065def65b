// Helpers for the importer's tests: the packages under tests/import/data,
// small packages written on the spot, and runs of the importer in-process.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.hpp"

namespace importtest {

std::filesystem::path dataDir(const std::string& package);

struct Run {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `morvelstrand-import` with the given arguments, in this process.
Run runImport(const std::vector<std::string>& args);

// The lines of the import's summary, before the check with the readers.
std::vector<std::string> summaryLines(const std::string& out);

// The three tables of a small package; media may be left with its header
// only. A datapackage.json naming them is written beside them.
struct SmallPackage {
  std::string deployments =
      "deploymentID,locationID,locationName,latitude,longitude,deploymentStart,deploymentEnd,deploymentGroups\n";
  std::string media = "mediaID,deploymentID,timestamp\n";
  std::string observations =
      "observationID,deploymentID,mediaID,eventID,eventStart,observationLevel,observationType,scientificName,"
      "count\n";
  std::string profile = "https://raw.githubusercontent.com/tdwg/camtrap-dp/1.0/camtrap-dp-profile.json";
  std::string name = "small";   // the package's name; none when empty
  std::string descriptorExtra;  // more members of datapackage.json, each followed by a comma
};
void writePackage(const std::filesystem::path& dir, const SmallPackage& p);

// True once the program's input readers do their work (they read back the
// example study); until then the checks of their counters are skipped.
bool readersAreLive();

// The exit status of an import that succeeds: 0, or, while the readers are
// still empty stubs, 1 (the check finds nothing where the files hold data).
int successStatus();

}  // namespace importtest
