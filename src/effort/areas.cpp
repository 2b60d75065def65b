#include "effort/effort.hpp"

namespace mv {

void AREAOFEACHGROUP(const Study&, Writer&, Writer&) {}

}  // namespace mv
