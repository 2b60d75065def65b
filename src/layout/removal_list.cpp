#include "layout/removal_list.hpp"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace mv {

namespace {

// Fixed storage, so that the signal handler only reads plain memory and
// calls unlink(), which is safe in a handler.
constexpr int kSlots = 16;
constexpr std::size_t kPathBytes = 4096;

struct Slot {
  std::atomic<bool> used{false};
  char path[kPathBytes] = {};
};

Slot slots[kSlots];

sigset_t terminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&set, s);
  return set;
}

extern "C" void removeAndDie(int signal) {
  for (Slot& s : slots)
    if (s.used.load(std::memory_order_acquire)) ::unlink(s.path);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

int addToRemovalList(const std::filesystem::path& path) {
  const std::string text = std::filesystem::absolute(path).string();
  if (text.size() >= kPathBytes) return -1;
  static std::atomic<bool> busy{false};
  // Slots are taken by one thread at a time; a handler never waits on this.
  while (busy.exchange(true, std::memory_order_acquire)) {
  }
  int found = -1;
  for (int k = 0; k < kSlots && found < 0; ++k)
    if (!slots[k].used.load(std::memory_order_relaxed)) found = k;
  if (found >= 0) {
    std::memcpy(slots[found].path, text.c_str(), text.size() + 1);
    slots[found].used.store(true, std::memory_order_release);
  }
  busy.store(false, std::memory_order_release);
  return found;
}

void dropFromRemovalList(int slot) {
  if (slot >= 0 && slot < kSlots) slots[slot].used.store(false, std::memory_order_release);
}

void removeListedFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = removeAndDie;
  action.sa_mask = terminationSignals();
  for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    // A signal ignored by whoever started the program stays ignored.
    struct sigaction old {};
    if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    sigaction(s, &action, nullptr);
  }
}

TerminationSignalsHeld::TerminationSignalsHeld() {
  const sigset_t set = terminationSignals();
  pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

TerminationSignalsHeld::~TerminationSignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace mv
