#include "concurrency/parallel_for.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(ParallelFor, EveryItemRunsOnceWhateverTheThreads) {
  for (int threads : {0, 1, 2, 5}) {
    for (std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{1000}}) {
      std::vector<std::atomic<int>> runs(count);
      mv::parallelFor(count, threads, [&](std::size_t i) { ++runs[i]; });
      for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i].load(), 1) << threads << " " << count << " " << i;
    }
  }
}

TEST(ParallelFor, FirstExceptionIsRethrownAfterAllThreadsStop) {
  std::atomic<int> started{0};
  EXPECT_THROW(mv::parallelFor(10000, 3,
                               [&](std::size_t i) {
                                 ++started;
                                 if (i == 5) throw std::runtime_error("item 5");
                                 // Items that take a while, so that handing
                                 // them all out would take seconds even when
                                 // the failing thread waits for a core.
                                 std::this_thread::sleep_for(std::chrono::milliseconds(1));
                               }),
               std::runtime_error);
  // Handing out stops: far from every item ran.
  EXPECT_LT(started.load(), 10000);
  // Every item failing: still one exception, no crash.
  EXPECT_THROW(mv::parallelFor(50, 4, [](std::size_t) { throw std::logic_error("all"); }), std::logic_error);
}

TEST(ParallelFor, ResultsByIndexDoNotDependOnTheThreads) {
  std::vector<long> one(257), four(257);
  mv::parallelFor(one.size(), 1, [&](std::size_t i) { one[i] = static_cast<long>(i * i); });
  mv::parallelFor(four.size(), 4, [&](std::size_t i) { four[i] = static_cast<long>(i * i); });
  EXPECT_EQ(one, four);
}

}  // namespace

namespace {

TEST(ParallelForBlocks, BlocksCoverTheItemsOnce) {
  for (std::size_t count : {std::size_t{0}, std::size_t{15}, std::size_t{16}, std::size_t{17}, std::size_t{999}}) {
    std::vector<std::atomic<int>> runs(count);
    mv::parallelForBlocks(count, 16, 3, [&](std::size_t begin, std::size_t end) {
      EXPECT_LE(end - begin, 16u);
      for (std::size_t i = begin; i < end; ++i) ++runs[i];
    });
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i].load(), 1);
  }
}

}  // namespace
