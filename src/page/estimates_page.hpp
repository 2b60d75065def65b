// The estimates on the study page: occupancy with its interval beside the
// naive bar, the abundance index with its intervals, and the richness
// estimators beside the accumulation curve.
#pragma once

#include <string>
#include <vector>

#include "estimates/estimates.hpp"
#include "model/study.hpp"
#include "page/svg.hpp"

namespace mv {

// Marks the occupancy estimate of one species over its naive bar (row at
// pixel y, height h): a dot with its interval, and where the fit is flagged
// the word (or the reason, when there is no estimate) from pixel `textAt`.
void occupancyEstimateMark(svg::Builder& b, const svg::LinearScale& x, double y, double h, double textAt,
                           std::string_view species, const OccupancyFit& fit);

// The figure of the abundance index, for the species shown (species numbers
// from 1); without estimates it says how to get them.
std::string abundanceIndexFigure(const StudyInput& st, const std::vector<int>& shown, const StudyEstimates* estimates);

// A small table of the richness estimators.
std::string richnessPanel(const Richness& r);

}  // namespace mv
