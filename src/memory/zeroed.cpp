#include "memory/zeroed.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <system_error>
#include <vector>

#include "concurrency/threads.hpp"

namespace mv {

namespace {

// Blocks from kReadyPagesBytes on are mapped directly, their pages made
// ready at once; from this size on they are offered huge pages too, and
// made ready by a thread of their own. Below kReadyPagesBytes calloc hands
// out fresh (already zero) memory or clears a reused block.
constexpr std::size_t kMappedBytes = std::size_t{32} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLarge = false;  // keep every block visible to the address checker
#else
constexpr bool kMapLarge = true;
#endif

// The system clears a page of a mapped block when it is first written; for
// a tally table of hundreds of megabytes that is a good part of the run.
// A thread of its own has the pages made ready beside the work that
// follows, so the first writes mostly find them ready. It never changes the
// contents, so the block is in use meanwhile.
struct Readying {
  void* block;
  BackgroundJob job;
};
std::mutex readyingMutex;
std::vector<Readying> readying;

void startReadying(void* block, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  try {
    BackgroundJob job;
    job.start([block, bytes] { madvise(block, bytes, MADV_POPULATE_WRITE); });
    const std::lock_guard lock(readyingMutex);
    readying.push_back({block, std::move(job)});
  } catch (const std::system_error&) {
    // No thread: the pages are made ready as they are written.
  }
#else
  (void)block;
  (void)bytes;
#endif
}

void finishReadying(void* block) {
  BackgroundJob job;
  {
    const std::lock_guard lock(readyingMutex);
    const auto it =
        std::find_if(readying.begin(), readying.end(), [block](const Readying& r) { return r.block == block; });
    if (it == readying.end()) return;
    job = std::move(it->job);
    readying.erase(it);
  }
  job.wait();
}

}  // namespace

void* allocateZeroed(std::size_t bytes) {
  if (kMapLarge && bytes >= kReadyPagesBytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    if (bytes >= kMappedBytes) {
#ifdef MADV_HUGEPAGE
      madvise(p, bytes, MADV_HUGEPAGE);  // only advice: ignored where huge pages are off
#endif
      startReadying(p, bytes);
    } else {
#ifdef MADV_POPULATE_WRITE
      // A few megabytes are made ready here at once: quicker than a thread.
      madvise(p, bytes, MADV_POPULATE_WRITE);
#endif
    }
    return p;
  }
  void* p = std::calloc(bytes, 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void releaseZeroed(void* p, std::size_t bytes) {
  if (kMapLarge && bytes >= kReadyPagesBytes) {
    if (bytes >= kMappedBytes) finishReadying(p);
    munmap(p, bytes);
  } else {
    std::free(p);
  }
}

}  // namespace mv
