// A reproducible uniform on [0, 1) from a 64-bit generator (SplitMix64), for
// simulated studies in the tests and the benchmarks.
#pragma once

#include <cstdint>

namespace mvtest {

struct Random {
  std::uint64_t state;
  double next() {
    state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
  }
};

}  // namespace mvtest
