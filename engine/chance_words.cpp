#include "engine/chance_words.h"

int ChancePercentOfLevel(int level) {
  return level >= 0 && level < kChanceLevels ? 100 - 25 * level : 100;
}

int32_t ChanceWordMax(int g) {
  int32_t max = 1;
  for (int s = ChanceWordFirstStep(g); s <= ChanceWordLastStep(g); ++s) max *= kChanceLevels;
  return max - 1;
}

void UnpackChanceWord(uint8_t* levels, int g, int32_t word) {
  uint32_t rest = word > 0 ? static_cast<uint32_t>(word) : 0;
  // The last step of the word is the least significant digit.
  for (int s = ChanceWordLastStep(g); s >= ChanceWordFirstStep(g); --s) {
    levels[s] = static_cast<uint8_t>(rest % kChanceLevels);
    rest /= kChanceLevels;
  }
}

int32_t PackChanceWord(const uint8_t* levels, int g) {
  int32_t word = 0;
  for (int s = ChanceWordFirstStep(g); s <= ChanceWordLastStep(g); ++s) {
    const int level = levels[s] < kChanceLevels ? levels[s] : 0;
    word = word * kChanceLevels + level;
  }
  return word;
}
