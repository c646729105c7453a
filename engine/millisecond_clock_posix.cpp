#include <time.h>

#include "engine/millisecond_clock.h"

// A monotonic wall clock: C clock() here counts CPU time, which stands still
// while the host pauses processing and so would hide the pauses we look for.
uint32_t MillisecondClock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}
