#include "engine/pattern_words.h"

#include <algorithm>

#include "engine/rounding.h"

void UnpackPatternWord(uint16_t* pattern, int g, int32_t word) {
  for (int k = PatternWordLastEntry(g); k >= PatternWordFirstEntry(g); --k) {
    pattern[k] = static_cast<uint16_t>(word % 5);
    word /= 5;
  }
}

void PackPatternWords(const uint16_t* pattern, int32_t* words) {
  int32_t w = 0;
  int g = 0;
  for (int k = 0; k < kPatternEntries; ++k) {
    w = w * 5 + pattern[k];
    if (k == PatternWordLastEntry(g)) {
      words[g++] = w;
      w = 0;
    }
  }
}

double NudgedBarValue(double barValue, int direction) {
  const float d = direction > 0 ? 0.25f : -0.25f;
  return std::min(1.0, std::max(0.0, barValue + d));
}

uint16_t PatternEntryForBarValue(double barValue) {
  return static_cast<uint16_t>(RoundHalfAway(barValue * 4.0));
}
