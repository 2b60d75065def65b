#include "report/report.hpp"

namespace mv {

void WRITEFLPICS(const Study&, Writer&, Writer&) {}

}  // namespace mv
