#include "community/community.hpp"

namespace mv {

void SPECIESBYMONTH(const Study&, Writer&, Writer&) {}

}  // namespace mv
