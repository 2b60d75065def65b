// Memory that starts out zeroed by the system, and memory whose pages are
// made ready at once: for the large tables and buffers that are filled
// through once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

namespace mv {

// Memory for a table of plain values that starts out zeroed by the system
// (fresh pages are zero already) instead of being written with zeros first:
// a large tally table (group x species x year x month x kind) runs to
// hundreds of megabytes and filling it cost as much as the tallying. Large
// blocks also ask for huge pages, so that touching them costs few faults.
void* allocateZeroed(std::size_t bytes);
void releaseZeroed(void* p, std::size_t bytes);

// Blocks from this size on get their pages made ready all at once, which
// costs a small part of what a fault on each page as it is first written
// costs (on a virtual machine especially).
inline constexpr std::size_t kReadyPagesBytes = std::size_t{256} << 10;

// An allocator for the large buffers that are filled through once (the
// report's section blocks): from kReadyPagesBytes on the memory comes ready
// (and zeroed) from allocateZeroed, below that from the usual heap.
template <class T>
struct ReadyPagesAllocator {
  using value_type = T;
  ReadyPagesAllocator() = default;
  template <class U>
  ReadyPagesAllocator(const ReadyPagesAllocator<U>&) {}
  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kReadyPagesBytes) return static_cast<T*>(allocateZeroed(bytes));
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kReadyPagesBytes)
      releaseZeroed(p, bytes);
    else
      std::allocator<T>().deallocate(p, n);
  }
  template <class U>
  bool operator==(const ReadyPagesAllocator<U>&) const {
    return true;
  }
};

template <class T>
class ZeroedArray {
 public:
  ZeroedArray() = default;
  ZeroedArray(const ZeroedArray& o) { copyFrom(o); }
  ZeroedArray& operator=(const ZeroedArray& o) {
    if (this != &o) {
      release();
      copyFrom(o);
    }
    return *this;
  }
  ZeroedArray(ZeroedArray&& o) noexcept : p_(o.p_), n_(o.n_) { o.p_ = nullptr, o.n_ = 0; }
  ZeroedArray& operator=(ZeroedArray&& o) noexcept {
    if (this != &o) {
      release();
      p_ = o.p_, n_ = o.n_;
      o.p_ = nullptr, o.n_ = 0;
    }
    return *this;
  }
  ~ZeroedArray() { release(); }

  // n cells of v; cells whose value is all zero bytes are left as the
  // system gave them.
  void assign(std::size_t n, const T& v) {
    if (n != n_) {
      release();
      if (n > 0) p_ = static_cast<T*>(allocateZeroed(n * sizeof(T)));
      n_ = n;
      if (!allZero(v)) std::fill(p_, p_ + n_, v);
    } else {
      std::fill(p_, p_ + n_, v);
    }
  }
  std::size_t size() const { return n_; }
  T* data() { return p_; }
  const T* data() const { return p_; }
  T& operator[](std::size_t i) { return p_[i]; }
  const T& operator[](std::size_t i) const { return p_[i]; }

 private:
  static bool allZero(const T& v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    for (const unsigned char b : bytes)
      if (b != 0) return false;
    return true;
  }
  void copyFrom(const ZeroedArray& o) {
    if (o.n_ > 0) {
      p_ = static_cast<T*>(allocateZeroed(o.n_ * sizeof(T)));
      std::memcpy(static_cast<void*>(p_), o.p_, o.n_ * sizeof(T));
    }
    n_ = o.n_;
  }
  void release() {
    if (p_ != nullptr) releaseZeroed(p_, n_ * sizeof(T));
    p_ = nullptr;
    n_ = 0;
  }
  T* p_ = nullptr;
  std::size_t n_ = 0;
};

}  // namespace mv
