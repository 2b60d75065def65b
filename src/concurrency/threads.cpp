#include "concurrency/threads.hpp"

#include <algorithm>
#include <cstdlib>

namespace mv {

int workThreads() {
  if (const char* given = std::getenv("MORVELSTRAND_THREADS"); given != nullptr) {
    char* after = nullptr;
    const long n = std::strtol(given, &after, 10);
    if (after != given && *after == '\0' && n >= 1 && n <= kMaxWorkThreads) return static_cast<int>(n);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp<unsigned>(cores, 1, kMaxWorkThreads));
}

}  // namespace mv
