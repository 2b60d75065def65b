// The run driver: the whole run in its fixed order of steps.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>

#include "circular/analysis.hpp"
#include "io/console.hpp"
#include "report/report.hpp"

namespace mv {

struct RunOptions {
  // The date shown in the report header; today's local date when unset.
  std::optional<LocalDate> date;
  // The PERIOD in minutes, taken instead of asking for it.
  std::optional<int> period;
  // Console behaviour: progress lines, and the waits for Enter.
  ConsoleMode console;
  // Where the HTML page of a successful run goes; no page when unset.
  std::optional<std::filesystem::path> html;
  // Where errors and warnings go in a quiet run; `out` when unset.
  std::ostream* err = nullptr;
  // The folder for the tables package (CSV files and datapackage.json),
  // written after the report; none when unset.
  std::optional<std::filesystem::path> tables;
  // Days per occasion of the detection history in the tables package.
  int occasionDays = 7;
  // The activity analysis of the tables and the page: species compared,
  // bootstrap replicates and their seed.
  ActivityOptions activity;
};

// Runs one study in `folder`, talking to the operator through `in`/`out`.
// Returns the exit status: 0 after a normal run, 1 after any early end.
int run(const std::filesystem::path& folder, std::istream& in, std::ostream& out, const RunOptions& options = {});

}  // namespace mv
