#include "tallies/tallies.hpp"

namespace mv {

void GROUPSBYMONTH(const Study&, Writer&, Writer&) {}

}  // namespace mv
