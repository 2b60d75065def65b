#include "tallies/tallies.hpp"

namespace mv {

void GROUPSPECIESPICS(const Study&, Writer&, Writer&) {}

}  // namespace mv
