#include "community/community.hpp"

namespace mv {

void VENNDIAGRAM(const Study&, Writer&, Writer&) {}

}  // namespace mv
