#include "effort/effort.hpp"

namespace mv {

void GROUPSTARTSTOP(Study&, Writer&) {}

void CAMERATRAPEFFORT(Study&, Writer&) {}

void GROUPCTDAYS(Study&, Writer&) {}

void WRITEGROUPTRAPDAYS(const Study&, Writer&, Writer&) {}

}  // namespace mv
