// Tables with the index ranges the study uses: years FIRSTYEAR..LASTYEAR,
// hours 0..23, everything else from 1. Flat storage, row-major with the last
// index varying fastest. Debug builds check every index.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace mv {

// An inclusive index range; empty when hi < lo.
struct Range {
  int lo = 1;
  int hi = 0;
  int size() const { return hi >= lo ? hi - lo + 1 : 0; }
};

[[noreturn]] inline void indexOutOfRange(int dim, int index, Range r) {
  std::fprintf(stderr, "table index %d out of range %d..%d in dimension %d\n", index, r.lo, r.hi, dim + 1);
  std::abort();
}

template <class T, std::size_t Rank>
class Table {
 public:
  Table() { ranges_.fill(Range{1, 0}); }

  // Sizes the table to the ranges and sets every cell to `init`.
  void resize(const std::array<Range, Rank>& ranges, const T& init = T()) {
    ranges_ = ranges;
    std::size_t total = 1;
    for (std::size_t d = Rank; d-- > 0;) {
      strides_[d] = total;
      total *= static_cast<std::size_t>(ranges_[d].size());
    }
    data_.assign(total, init);
  }

  void fill(const T& v) { data_.assign(data_.size(), v); }

  template <class... I>
  T& operator()(I... index) {
    return data_[offset(static_cast<int>(index)...)];
  }
  template <class... I>
  const T& operator()(I... index) const {
    return data_[offset(static_cast<int>(index)...)];
  }

  const Range& range(std::size_t dim) const { return ranges_[dim]; }
  std::size_t size() const { return data_.size(); }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }

 private:
  template <class... I>
  std::size_t offset(I... index) const {
    static_assert(sizeof...(I) == Rank, "wrong number of indexes");
    const std::array<int, Rank> idx{index...};
    std::size_t off = 0;
    for (std::size_t d = 0; d < Rank; ++d) {
#ifndef NDEBUG
      if (idx[d] < ranges_[d].lo || idx[d] > ranges_[d].hi) indexOutOfRange(static_cast<int>(d), idx[d], ranges_[d]);
#endif
      off += static_cast<std::size_t>(idx[d] - ranges_[d].lo) * strides_[d];
    }
    return off;
  }

  std::array<Range, Rank> ranges_{};
  std::array<std::size_t, Rank> strides_{};
  std::vector<T> data_;
};

}  // namespace mv
