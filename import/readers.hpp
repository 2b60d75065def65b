// The readers of the kinds of source, each building the whole study: it
// reads its tables into the locations, periods and pictures of StudyData and
// leaves the rest to the shared steps of study_steps.hpp.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "import/study_data.hpp"

namespace mv::camtrap {

// A Camera Trap Data Package: datapackage.json and its three tables.
StudyData readCamtrapDp(const ImportOptions& options);

// A Wildlife Insights project export: deployments.csv and images.csv (and
// projects.csv for the title).
StudyData readWildlifeInsights(const ImportOptions& options);

// camtrapR's record table and camera-trap station table.
StudyData readCamtrapR(const ImportOptions& options);

// The kind of source in a folder, from the files it holds; Detect when it
// holds none of the known sets.
SourceKind kindOfFolder(const std::filesystem::path& dir);

// "camtrap-dp", "wildlife-insights", "camtrapr"; nothing for other text.
std::optional<SourceKind> sourceKindNamed(const std::string& name);

}  // namespace mv::camtrap
