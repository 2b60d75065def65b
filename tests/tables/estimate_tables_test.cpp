// The estimate tables of the package from a whole run: occupancy models
// from the detection history, the abundance index from the events and trap
// days, and richness, each described in datapackage.json.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

// Rows of a package CSV (no field here is quoted) as name -> value maps.
std::vector<std::map<std::string, std::string>> rowsOf(const fs::path& path) {
  std::vector<std::map<std::string, std::string>> rows;
  std::vector<std::string> header;
  for (const std::string& line : mvtest::readLines(path)) {
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == ',')
        fields.emplace_back();
      else
        fields.back().push_back(c);
    }
    if (header.empty()) {
      header = fields;
      continue;
    }
    EXPECT_EQ(fields.size(), header.size()) << path << ": " << line;
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
    rows.push_back(row);
  }
  return rows;
}

std::string pad(const std::string& name) { return name + std::string(25 - name.size(), ' '); }

std::string picture(const std::string& location, const std::string& species, int day, int hour) {
  std::ostringstream s;
  s << pad(location) << ' ' << pad(species) << " 2015  1 " << (day < 10 ? " " : "") << day << ' '
    << (hour < 10 ? " " : "") << hour << "  0  0  1\n";
  return s.str();
}

// Group A works 1-10 and 20-21 January, group B 5-25 January. The cat is
// photographed by A on the 3rd (twice, one event) and the 20th and by B on
// the 12th; the fox never; the owl once, by B.
void writeStudy(const fs::path& dir) {
  mvtest::writeFile(dir / "Input.txt", "Estimates study\n2\n" + pad("Loc A") +
                                           " 500000 4000000   100\n2\n2015 1 1 2015 1 10\n"
                                           "2015 1 20 2015 1 21\n" +
                                           pad("Loc B") +
                                           " 503000 4004000   200\n1\n2015 1 5 2015 1 25\n"
                                           "3\nCat\nFox\nOwl\n");
  mvtest::writeFile(dir / "GroupMap.txt", pad("Loc A") + " A\n" + pad("Loc B") + " B\n");
  mvtest::writeFile(dir / "AllPictures.txt", picture("Loc A", "Cat", 3, 10) + picture("Loc A", "Cat", 3, 10) +
                                                 picture("Loc A", "Cat", 20, 4) + picture("Loc B", "Cat", 12, 22) +
                                                 picture("Loc B", "Owl", 14, 1));
}

int run(const fs::path& study, const fs::path& tables) {
  std::istringstream in;
  std::ostringstream out;
  mv::RunOptions options;
  options.period = 60;
  options.console.noWait = true;
  options.console.quiet = true;
  options.err = &out;
  options.tables = tables;
  return mv::run(study, in, out, options);
}

TEST(EstimateTables, FromAWholeRun) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  const fs::path tables = dir / "tables";
  ASSERT_EQ(run(dir.path(), tables), 0);

  // Occupancy: the cat at both groups (3 of 7 surveyed weeks) lies on the
  // boundary psi = 1 with p the plain proportion; the fox is never seen.
  const auto occupancy = rowsOf(tables / "occupancy_models.csv");
  ASSERT_EQ(occupancy.size(), 3u);
  const auto& cat = occupancy[0];
  EXPECT_EQ(cat.at("species"), "Cat");
  EXPECT_EQ(cat.at("sites"), "2");
  EXPECT_EQ(cat.at("occasions"), "7");
  EXPECT_EQ(cat.at("sites_detected"), "2");
  EXPECT_EQ(cat.at("detections"), "3");
  EXPECT_EQ(cat.at("naive_occupancy"), "1");
  EXPECT_EQ(cat.at("psi"), "1");
  EXPECT_EQ(cat.at("psi_se"), "");
  EXPECT_NEAR(std::stod(cat.at("p")), 3.0 / 7.0, 1e-15);
  EXPECT_EQ(cat.at("flag"), "boundary");
  EXPECT_NE(cat.at("reason"), "");
  const auto& fox = occupancy[1];
  EXPECT_EQ(fox.at("species"), "Fox");
  EXPECT_EQ(fox.at("detections"), "0");
  EXPECT_EQ(fox.at("psi"), "");
  EXPECT_EQ(fox.at("loglik"), "");
  EXPECT_EQ(fox.at("flag"), "no_detection");
  EXPECT_EQ(fox.at("rn_flag"), "no_detection");
  EXPECT_EQ(occupancy[2].at("sites_detected"), "1");

  // The index: events per 100 trap days of the groups table.
  const auto groups = rowsOf(tables / "groups.csv");
  const double days = std::stod(groups[0].at("trap_days")) + std::stod(groups[1].at("trap_days"));
  const auto index = rowsOf(tables / "abundance_index.csv");
  ASSERT_EQ(index.size(), 3u);
  EXPECT_EQ(index[0].at("events"), "3");
  EXPECT_EQ(index[0].at("groups"), "2");
  EXPECT_NEAR(std::stod(index[0].at("rai")), 300.0 / days, 1e-12);
  EXPECT_LT(std::stod(index[0].at("poisson_lcl")), std::stod(index[0].at("rai")));
  EXPECT_EQ(index[1].at("rai"), "0");
  EXPECT_EQ(index[1].at("poisson_lcl"), "0");
  EXPECT_NE(index[1].at("poisson_ucl"), "");
  EXPECT_EQ(index[2].at("events"), "1");

  // Richness: two species over two groups, the owl in one of them.
  const auto richness = rowsOf(tables / "richness.csv");
  ASSERT_EQ(richness.size(), 7u);
  EXPECT_EQ(richness[0].at("estimator"), "observed");
  EXPECT_EQ(richness[0].at("value"), "2");
  EXPECT_EQ(richness[0].at("groups"), "2");
  EXPECT_EQ(richness[2].at("estimator"), "jackknife1");
  EXPECT_NEAR(std::stod(richness[2].at("value")), 2.5, 1e-15);
  EXPECT_EQ(richness[3].at("se"), "");
  EXPECT_NE(richness[3].at("reason"), "");
  // The bootstrap misses the owl in a quarter of the resamples of the two
  // groups: 2.25, SE sqrt(0.25 * 0.75).
  EXPECT_EQ(richness[4].at("estimator"), "bootstrap");
  EXPECT_NEAR(std::stod(richness[4].at("value")), 2.25, 1e-15);
  EXPECT_NEAR(std::stod(richness[4].at("se")), std::sqrt(0.1875), 1e-15);
  EXPECT_EQ(richness[6].at("estimator"), "ace");

  // Each table is described, with its method named.
  const std::string package = mvtest::readFile(tables / "datapackage.json");
  for (const char* name : {"\"occupancy_models.csv\"", "\"abundance_index.csv\"", "\"richness.csv\"", "Royle-Nichols",
                           "Fewster", "Garwood", "Chao2"})
    EXPECT_NE(package.find(name), std::string::npos) << name;
  // Nothing that is not a number is written as one.
  for (const char* file : {"occupancy_models.csv", "abundance_index.csv", "richness.csv"}) {
    const std::string text = mvtest::readFile(tables / file);
    EXPECT_EQ(text.find("nan"), std::string::npos) << file;
    EXPECT_EQ(text.find("inf"), std::string::npos) << file;
  }
}

}  // namespace
