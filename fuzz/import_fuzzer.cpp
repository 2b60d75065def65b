#include <cstddef>
#include <cstdint>

#include "import_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mvfuzz::camtrapPackage(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
