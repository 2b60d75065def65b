#include "tallies/tallies.hpp"

namespace mv {

void ACCUMULATIONCURVE(const Study&, Writer&, Writer&) {}

}  // namespace mv
