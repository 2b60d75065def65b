#include "community/community.hpp"

namespace mv {

void GROUPSBYSPECIES(const Study&, Writer&, Writer&) {}

}  // namespace mv
