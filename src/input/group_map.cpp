#include "input/input.hpp"

namespace mv {

void GETNUMBEROFLOCATIONS(Study&, const std::filesystem::path&) {}

void READGROUPMAP(Study&, const std::filesystem::path&, Console&) {}

void CREATESHORTGROUPLIST(Study&) {}

}  // namespace mv
