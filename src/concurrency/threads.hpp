// Where the program's threads start. Every helper thread starts here, never
// taking the termination signals, so that they always reach the main
// thread, whose holding them back then holds them for the process.
#pragma once

#include <thread>
#include <utility>

#include "process/removal_list.hpp"

namespace mv {

// The most threads work is shared out to.
inline constexpr int kMaxWorkThreads = 64;
// The environment variable MORVELSTRAND_THREADS (1 to 64) when set to a
// number, else the number of cores.
int workThreads();

// A thread that never takes the termination signals. For the kit's own
// primitives; the rest of the program uses them.
template <class F>
std::thread threadWithoutSignals(F&& work) {
  const TerminationSignalsHeld held;
  return std::thread(std::forward<F>(work));
}

// One piece of work on a thread of its own beside the caller, waited for
// at the latest when the job goes.
class BackgroundJob {
 public:
  BackgroundJob() = default;
  ~BackgroundJob() { wait(); }
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;
  BackgroundJob(BackgroundJob&& other) noexcept = default;
  BackgroundJob& operator=(BackgroundJob&& other) noexcept {
    wait();
    thread_ = std::move(other.thread_);
    return *this;
  }

  // Starts `work` once any earlier work is done; throws std::system_error
  // when no thread can be started (the work is then not done).
  template <class F>
  void start(F&& work) {
    wait();
    thread_ = threadWithoutSignals(std::forward<F>(work));
  }
  // Whether work was started and not yet waited for.
  bool started() const { return thread_.joinable(); }
  // Returns once the work is done (at once when none was started).
  void wait() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

}  // namespace mv
