// An ordered work queue: jobs handed in are done on several threads at once
// and taken back in the order they were handed in, so what the caller makes
// of them comes out as from one thread doing them one after another.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

#include "concurrency/threads.hpp"

namespace mv {

// `Worker` does one job at a time (`worker(job)`); each thread has a worker
// of its own, so a worker may keep state between jobs (look-up caches). A
// job is owned by one thread at a time: the caller until it is handed in,
// then the thread doing it, then the caller again once it is taken back;
// the queue's lock passes it on. Jobs must outlive the queue.
template <class Job, class Worker>
class OrderedWorkQueue {
 public:
  // `threads` threads do the jobs, the calling one included (it works on
  // waiting jobs while it waits); `makeWorker()` makes each thread's worker,
  // on that thread.
  template <class MakeWorker>
  OrderedWorkQueue(int threads, MakeWorker makeWorker) : own_(makeWorker()) {
    helpers_.resize(threads > 1 ? static_cast<std::size_t>(threads - 1) : 0);
    try {
      for (BackgroundJob& helper : helpers_)
        helper.start([this, makeWorker] {
          Worker worker = makeWorker();
          work(worker);
        });
    } catch (...) {
      stop();
      throw;
    }
  }
  ~OrderedWorkQueue() { stop(); }
  OrderedWorkQueue(const OrderedWorkQueue&) = delete;
  OrderedWorkQueue& operator=(const OrderedWorkQueue&) = delete;

  void submit(Job& job) {
    {
      std::lock_guard lock(mutex_);
      entries_.push_back(Entry{&job, false, nullptr});
      waiting_.push_back(&entries_.back());
    }
    wake_.notify_one();
  }

  // Jobs handed in and not yet taken back.
  std::size_t size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
  }

  // Waits until the oldest job not yet taken back is done, doing waiting
  // jobs meanwhile, and takes it back; an exception its worker threw is
  // thrown here. The queue must not be empty.
  Job& next() {
    std::unique_lock lock(mutex_);
    Entry& front = entries_.front();
    while (!front.done) {
      if (waiting_.empty())
        done_.wait(lock);
      else
        runNext(own_, lock);
    }
    Job& job = *front.job;
    const std::exception_ptr error = front.error;
    entries_.pop_front();
    if (error) std::rethrow_exception(error);
    return job;
  }

 private:
  struct Entry {
    Job* job;
    bool done = false;
    std::exception_ptr error;
  };

  void stop() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (BackgroundJob& helper : helpers_) helper.wait();
  }

  // Runs the first waiting job, the lock released meanwhile: the entry
  // belongs to this thread until it is marked done.
  void runNext(Worker& worker, std::unique_lock<std::mutex>& lock) {
    Entry& e = *waiting_.front();
    waiting_.pop_front();
    lock.unlock();
    try {
      worker(*e.job);
    } catch (...) {
      e.error = std::current_exception();
    }
    lock.lock();
    e.done = true;
    done_.notify_all();
  }

  void work(Worker& worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
      if (stop_) return;
      runNext(worker, lock);
    }
  }

  Worker own_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::deque<Entry> entries_;   // handed in, not yet taken back, in order
  std::deque<Entry*> waiting_;  // not yet begun, in order
  bool stop_ = false;
  std::vector<BackgroundJob> helpers_;  // last: they start once the rest is there
};

}  // namespace mv
