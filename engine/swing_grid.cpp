#include "engine/swing_grid.h"

namespace {
int32_t HeldSwing(int32_t swingPercent) {
  return swingPercent < 50 ? 50 : (swingPercent > 75 ? 75 : swingPercent);
}
}  // namespace

uint32_t SwungFirstLength(uint32_t samplesPerStep, int32_t swingPercent) {
  const int32_t swing = HeldSwing(swingPercent);
  if (swing == 50) return samplesPerStep;
  // Integer rounding: pair x swing / 100 is never negative, so half away is half up.
  const uint64_t pair = 2 * static_cast<uint64_t>(samplesPerStep);
  return static_cast<uint32_t>((pair * static_cast<uint64_t>(swing) + 50) / 100);
}

uint32_t SwungStepLength(int64_t step, uint32_t samplesPerStep, int32_t swingPercent) {
  const uint32_t first = SwungFirstLength(samplesPerStep, swingPercent);
  if (step % 2 == 0) return first;
  return static_cast<uint32_t>(2 * static_cast<uint64_t>(samplesPerStep) - first);
}

GridPlace SwungPlace(int64_t position, uint32_t samplesPerStep, int32_t swingPercent) {
  const int64_t pair = 2 * static_cast<int64_t>(samplesPerStep);
  const int64_t first = SwungFirstLength(samplesPerStep, swingPercent);
  const int64_t pairs = position / pair;
  const int64_t offset = position - pairs * pair;
  if (offset < first) return {2 * pairs, static_cast<uint32_t>(offset)};
  return {2 * pairs + 1, static_cast<uint32_t>(offset - first)};
}
