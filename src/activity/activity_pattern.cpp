#include "activity/activity.hpp"

namespace mv {

void ACTIVITYPATTERN(const Study&, Writer&, Writer&) {}

}  // namespace mv
