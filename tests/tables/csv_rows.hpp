// The rows of the package's CSV files, for tests whose fields are not
// quoted: each line split at every comma.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.hpp"

namespace tabletest {

inline std::vector<std::string> csvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (const char c : line) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back().push_back(c);
  }
  return fields;
}

// Every row of the file, header row first.
inline std::vector<std::vector<std::string>> csvRows(const std::filesystem::path& path) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : mvtest::readLines(path)) rows.push_back(csvFields(line));
  return rows;
}

}  // namespace tabletest
