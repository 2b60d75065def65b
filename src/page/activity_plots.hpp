// The page's figure of the activity overlap of the most recorded pairs of
// species.
#pragma once

#include <string>

#include "circular/analysis.hpp"
#include "model/study.hpp"

namespace mv {

// Pairs shown, those with the most events together first.
constexpr int kOverlapPanels = 6;

// The figure (one <figure> with one <svg>) `width` pixels wide: for each
// shown pair both species' density curves with the area under both shaded,
// and the overlap estimate with its basic0 interval in the panel title.
// Without an analysis or a pair the plot says so.
std::string overlapFigure(const StudyInput& st, const ActivityAnalysis* activity, double width);

}  // namespace mv
