// The millisecond clock the audio routine uses for message timing and for
// noticing pauses between blocks. Only differences and order matter.
#pragma once

#include <cstdint>

uint32_t MillisecondClock();  // [any thread] no allocation, no lock
