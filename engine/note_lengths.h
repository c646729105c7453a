// Musical settings turned into sample counts: the note length of each "Rate"
// value and the envelope and glide lengths derived from the step length.
#pragma once

#include <cstdint>

constexpr int kRateValueCount = 28;

// Note length in whole notes of rate index `rate` (0-27), as a multiple of
// `base` (always 1/128): plain, triplet and dotted values in turn.
float NoteLengthForRate(int16_t rate, float base);

// Samples per step for `rate` at `samplesPerWholeNote`, rounded half away
// from zero.
uint32_t SamplesPerStepFor(int rate, double samplesPerWholeNote);

// Envelope rise per sample for "Attack" percent (the same law serves "Release"):
// from 1/110 of a step at 0 to two steps at 200.
double EnvelopeSlopeFor(uint32_t samplesPerStep, int32_t percent);

// Samples of a level glide for "Fade" percent: 1/110 of a step at 0 to one step at 100.
int32_t FadeLengthFor(uint32_t samplesPerStep, int32_t percent);
