// Independent pictures (kind 3 of PICCOUNT) per group and species, summed
// over every study year and month: the counts the community sections compare.
#pragma once

#include <cstdint>
#include <vector>

#include "model/study.hpp"

namespace mv {

// N(g, s) for g = 1..NGROUPS, s = 1..NSPECIES.
Table<int, 2> independentPictures(const StudyInput& st, const PictureTallies& tallies);

// Rows of yes/no flags (rows and columns from 1), packed 64 to a word so that
// the members two rows share can be counted quickly.
class FlagRows {
 public:
  FlagRows(int rows, int columns);
  void set(int row, int column);
  bool test(int row, int column) const;
  // Columns flagged in both rows, and in at least one of them.
  int common(int rowA, int rowB) const;
  int either(int rowA, int rowB) const;

 private:
  const std::uint64_t* row(int r) const { return words_.data() + static_cast<std::size_t>(r - 1) * perRow_; }
  std::size_t perRow_;
  std::vector<std::uint64_t> words_;
};

}  // namespace mv
