#include "community/community.hpp"

namespace mv {

void GROUPINDEPENDENCE(const Study&, Writer&, Writer&) {}

}  // namespace mv
