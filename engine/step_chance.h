// Whether a step's gate opens, from its chance. The draw is a pure function
// of a fixed seed, the pattern cycle counted from the position origin and
// the step index, so the same host positions give the same gates whatever
// the block sizes, and a restart (a new origin) starts the sequence again.
#pragma once

#include <cstdint>

// Hundredths of a percent (0-10000) that a step of chance `level` opens
// with under "Chance" percent.
int32_t StepOpenHundredths(int level, int32_t chancePercent);

// Draws for step `step` of cycle `cycle`; 10000 and more opens without a
// draw, 0 and less never opens.
bool StepDrawOpens(int64_t cycle, int step, int32_t openHundredths);
