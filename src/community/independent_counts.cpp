#include "community/independent_counts.hpp"

#include <bit>

namespace mv {

Table<int, 2> independentPictures(const StudyInput& st, const PictureTallies& tallies) {
  Table<int, 2> n;
  n.resize({st.groups(), st.species()}, 0);
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int s = 1; s <= st.NSPECIES; ++s) {
      int sum = 0;
      for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
        for (int m = 1; m <= 12; ++m) sum += tallies.PICCOUNT(g, s, y, m, kIndependentPictures);
      n(g, s) = sum;
    }
  return n;
}

FlagRows::FlagRows(int rows, int columns)
    : perRow_(columns > 0 ? (static_cast<std::size_t>(columns) + 63) / 64 : 0),
      words_(perRow_ * static_cast<std::size_t>(rows > 0 ? rows : 0), 0) {}

void FlagRows::set(int r, int column) {
  const std::size_t c = static_cast<std::size_t>(column - 1);
  words_[static_cast<std::size_t>(r - 1) * perRow_ + c / 64] |= std::uint64_t{1} << (c % 64);
}

bool FlagRows::test(int r, int column) const {
  const std::size_t c = static_cast<std::size_t>(column - 1);
  return (row(r)[c / 64] >> (c % 64)) & 1u;
}

int FlagRows::common(int rowA, int rowB) const {
  const std::uint64_t* a = row(rowA);
  const std::uint64_t* b = row(rowB);
  int n = 0;
  for (std::size_t k = 0; k < perRow_; ++k) n += std::popcount(a[k] & b[k]);
  return n;
}

int FlagRows::either(int rowA, int rowB) const {
  const std::uint64_t* a = row(rowA);
  const std::uint64_t* b = row(rowB);
  int n = 0;
  for (std::size_t k = 0; k < perRow_; ++k) n += std::popcount(a[k] | b[k]);
  return n;
}

}  // namespace mv
