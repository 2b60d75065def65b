// Rows of the estimate tables of the package: occupancy models, abundance
// index and richness, one value per field, empty where there is no number
// (the reason column says why).
#pragma once

#include <string_view>
#include <vector>

#include "estimates/estimates.hpp"
#include "tables/csv_writer.hpp"

namespace mv {

// `species[s]` names species s (from 0) of `estimates`.
void occupancyModelRows(CsvWriter& w, const std::vector<std::string_view>& species, const StudyEstimates& estimates);
void abundanceIndexRows(CsvWriter& w, const std::vector<std::string_view>& species, const StudyEstimates& estimates);
void richnessRows(CsvWriter& w, const StudyEstimates& estimates);

}  // namespace mv
