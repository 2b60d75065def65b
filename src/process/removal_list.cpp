#include "process/removal_list.hpp"

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

constexpr int kFolderSlots = 4;

struct FolderSlot {
  std::atomic<bool> used{false};
  char path[kPathBytes] = {};
  const char* const* names = nullptr;
};

FolderSlot folderSlots[kFolderSlots];

std::atomic<bool> busy{false};

// Slots are taken by one thread at a time; a handler never waits on this.
class SlotsTaken {
 public:
  SlotsTaken() {
    while (busy.exchange(true, std::memory_order_acquire)) {
    }
  }
  ~SlotsTaken() { busy.store(false, std::memory_order_release); }
  SlotsTaken(const SlotsTaken&) = delete;
  SlotsTaken& operator=(const SlotsTaken&) = delete;
};

sigset_t terminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&set, s);
  return set;
}

extern "C" void removeAndDie(int signal) {
  for (Slot& s : slots)
    if (s.used.load(std::memory_order_acquire)) ::unlink(s.path);
  // The folders once their temporary files are gone: each named file, then
  // the folder itself (only strlen, memcpy, unlink and rmdir, which a
  // handler may call).
  char path[kPathBytes + 256];
  for (FolderSlot& f : folderSlots) {
    if (!f.used.load(std::memory_order_acquire)) continue;
    const std::size_t folder = std::strlen(f.path);
    for (const char* const* n = f.names; n != nullptr && *n != nullptr; ++n) {
      const std::size_t name = std::strlen(*n);
      if (folder + 1 + name >= sizeof path) continue;
      std::memcpy(path, f.path, folder);
      path[folder] = '/';
      std::memcpy(path + folder + 1, *n, name + 1);
      ::unlink(path);
    }
    ::rmdir(f.path);
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

int addToRemovalList(const std::filesystem::path& path) {
  const std::string text = std::filesystem::absolute(path).string();
  if (text.size() >= kPathBytes) return -1;
  const SlotsTaken taken;
  int found = -1;
  for (int k = 0; k < kSlots && found < 0; ++k)
    if (!slots[k].used.load(std::memory_order_relaxed)) found = k;
  if (found >= 0) {
    std::memcpy(slots[found].path, text.c_str(), text.size() + 1);
    slots[found].used.store(true, std::memory_order_release);
  }
  return found;
}

int addFolderToRemovalList(const std::filesystem::path& folder, const char* const* names) {
  const std::string text = std::filesystem::absolute(folder).string();
  if (text.size() >= kPathBytes) return -1;
  const SlotsTaken taken;
  int found = -1;
  for (int k = 0; k < kFolderSlots && found < 0; ++k)
    if (!folderSlots[k].used.load(std::memory_order_relaxed)) found = k;
  if (found >= 0) {
    std::memcpy(folderSlots[found].path, text.c_str(), text.size() + 1);
    folderSlots[found].names = names;
    folderSlots[found].used.store(true, std::memory_order_release);
  }
  return found;
}

void dropFolderFromRemovalList(int slot) {
  if (slot >= 0 && slot < kFolderSlots) folderSlots[slot].used.store(false, std::memory_order_release);
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
