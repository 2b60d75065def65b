#include "concurrency/write_behind.hpp"

#include <utility>

namespace mv {

WriteBehind::WriteBehind(FileSink& file) : file_(file) {
  writer_.start([this] { work(); });
}

void WriteBehind::write(std::string& piece) {
  {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return waiting_.size() < kWaiting; });
    std::string spare;
    if (!spares_.empty()) {
      spare = std::move(spares_.back());
      spares_.pop_back();
    }
    waiting_.push_back(std::move(piece));
    piece = std::move(spare);
  }
  ready_.notify_one();
}

void WriteBehind::finish() {
  if (!writer_.started()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  ready_.notify_one();
  writer_.wait();
}

void WriteBehind::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    ready_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
    if (waiting_.empty()) return;
    std::string piece = std::move(waiting_.front());
    waiting_.pop_front();
    lock.unlock();
    file_.append(piece);
    lock.lock();
    spares_.push_back(std::move(piece));
    room_.notify_one();
  }
}

}  // namespace mv
