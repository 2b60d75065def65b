// The activity analysis as rows of the tables package: the density curves,
// the activity levels and the overlap of the pairs compared.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "circular/analysis.hpp"
#include "tables/csv_writer.hpp"

namespace mv {

// `species` holds each species' name by number (index 0 unused).
void writeActivityDensityRows(CsvWriter& w, const ActivityAnalysis& a, const std::vector<std::string>& species);
void writeActivityLevelRows(CsvWriter& w, const ActivityAnalysis& a, const std::vector<std::string>& species);
void writeOverlapRows(CsvWriter& w, const ActivityAnalysis& a, const std::vector<std::string>& species);

}  // namespace mv
