#include "abundance/abundance.hpp"

namespace mv {

void SPECIESABUNDANCE(const Study&, Writer&, Writer&) {}

}  // namespace mv
