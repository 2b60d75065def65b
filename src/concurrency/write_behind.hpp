// A file written behind its writer: the pieces handed over are appended to
// the file by a thread of its own, in the order given, while the caller goes
// on making the next ones, so the system's copy of the bytes into the file
// runs beside the work. At most a few pieces wait at a time; emptied ones
// come back to be filled again, so their memory is used again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "concurrency/threads.hpp"
#include "io/sinks.hpp"

namespace mv {

class WriteBehind {
 public:
  // Starts the writing thread; throws std::system_error when it cannot be
  // started. Nothing else may write to `file` until finish().
  explicit WriteBehind(FileSink& file);
  ~WriteBehind() { finish(); }
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Takes the bytes of `piece`, which gets a buffer written earlier in
  // exchange (or an empty one): its contents are to be overwritten. Waits
  // while the most pieces are waiting already.
  void write(std::string& piece);
  // Returns once every piece is in the file; nothing is written after it.
  void finish();

 private:
  static constexpr std::size_t kWaiting = 4;

  void work();

  FileSink& file_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::condition_variable room_;
  std::deque<std::string> waiting_;
  std::vector<std::string> spares_;
  bool stop_ = false;
  BackgroundJob writer_;  // last: it starts once the rest is there
};

}  // namespace mv
