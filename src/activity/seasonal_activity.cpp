#include "activity/activity.hpp"

namespace mv {

void SEASONALACTIVITY(const Study&, Writer&, Writer&) {}

}  // namespace mv
