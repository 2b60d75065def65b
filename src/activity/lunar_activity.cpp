#include "activity/activity.hpp"

namespace mv {

void LUNARACTIVITY(const Study&, Writer&, Writer&) {}

}  // namespace mv
