// Per-step chances and their host-visible form. Each step's chance is a
// level 0-3 (100, 75, 50 or 25 % that its gate opens); three integer
// parameters (ChanceWord0-2) carry the 32 levels as base-4 numbers, eleven
// steps per word (ten in the last), first step most significant. Level 0
// everywhere is word 0: a pattern that never had chances plays every step.
#pragma once

#include <cstdint>

constexpr int kChanceLevels = 4;
constexpr int kChanceStepsPerWord = 11;

// Percent a step of `level` opens with; levels outside 0-3 count as 0.
int ChancePercentOfLevel(int level);

// Steps covered by word g (0-2): first..last inclusive.
inline int ChanceWordFirstStep(int g) { return kChanceStepsPerWord * g; }
inline int ChanceWordLastStep(int g) {
  return kChanceStepsPerWord * g + kChanceStepsPerWord - 1 < 31
             ? kChanceStepsPerWord * g + kChanceStepsPerWord - 1
             : 31;
}
// The largest value word g can hold: 4^steps - 1.
int32_t ChanceWordMax(int g);

// Writes the digits of `word` into levels[first..last] of word g; a
// negative word reads as 0, digits past the word's steps are ignored.
void UnpackChanceWord(uint8_t* levels, int g, int32_t word);
// Builds word g from levels 0-3 (others are taken as 0).
int32_t PackChanceWord(const uint8_t* levels, int g);
