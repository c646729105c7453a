#include "engine/pattern_ops.h"

#include <algorithm>

#include "engine/pattern_random.h"
#include "engine/pattern_words.h"

namespace {

constexpr uint16_t kFull = 4;

// Gate probability per mille for the base density, scaled by the position in
// a group of four steps (weights average 100, so the base is the mean, less
// for dense, whose downbeats reach certainty: 700).
constexpr uint32_t kDensityPerMille[] = {250, 500, 750};
constexpr uint32_t kBeatWeight[4] = {160, 60, 120, 60};
// Gate length of a gated step, one of eight equally likely.
constexpr uint16_t kGateTimes[8] = {1, 2, 2, 2, 3, 3, 4, 4};
// Levels, one of sixteen equally likely: on the beat, and between beats.
constexpr uint16_t kBeatLevels[16] = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 2};
constexpr uint16_t kOffbeatLevels[16] = {4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 2, 2, 2, 1, 1};
// Keeps the level stream apart from the time stream of the same seed.
constexpr uint64_t kLevelStream = 0x6C8E9CF570932BD5ull;

void SwapSteps(uint16_t* pattern, int a, int b) {
  std::swap(pattern[a], pattern[b]);
  std::swap(pattern[kStepCountMax + a], pattern[kStepCountMax + b]);
}

void ReverseRange(uint16_t* pattern, int first, int last) {
  for (; first < last; ++first, --last) SwapSteps(pattern, first, last);
}

void Invert(uint16_t* entries, int n) {
  for (int i = 0; i < n; ++i)
    entries[i] = static_cast<uint16_t>(kFull - std::min(entries[i], kFull));
}

}  // namespace

int PlayingSteps(int cycle) { return std::clamp(cycle, 1, kStepCountMax); }

// Rotations as two reversals, which move times and levels alike.
void ShiftLeft(uint16_t* pattern, int cycle) {
  const int n = PlayingSteps(cycle);
  ReverseRange(pattern, 1, n - 1);
  ReverseRange(pattern, 0, n - 1);
}

void ShiftRight(uint16_t* pattern, int cycle) {
  const int n = PlayingSteps(cycle);
  ReverseRange(pattern, 0, n - 1);
  ReverseRange(pattern, 1, n - 1);
}

void Reverse(uint16_t* pattern, int cycle) { ReverseRange(pattern, 0, PlayingSteps(cycle) - 1); }

void InvertTimes(uint16_t* pattern, int cycle) { Invert(pattern, PlayingSteps(cycle)); }

void InvertLevels(uint16_t* pattern, int cycle) {
  Invert(pattern + kStepCountMax, PlayingSteps(cycle));
}

void Clear(uint16_t* pattern, int cycle) { std::fill_n(pattern, PlayingSteps(cycle), 0); }

void Fill(uint16_t* pattern, int cycle) {
  const int n = PlayingSteps(cycle);
  std::fill_n(pattern, n, kFull);
  std::fill_n(pattern + kStepCountMax, n, kFull);
}

void ApplyPatternOp(PatternOp op, uint16_t* pattern, int cycle) {
  // In PatternOp order.
  static constexpr void (*kOps[kPatternOpCount])(uint16_t*, int) = {
      ShiftLeft, ShiftRight, Reverse, InvertTimes, InvertLevels, Clear, Fill};
  kOps[static_cast<int>(op)](pattern, cycle);
}

// Step q (counted from the rotation) is a hit when q * hits mod n < hits:
// the hits fall on ceil(m * n / hits), whose gaps are floor or ceil of
// n / hits.
void Euclid(uint16_t* pattern, int cycle, int hits, int rotation) {
  const int n = PlayingSteps(cycle);
  const int k = std::clamp(hits, 0, n);
  const int shift = ((rotation % n) + n) % n;
  for (int i = 0; i < n; ++i) {
    const int q = (i - shift + n) % n;
    pattern[i] = (q * k) % n < k ? kEuclidHitTime : 0;
  }
}

void Randomise(uint16_t* pattern, int cycle, RandomiseKind kind, RandomiseDensity density,
               uint32_t seed) {
  const int n = PlayingSteps(cycle);
  if (kind != RandomiseKind::kLevels) {
    PatternRandom random(seed);
    const uint32_t base = kDensityPerMille[static_cast<int>(density)];
    bool anyGate = false;
    for (int i = 0; i < n; ++i) {
      // Both draws happen for every step, so step i's outcome does not
      // depend on the steps before it.
      const uint32_t roll = random.Below(1000);
      const uint16_t length = kGateTimes[random.Below(8)];
      const bool gate = roll < base * kBeatWeight[i % 4] / 100;
      pattern[i] = gate ? length : 0;
      anyGate = anyGate || gate;
    }
    if (!anyGate) pattern[0] = 2;
  }
  if (kind != RandomiseKind::kTimes) {
    PatternRandom random(seed ^ kLevelStream);
    for (int i = 0; i < n; ++i) {
      const uint32_t pick = random.Below(16);
      pattern[kStepCountMax + i] = i % 4 == 0 ? kBeatLevels[pick] : kOffbeatLevels[pick];
    }
  }
}
