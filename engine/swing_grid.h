// The swung step grid. Steps come in pairs on the step count from the
// position origin (not the pattern index, so an odd cycle swings with the
// track): a pair lasts two plain steps, its first step takes "Swing" percent
// of it and the second the rest. At 50 % both are the plain step.
#pragma once

#include <cstdint>

// Where a position falls on the grid: the step's number from the origin and
// the samples already run of it.
struct GridPlace {
  int64_t step;
  uint32_t counter;
};

// Samples of the first step of a pair: the pair's length times swing / 100,
// rounded half away from zero; swing is held to 50-75.
uint32_t SwungFirstLength(uint32_t samplesPerStep, int32_t swingPercent);

// Samples of step `step` (counted from the origin, >= 0).
uint32_t SwungStepLength(int64_t step, uint32_t samplesPerStep, int32_t swingPercent);

// The step a position (>= 0) falls in and how far into it.
GridPlace SwungPlace(int64_t position, uint32_t samplesPerStep, int32_t swingPercent);
