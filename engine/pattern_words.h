// The step pattern and its host-visible form. StepPattern entries 0-31 are
// the gate times of steps 1-32, entries 32-63 their levels, each 0-4 quarters.
// Seven integer parameters (PatternWord0-6) carry the pattern as base-5
// numbers, ten entries per word (four in the last), first entry most
// significant.
#pragma once

#include <cstdint>

constexpr int kStepCountMax = 32;
constexpr int kPatternEntries = 64;
constexpr int kPatternWordCount = 7;
constexpr int kFirstPatternWordParam = 10;

// Entries covered by word g (0-6): first..last inclusive.
inline int PatternWordFirstEntry(int g) { return 10 * g; }
inline int PatternWordLastEntry(int g) { return 10 * g + 9 < 63 ? 10 * g + 9 : 63; }

// Writes the digits of `word` into the entries of word g; digits beyond the
// word's own entries are ignored.
void UnpackPatternWord(uint16_t* pattern, int g, int32_t word);

// Builds all seven words from the 64 entries.
void PackPatternWords(const uint16_t* pattern, int32_t* words);

// One nudge of a bar value by a quarter in the direction of `direction`'s
// sign, kept within 0..1.
double NudgedBarValue(double barValue, int direction);

// The pattern entry a bar value stands for.
uint16_t PatternEntryForBarValue(double barValue);
