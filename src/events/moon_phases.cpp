#include "events/events.hpp"

namespace mv {

void MOONPHASES(Study&) {}

}  // namespace mv
