// The activity analysis in the tables package of the example study: the
// three tables' layout, the pairs compared, reproducibility for a seed
// whatever the threads, and the options' effects.
#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "support/run_in_process.hpp"
#include "support/test_support.hpp"
#include "tables/csv_rows.hpp"

namespace fs = std::filesystem;

namespace {

const fs::path kExample = fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study";

// Runs the example study (copied) with tables, returning the tables folder.
fs::path runExample(const mvtest::TempDir& dir, const mv::ActivityOptions& activity, const std::string& name) {
  const fs::path study = dir / name;
  fs::create_directories(study);
  for (const auto& e : fs::directory_iterator(kExample)) fs::copy(e.path(), study / e.path().filename());
  mv::RunOptions options = mvtest::quietOptions();
  options.tables = study / "tables";
  options.activity = activity;
  const mvtest::InProcess ran = mvtest::runInProcess(study, options);
  EXPECT_EQ(ran.status, 0) << ran.out;
  return study / "tables";
}

TEST(ActivityTables, LayoutPairsAndReproducibility) {
  mvtest::TempDir dir;
  mv::ActivityOptions o;
  o.bootstrap = 60;
  o.seed = 11;
  o.threads = 1;
  const fs::path one = runExample(dir, o, "one");
  o.threads = 3;
  const fs::path three = runExample(dir, o, "three");

  const auto overlap = mvtest::readLines(one / "overlap.csv");
  EXPECT_EQ(overlap.at(0),
            "species_a,species_b,events_a,events_b,bandwidth_a,bandwidth_b,dhat1,dhat4,dhat5,estimator,estimate,"
            "replicates,boot_mean,boot_sd,basic0_lcl,basic0_ucl,norm0_lcl,norm0_ucl,perc_lcl,perc_ucl,note");
  // The ten species with the most events: 45 pairs, the most recorded
  // species first, every pair once.
  ASSERT_EQ(overlap.size(), 46u);
  std::set<std::pair<std::string, std::string>> pairs;
  for (std::size_t i = 1; i < overlap.size(); ++i) {
    const auto f = tabletest::csvFields(overlap[i]);
    ASSERT_EQ(f.size(), 21u) << overlap[i];
    EXPECT_TRUE(pairs.insert({f[0], f[1]}).second);
    EXPECT_GE(std::stoi(f[3]), 10);
    EXPECT_GE(std::stoi(f[2]), std::stoi(f[3]));
    // More than 75 events in both: Dhat4.
    EXPECT_EQ(f[9], std::min(std::stoi(f[2]), std::stoi(f[3])) > 75 ? "Dhat4" : "Dhat1");
    EXPECT_EQ(f[10], f[9] == "Dhat4" ? f[7] : f[6]);
    EXPECT_EQ(f[11], "60");
    for (std::size_t k = 14; k <= 19; ++k) EXPECT_FALSE(f[k].empty()) << overlap[i];
    EXPECT_LE(std::stod(f[18]), std::stod(f[19]));
  }
  EXPECT_EQ(tabletest::csvFields(overlap[1])[0], "Mule deer");
  // The same seed gives the same numbers on one thread and on three.
  EXPECT_EQ(overlap, mvtest::readLines(three / "overlap.csv"));
  EXPECT_EQ(mvtest::readLines(one / "activity_level.csv"), mvtest::readLines(three / "activity_level.csv"));

  const auto level = mvtest::readLines(one / "activity_level.csv");
  EXPECT_EQ(level.at(0),
            "species,events,density_bandwidth,bandwidth,max_density,activity_level,replicates,se,lcl,ucl,note");
  // Every species of the study, one without events among them.
  bool fisher = false;
  for (const std::string& line : level)
    if (line.rfind("Fisher,", 0) == 0) {
      fisher = true;
      EXPECT_EQ(line, "Fisher,0,,,,,,,,,no events");
    }
  EXPECT_TRUE(fisher);

  // 512 times of day for each species with a density.
  const auto density = mvtest::readLines(one / "activity_density.csv");
  EXPECT_EQ(density.at(0), "species,hour,density");
  EXPECT_EQ(density.at(1), "Mule deer,0," + tabletest::csvFields(density.at(1))[2]);
  EXPECT_EQ(tabletest::csvFields(density.at(2))[1], "0.046875");
  EXPECT_EQ(tabletest::csvFields(density.at(512))[1], "23.953125");
  EXPECT_EQ((density.size() - 1) % 512, 0u);

  const std::string package = mvtest::readFile(one / "datapackage.json");
  EXPECT_NE(package.find("\"bootstrap\": {\n    \"replicates\": 60,\n    \"seed\": 11\n  }"), std::string::npos);
}

TEST(ActivityTables, OptionsChangeThePairsAndTheIntervals) {
  mvtest::TempDir dir;
  mv::ActivityOptions o;
  o.bootstrap = 0;
  o.overlapSpecies = 3;
  const fs::path none = runExample(dir, o, "none");
  const auto overlap = mvtest::readLines(none / "overlap.csv");
  ASSERT_EQ(overlap.size(), 4u);
  for (std::size_t i = 1; i < overlap.size(); ++i) {
    const auto f = tabletest::csvFields(overlap[i]);
    // No bootstrap: estimates only.
    for (std::size_t k = 11; k <= 19; ++k) EXPECT_TRUE(f[k].empty()) << overlap[i];
    EXPECT_FALSE(f[10].empty());
  }
  for (const std::string& line : mvtest::readLines(none / "activity_level.csv")) {
    const auto f = tabletest::csvFields(line);
    EXPECT_TRUE(f[6] == "replicates" || f[6].empty()) << line;
  }
  // Another seed, other intervals; the estimates stay.
  o.overlapSpecies = 2;
  o.bootstrap = 40;
  o.seed = 1;
  const auto a = tabletest::csvFields(mvtest::readLines(runExample(dir, o, "a") / "overlap.csv").at(1));
  o.seed = 2;
  const auto b = tabletest::csvFields(mvtest::readLines(runExample(dir, o, "b") / "overlap.csv").at(1));
  EXPECT_EQ(a[10], b[10]);
  EXPECT_NE(a[14], b[14]);
}

}  // namespace
