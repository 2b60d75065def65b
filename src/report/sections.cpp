#include "report/sections.hpp"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

#include "concurrency/threads.hpp"
#include "memory/zeroed.hpp"

namespace mv {

namespace {

// A section's lines are handed on in blocks of about this size.
constexpr std::size_t kBlockBytes = std::size_t{256} << 10;
// Room for the line that fills a block (a longer one makes it grow).
constexpr std::size_t kLineRoom = std::size_t{4} << 10;

enum Target : std::uint8_t { kToReport = 0, kToConsole = 1 };

// Lines one after another, each with where it goes.
struct Block {
  struct Line {
    std::uint32_t end;
    Target target;
  };
  std::basic_string<char, std::char_traits<char>, ReadyPagesAllocator<char>> bytes;
  std::vector<Line, ReadyPagesAllocator<Line>> lines;
};

struct SectionState {
  std::deque<Block> ready;
  bool done = false;
  std::exception_ptr error;
};

class Runner {
 public:
  Runner(std::span<const ReportSection> sections, const SectionRunning& how)
      : sections_(sections),
        states_(sections.size()),
        aheadBytes_(how.aheadBytes),
        workers_(static_cast<std::size_t>(how.threads)) {
    try {
      for (BackgroundJob& worker : workers_) worker.start([this] { work(); });
    } catch (...) {
      cancel();
      throw;
    }
  }
  ~Runner() { cancel(); }
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  // Writes every section's lines in order on the calling thread.
  void emit(Writer& report, Writer& console) {
    for (std::size_t k = 0; k < states_.size(); ++k) {
      SectionState& s = states_[k];
      for (;;) {
        std::deque<Block> blocks;
        bool finished = false;
        {
          std::unique_lock lock(mutex_);
          changed_.wait(lock, [&s] { return !s.ready.empty() || s.done; });
          blocks.swap(s.ready);
          for (const Block& b : blocks) buffered_ -= b.bytes.size();
          finished = s.done && blocks.empty();
        }
        if (finished) break;
        for (const Block& b : blocks) replay(b, report, console);
        // Written blocks are used again, so that their memory is not
        // returned to the system and asked for anew (the blocks under way
        // are bounded by the budget for sections ahead of their turn).
        std::lock_guard lock(mutex_);
        for (Block& b : blocks) {
          b.bytes.clear();
          b.lines.clear();
          spares_.push_back(std::move(b));
        }
      }
      // Nothing after a failed section is written: leaving here cancels the
      // rest (the destructor).
      if (s.error) std::rethrow_exception(s.error);
      {
        std::lock_guard lock(mutex_);
        head_ = k + 1;
      }
      changed_.notify_all();
    }
  }

 private:
  // Collects one section's lines and hands them on block by block.
  class Collector {
   public:
    Collector(Runner& runner, std::size_t index) : runner_(runner), index_(index) { ready(); }
    void add(Target target, std::string_view text) {
      block_.bytes.append(text);
      block_.lines.push_back({static_cast<std::uint32_t>(block_.bytes.size()), target});
      if (block_.bytes.size() >= kBlockBytes) handOn();
    }
    void handOn() {
      if (block_.lines.empty()) return;
      block_ = runner_.publish(index_, std::move(block_));
      ready();
    }

   private:
    // A block holds its lines without growing on the way: growing would
    // copy what it holds again and again.
    void ready() {
      block_.bytes.reserve(kBlockBytes + kLineRoom);
      block_.lines.reserve(kBlockBytes / 16);
    }

    Runner& runner_;
    std::size_t index_;
    Block block_;
  };

  class CollectingSink final : public LineSink {
   public:
    CollectingSink(Collector& collector, Target target) : collector_(collector), target_(target) {}
    void line(std::string_view text) override { collector_.add(target_, text); }

   private:
    Collector& collector_;
    Target target_;
  };

  static void replay(const Block& b, Writer& report, Writer& console) {
    std::uint32_t start = 0;
    for (const Block::Line& l : b.lines) {
      const std::string_view text(b.bytes.data() + start, l.end - start);
      (l.target == kToReport ? report : console).sink().line(text);
      start = l.end;
    }
  }

  // Stops the sections not yet begun and the waits of those under way, and
  // returns once every worker is done.
  void cancel() {
    {
      std::lock_guard lock(mutex_);
      cancelled_ = true;
    }
    changed_.notify_all();
    for (BackgroundJob& worker : workers_) worker.wait();
  }

  // Hands a block on; returns an empty one for the lines that follow.
  Block publish(std::size_t index, Block&& block) {
    std::unique_lock lock(mutex_);
    buffered_ += block.bytes.size();
    states_[index].ready.push_back(std::move(block));
    changed_.notify_all();
    // A section ahead of its turn holds at most so much; the one due next
    // is always written out, so waiting here always ends.
    changed_.wait(lock, [&] { return index == head_ || buffered_ <= aheadBytes_ || cancelled_; });
    Block next;
    if (!spares_.empty()) {
      next = std::move(spares_.back());
      spares_.pop_back();
    }
    return next;
  }

  void work() {
    for (;;) {
      const std::size_t k = next_.fetch_add(1);
      if (k >= sections_.size()) return;
      {
        std::lock_guard lock(mutex_);
        if (cancelled_) return;
      }
      Collector collector(*this, k);
      CollectingSink reportSink(collector, kToReport);
      CollectingSink consoleSink(collector, kToConsole);
      Writer report(reportSink);
      Writer console(consoleSink);
      std::exception_ptr error;
      try {
        sections_[k](report, console);
      } catch (...) {
        error = std::current_exception();
      }
      // Lines written before a failure are written out too, as they would
      // be by the section alone.
      collector.handOn();
      {
        std::lock_guard lock(mutex_);
        states_[k].done = true;
        states_[k].error = error;
      }
      changed_.notify_all();
    }
  }

  std::span<const ReportSection> sections_;
  std::vector<SectionState> states_;
  std::size_t aheadBytes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t head_ = 0;      // the section due next
  std::size_t buffered_ = 0;  // bytes handed on and not yet written
  bool cancelled_ = false;
  std::vector<Block> spares_;
  std::atomic<std::size_t> next_{0};
  std::vector<BackgroundJob> workers_;  // last: they start once the rest is there
};

}  // namespace

void runSections(std::span<const ReportSection> sections, Writer& report, Writer& console, const SectionRunning& how) {
  if (how.threads <= 1 || sections.size() <= 1) {
    for (const ReportSection& section : sections) section(report, console);
    return;
  }
  Runner runner(sections, how);
  runner.emit(report, console);
}

}  // namespace mv
