// Seeded randomness for the pattern tests: a fixed seed, or QUORVEL_SEED to
// replay another; tests print it with SCOPED_TRACE. mt19937's sequence is
// the same everywhere; only values taken modulo are used, no distributions.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/pattern_words.h"

inline unsigned PatternTestSeed(unsigned fallback) {
  const char* text = std::getenv("QUORVEL_SEED");
  return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

inline std::string SeedTrace(unsigned seed) {
  return "seed " + std::to_string(seed) + " (replay with QUORVEL_SEED)";
}

struct TestPattern {
  uint16_t e[kPatternEntries];
  bool operator==(const TestPattern& o) const { return std::equal(e, e + kPatternEntries, o.e); }
};

inline TestPattern RandomTestPattern(std::mt19937& random) {
  TestPattern p;
  for (uint16_t& entry : p.e) entry = static_cast<uint16_t>(random() % 5);
  return p;
}
