#include "input/input.hpp"

namespace mv {

int FINDDAY(int, int, int, int) { return 0; }

int FINDHOUR(int, int, int, int, int) { return 0; }

int FINDMINUTE(int, int, int, int, int, int) { return 0; }

void STARTSTOPDAYS(Study&, Console&) {}

}  // namespace mv
