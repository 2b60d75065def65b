#include "model/table.hpp"

#include <new>

#include <sys/mman.h>

namespace mv {

namespace {

// Blocks from this size on are mapped directly and offered huge pages; below
// it calloc hands out fresh (already zero) memory or clears a reused block.
constexpr std::size_t kMappedBytes = std::size_t{32} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLarge = false;  // keep every block visible to the address checker
#else
constexpr bool kMapLarge = true;
#endif

}  // namespace

void* allocateZeroed(std::size_t bytes) {
  if (kMapLarge && bytes >= kMappedBytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);  // only advice: ignored where huge pages are off
#endif
    return p;
  }
  void* p = std::calloc(bytes, 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void releaseZeroed(void* p, std::size_t bytes) {
  if (kMapLarge && bytes >= kMappedBytes)
    munmap(p, bytes);
  else
    std::free(p);
}

}  // namespace mv
