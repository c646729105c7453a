#include <ctime>

#include "engine/millisecond_clock.h"

// The C runtime's clock() counts wall-clock milliseconds since process start here.
uint32_t MillisecondClock() { return static_cast<uint32_t>(std::clock()); }
