// The ten most similar and ten most different pairs of groups of a
// group x group table of reals.
#pragma once

#include <vector>

#include "model/study.hpp"

namespace mv {

struct PairEntry {
  float value = 0.0f;
  int row = 1;
  int col = 1;
  bool paired = false;  // false: no pair got past the start value
};

struct TopPairs {
  std::vector<PairEntry> smallest;  // K = min(10, NGROUPS) entries each
  std::vector<PairEntry> largest;
};

// Picks the smallest and the largest cells (i < j) of the pair table. Cells
// of -1.0 (no value) and cells that are not a number are passed over.
TopPairs DIFMINMAX(const StudyInput& st, const Table<float, 2>& cells);

}  // namespace mv
