// The random source of Randomise: SplitMix64, integer arithmetic only, so a
// seed gives the same pattern with every compiler, standard library and
// platform (the standard distributions differ between libraries).
#pragma once

#include <cstdint>

class PatternRandom {
 public:
  explicit PatternRandom(uint64_t seed) : state_(seed) {}

  // The next 64 random bits. [any thread]
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A value in 0..n-1 (n >= 1) from the top 32 bits, by multiplication
  // rather than modulo so small ranges stay even. [any thread]
  uint32_t Below(uint32_t n) {
    return static_cast<uint32_t>(((Next() >> 32) * static_cast<uint64_t>(n)) >> 32);
  }

 private:
  uint64_t state_;
};
