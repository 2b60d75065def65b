#include "tallies/tallies.hpp"

namespace mv {

void SPECIESBYGROUP(const Study&, Writer&, Writer&) {}

}  // namespace mv
