// Work shared out to helper threads (the kit's parallel for, beside its
// ordered work queue): a loop whose items are independent runs on several
// threads at once, each item taken by whichever thread is
// free next. Each item writes only its own results, so what comes out does
// not depend on the number of threads or on which thread ran which item.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "concurrency/threads.hpp"

namespace mv {

// Runs body(i) for every i in [0, count) on up to `threads` threads (the
// calling thread is one of them), and returns when all are done. Helper
// threads never take the termination signals. The first exception thrown
// by an item stops the handing out of further items and is rethrown here
// once every thread has stopped. When no helper thread can be started the
// calling thread does all the work.
template <class Body>
void parallelFor(std::size_t count, int threads, Body&& body) {
  const std::size_t helpers =
      count == 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)) - 1, count - 1);
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr error;
  std::mutex errorMutex;
  const auto work = [&] {
    for (;;) {
      if (failed.load(std::memory_order_relaxed)) return;
      const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
      if (i >= count) return;
      try {
        body(i);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(errorMutex);
        if (!error) error = std::current_exception();
        failed = true;
        return;
      }
    }
  };
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  for (std::size_t k = 0; k < helpers; ++k) {
    try {
      pool.push_back(threadWithoutSignals(work));
    } catch (const std::system_error&) {
      break;  // fewer helpers: the others take their share
    }
  }
  work();
  for (std::thread& t : pool) t.join();
  if (error) std::rethrow_exception(error);
}

// The same over blocks of `block` consecutive items, for items too small
// to be handed out one by one: body(begin, end) for each block, so that a
// block can keep its scratch space from item to item.
template <class Body>
void parallelForBlocks(std::size_t count, std::size_t block, int threads, Body&& body) {
  const std::size_t size = std::max<std::size_t>(block, 1);
  parallelFor((count + size - 1) / size, threads,
              [&](std::size_t b) { body(b * size, std::min(count, (b + 1) * size)); });
}

}  // namespace mv
