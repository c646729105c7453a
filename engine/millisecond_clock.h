// The millisecond clock the audio routine uses for message timing and for
// noticing pauses between blocks. It starts near 0 (module load, or process
// start on Windows), so a message shown before the first block stays up for
// its full time.
#pragma once

#include <cstdint>

uint32_t MillisecondClock();  // [any thread] no allocation, no lock
