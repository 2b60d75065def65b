#include "abundance/abundance.hpp"

namespace mv {

void DETECTIONRATES(const Study&, Writer&, Writer&) {}

}  // namespace mv
