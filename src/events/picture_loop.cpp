#include "events/events.hpp"

namespace mv {

void READPICTURELIST(Study&, const std::filesystem::path&) {}

}  // namespace mv
