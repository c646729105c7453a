#include "engine/step_chance.h"

#include "engine/chance_words.h"

namespace {
constexpr uint64_t kChanceSeed = 0x51A7C0FFEE2D0C35ull;

// A 64-bit finaliser: every input bit reaches every output bit.
uint64_t Mix64(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  x ^= x >> 31;
  return x;
}
}  // namespace

int32_t StepOpenHundredths(int level, int32_t chancePercent) {
  const int32_t scale = chancePercent < 0 ? 0 : (chancePercent > 100 ? 100 : chancePercent);
  return ChancePercentOfLevel(level) * scale;
}

bool StepDrawOpens(int64_t cycle, int step, int32_t openHundredths) {
  if (openHundredths >= 10000) return true;
  if (openHundredths <= 0) return false;
  const uint64_t key =
      Mix64(kChanceSeed ^ Mix64(static_cast<uint64_t>(cycle))) + static_cast<uint64_t>(step);
  return static_cast<int32_t>(Mix64(key) % 10000u) < openHundredths;
}
