#include <time.h>

#include "engine/millisecond_clock.h"

namespace {
uint64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// Counted from module load, as the Windows runtime counts from process start,
// so that message clear times set before the first block (from 0) still
// leave the message up for its full time.
const uint64_t kLoadMs = MonotonicMs();
}  // namespace

// A monotonic wall clock: C clock() here counts CPU time, which stands still
// while the host pauses processing and so would hide the pauses we look for.
uint32_t MillisecondClock() { return static_cast<uint32_t>(MonotonicMs() - kLoadMs); }
