#include <cstddef>
#include <cstdint>

#include "fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mvfuzz::tablesAndPage(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
