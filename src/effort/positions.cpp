#include "effort/effort.hpp"

namespace mv {

void GROUPUTMELEV(Study&, Writer&, Writer&) {}

}  // namespace mv
