// The readers of the kinds of source, each building the whole study: it
// reads its tables into the locations, periods and pictures of StudyData and
// leaves the rest to the shared steps of study_steps.hpp.
#pragma once

#include "import/study_data.hpp"

namespace mv::camtrap {

// A Camera Trap Data Package: datapackage.json and its three tables.
StudyData readCamtrapDp(const ImportOptions& options);

}  // namespace mv::camtrap
