#include "input/input.hpp"

namespace mv {

void READINPUTPARAMETERS(Study&, const std::filesystem::path&, Console&) {}

void READINPUT(Study&, const std::filesystem::path&, Console&) {}

void GETPERIOD(Study&, Console&) {}

}  // namespace mv
