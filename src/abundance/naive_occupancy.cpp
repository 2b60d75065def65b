#include "abundance/abundance.hpp"

namespace mv {

void NAIVEOCCUPANCY(const Study&, Writer&, Writer&) {}

}  // namespace mv
