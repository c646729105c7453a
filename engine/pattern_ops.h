// Whole-pattern operations of the pattern menu, on the 64 entries of a
// StepPattern (0-31 gate times of steps 1-32, 32-63 their levels, 0-4
// quarters each) and the number of playing steps (the Cycle parameter).
//
// One rule for every operation: it works on the playing steps 1..cycle and
// leaves the steps past the cycle exactly as they were, as the time and
// level rockers do, so lengthening Cycle afterwards brings those steps back
// unchanged. A step's time and level move together (shift, reverse). A cycle
// outside 1..32 is taken as the nearest end.
//
// All of these are pure: no state, no allocation.
#pragma once

#include <cstdint>

// The operations that need nothing but the pattern and the cycle; the menu
// maps its items onto these.
enum class PatternOp : uint8_t {
  kShiftLeft,     // step 2 becomes step 1, step 1 becomes the last playing step
  kShiftRight,    // the last playing step becomes step 1
  kReverse,       // the playing steps in the opposite order
  kInvertTimes,   // each playing step's time t becomes 4 - t
  kInvertLevels,  // each playing step's level v becomes 4 - v
  kClear,         // playing steps' times 0 (silent); levels stay for the next fill
  kFill,          // playing steps' times and levels 4 (open all through)
};
constexpr int kPatternOpCount = 7;

enum class RandomiseKind : uint8_t { kTimes, kLevels, kBoth };
enum class RandomiseDensity : uint8_t { kSparse, kMedium, kDense };

// The gate time a Euclidean hit gets: the step's starting value, half the
// step, so neighbouring hits stay separate notes rather than one long gate.
constexpr uint16_t kEuclidHitTime = 2;

// Cycle limited to 1..32.
int PlayingSteps(int cycle);  // [any thread]

void ShiftLeft(uint16_t* pattern, int cycle);                     // [any thread]
void ShiftRight(uint16_t* pattern, int cycle);                    // [any thread]
void Reverse(uint16_t* pattern, int cycle);                       // [any thread]
void InvertTimes(uint16_t* pattern, int cycle);                   // [any thread]
void InvertLevels(uint16_t* pattern, int cycle);                  // [any thread]
void Clear(uint16_t* pattern, int cycle);                         // [any thread]
void Fill(uint16_t* pattern, int cycle);                          // [any thread]
void ApplyPatternOp(PatternOp op, uint16_t* pattern, int cycle);  // [any thread]

// Euclidean rhythm: `hits` gates (limited to 0..cycle) spread as evenly as
// possible over the playing steps, the first on step 1; `rotation` (any
// integer, taken modulo the cycle) moves every hit that many steps later.
// Hits get kEuclidHitTime, the other playing steps time 0; levels stay.
void Euclid(uint16_t* pattern, int cycle, int hits, int rotation);  // [any thread]

// Random times, levels or both for the playing steps, the same for the same
// seed, kind, density and cycle on every platform.
// Times: a step gates with a probability set by the density (about a
// quarter, half or 70% of the steps), weighted towards the beat: steps 1, 5,
// 9, ... most likely, then 3, 7, ..., the steps between least. A gated step
// lasts 1-4 quarters, 2 most often; when no step gates, step 1 gets time 2 so
// the pattern is never silent.
// Levels: 1-4, never 0, biased high and highest on steps 1, 5, 9, ...; the
// density does not change them.
// Times and levels draw from separate streams of the seed, so "both" gives
// the times of "times" and the levels of "levels" for the same seed.
void Randomise(uint16_t* pattern, int cycle, RandomiseKind kind, RandomiseDensity density,
               uint32_t seed);  // [any thread]
