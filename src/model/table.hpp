// Tables with the index ranges the study uses: years FIRSTYEAR..LASTYEAR,
// hours 0..23, everything else from 1. Flat storage, row-major with the last
// index varying fastest. Debug builds check every index.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "memory/zeroed.hpp"

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

  // Sizes the table to the ranges and sets every cell to `init`. The cells
  // are stored with the last index varying fastest; `outermost` names a
  // dimension stored before all others instead (the others keep their
  // order), for a table mostly read one value of that index at a time.
  void resize(const std::array<Range, Rank>& ranges, const T& init = T(), std::size_t outermost = 0) {
    ranges_ = ranges;
    std::array<std::size_t, Rank> order{};
    order[0] = outermost;
    for (std::size_t d = 0, k = 1; d < Rank; ++d)
      if (d != outermost) order[k++] = d;
    std::size_t total = 1;
    origin_ = 0;
    for (std::size_t k = Rank; k-- > 0;) {
      const std::size_t d = order[k];
      strides_[d] = static_cast<std::ptrdiff_t>(total);
      origin_ += static_cast<std::ptrdiff_t>(ranges_[d].lo) * strides_[d];
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
  // Cells between neighbouring values of one index, the others fixed.
  std::ptrdiff_t stride(std::size_t dim) const { return strides_[dim]; }
  std::size_t size() const { return data_.size(); }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }

 private:
  template <class... I>
  std::size_t offset(I... index) const {
    static_assert(sizeof...(I) == Rank, "wrong number of indexes");
    const std::array<int, Rank> idx{index...};
#ifndef NDEBUG
    for (std::size_t d = 0; d < Rank; ++d)
      if (idx[d] < ranges_[d].lo || idx[d] > ranges_[d].hi) indexOutOfRange(static_cast<int>(d), idx[d], ranges_[d]);
#endif
    // The offset of (lo, lo, ...) is taken off once, so that the lower
    // bounds (ints, which any int written to a table might alias) need not
    // be read again for every cell.
    std::ptrdiff_t off = -origin_;
    for (std::size_t d = 0; d < Rank; ++d) off += static_cast<std::ptrdiff_t>(idx[d]) * strides_[d];
    return static_cast<std::size_t>(off);
  }

  std::array<Range, Rank> ranges_{};
  std::array<std::ptrdiff_t, Rank> strides_{};
  std::ptrdiff_t origin_ = 0;
  std::conditional_t<std::is_trivially_copyable_v<T>, ZeroedArray<T>, std::vector<T>> data_;
};

// Operating periods: location x period x field 1..4. Locations may have very
// different numbers of periods, so each location keeps only the periods it
// uses (a square location x MAXPERIODS table could be enormous for a study
// with many locations and one long-running camera). Slots never written read 0.
class PeriodTable {
 public:
  void resize(int locations, int maxPeriods) {
    maxPeriods_ = maxPeriods;
    rows_.assign(static_cast<std::size_t>(locations > 0 ? locations : 0), {});
  }
  int& operator()(int location, int period, int field) {
    check(location, period, field);
    auto& row = rows_[static_cast<std::size_t>(location - 1)];
    if (row.size() < static_cast<std::size_t>(period)) row.resize(static_cast<std::size_t>(period), Fields{});
    return row[static_cast<std::size_t>(period - 1)][static_cast<std::size_t>(field - 1)];
  }
  int operator()(int location, int period, int field) const {
    check(location, period, field);
    const auto& row = rows_[static_cast<std::size_t>(location - 1)];
    return row.size() < static_cast<std::size_t>(period)
               ? 0
               : row[static_cast<std::size_t>(period - 1)][static_cast<std::size_t>(field - 1)];
  }
  // Number of period slots held in memory, over all locations.
  std::size_t size() const {
    std::size_t n = 0;
    for (const auto& row : rows_) n += row.size() * 4;
    return n;
  }

 private:
  using Fields = std::array<int, 4>;
  void check(int location, int period, int field) const {
    if (location < 1 || location > static_cast<int>(rows_.size()))
      indexOutOfRange(0, location, Range{1, static_cast<int>(rows_.size())});
    if (period < 1 || period > maxPeriods_) indexOutOfRange(1, period, Range{1, maxPeriods_});
    if (field < 1 || field > 4) indexOutOfRange(2, field, Range{1, 4});
  }
  int maxPeriods_ = 0;
  std::vector<std::vector<Fields>> rows_;
};

}  // namespace mv
