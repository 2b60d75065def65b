// The hand-made tiny study's events and the reference analyses' numbers on
// it (copied into tests/circular/tiny).
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "circular/analysis.hpp"

namespace mvtest {

// Rows of a CSV file without quoted commas, as name -> text maps.
inline std::vector<std::map<std::string, std::string>> tinyCsv(const std::string& name) {
  std::ifstream in(std::filesystem::path(MORVELSTRAND_SOURCE_DIR) / "tests" / "circular" / "tiny" / name);
  std::vector<std::map<std::string, std::string>> rows;
  std::vector<std::string> header;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::stringstream ss(line);
    for (std::string f; std::getline(ss, f, ',');) {
      if (f.size() >= 2 && f.front() == '"') f = f.substr(1, f.size() - 2);
      fields.push_back(f);
    }
    if (header.empty()) {
      header = fields;
      continue;
    }
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
    rows.push_back(row);
  }
  return rows;
}

// The tiny study's species in the order they are numbered, and their
// events' start times.
inline const std::vector<std::string>& tinySpecies() {
  static const std::vector<std::string> names = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"};
  return names;
}

inline int tinySpeciesNumber(const std::string& name) {
  const auto& names = tinySpecies();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i) + 1;
  return 0;
}

inline mv::EventTimes tinyEventTimes() {
  mv::EventTimes times;
  for (const auto& row : tinyCsv("events.csv")) {
    const std::string& t = row.at("start_time");
    times.add(tinySpeciesNumber(row.at("species")), std::stoi(t.substr(0, 2)), std::stoi(t.substr(3, 2)),
              std::stoi(t.substr(6, 2)));
  }
  return times;
}

}  // namespace mvtest
