// The study page: one self-contained HTML file with the run's summary and
// its plots as inline SVG (no scripts, no external files, no network), for
// reading on screen or on paper.
#pragma once

#include <filesystem>
#include <string>

#include "circular/analysis.hpp"
#include "estimates/estimates.hpp"
#include "model/study.hpp"

namespace mv {

// The most species, groups and location rows a plot shows; the rest are
// named in a note on the page.
struct PageLimits {
  int species = 40;      // by number of records
  int groups = 60;       // by camera trap days
  int locations = 240;   // rows of the camera operation chart
  int periodBars = 100;  // bars of a row of the chart, before periods close together are merged
};

// Number of plots (<svg> elements) on every page, with or without data.
constexpr int kPagePlots = 12;

// The page of a finished run (every table filled, report written), with
// the activity analysis of its events and the estimates when the run made
// them.
std::string htmlPage(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                     const GroupPositions& positions, const PageLimits& limits = {},
                     const ActivityAnalysis* activity = nullptr, const StudyEstimates* estimates = nullptr);

// Writes the page to `path` through a temporary file renamed into place;
// false with `error` set when it cannot be written.
bool writeHtmlPage(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                   const GroupPositions& positions, const std::filesystem::path& path, std::string& error,
                   const ActivityAnalysis* activity = nullptr, const StudyEstimates* estimates = nullptr);

}  // namespace mv
