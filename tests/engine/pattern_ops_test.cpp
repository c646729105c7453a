#include "engine/pattern_ops.h"

#include <gtest/gtest.h>

#include "engine/pattern_random.h"
#include "engine/pattern_text.h"
#include "tests/engine/pattern_test_seed.h"

namespace {

constexpr int S = kStepCountMax;

// Step i's time and level of the pattern, as a pair for comparisons.
std::pair<int, int> StepOf(const TestPattern& p, int i) { return {p.e[i], p.e[S + i]}; }

void ExpectPastCycleKept(const TestPattern& before, const TestPattern& after, int n) {
  for (int i = n; i < S; ++i) {
    ASSERT_EQ(StepOf(after, i), StepOf(before, i)) << "step " << i + 1 << " past cycle " << n;
  }
}

// Every cycle 1..32 (and cycles outside it, taken as its ends) on random
// patterns: each operation against what it must do step by step, and the
// inverse pairs back to the start.
TEST(PatternOps, OperationsMoveThePlayingStepsOnly) {
  const unsigned seed = PatternTestSeed(20261207);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  for (int round = 0; round < 40; ++round) {
    for (int cycle = -1; cycle <= S + 1; ++cycle) {
      const int n = cycle < 1 ? 1 : (cycle > S ? S : cycle);
      const TestPattern start = RandomTestPattern(random);
      SCOPED_TRACE("cycle " + std::to_string(cycle) + ", " + Describe(start));
      TestPattern p = start;

      ShiftLeft(p.e, cycle);
      for (int i = 0; i < n; ++i) ASSERT_EQ(StepOf(p, i), StepOf(start, (i + 1) % n)) << i;
      ExpectPastCycleKept(start, p, n);
      ShiftRight(p.e, cycle);
      ASSERT_EQ(p, start);
      ShiftRight(p.e, cycle);
      for (int i = 0; i < n; ++i) ASSERT_EQ(StepOf(p, (i + 1) % n), StepOf(start, i)) << i;
      for (int k = 1; k < n; ++k) ShiftRight(p.e, cycle);
      ASSERT_EQ(p, start) << "shifted right cycle times";

      ApplyPatternOp(PatternOp::kReverse, p.e, cycle);
      for (int i = 0; i < n; ++i) ASSERT_EQ(StepOf(p, i), StepOf(start, n - 1 - i)) << i;
      ExpectPastCycleKept(start, p, n);
      Reverse(p.e, cycle);
      ASSERT_EQ(p, start);

      InvertTimes(p.e, cycle);
      InvertLevels(p.e, cycle);
      for (int i = 0; i < n; ++i) {
        ASSERT_EQ(StepOf(p, i), std::make_pair(4 - start.e[i], 4 - start.e[S + i])) << i;
      }
      ExpectPastCycleKept(start, p, n);
      ApplyPatternOp(PatternOp::kInvertTimes, p.e, cycle);
      ApplyPatternOp(PatternOp::kInvertLevels, p.e, cycle);
      ASSERT_EQ(p, start);

      Clear(p.e, cycle);
      for (int i = 0; i < n; ++i) ASSERT_EQ(StepOf(p, i), std::make_pair(0, int{start.e[S + i]}));
      ExpectPastCycleKept(start, p, n);
      Fill(p.e, cycle);
      for (int i = 0; i < n; ++i) ASSERT_EQ(StepOf(p, i), std::make_pair(4, 4));
      ExpectPastCycleKept(start, p, n);
    }
  }
}

// Hit positions of a Euclid pattern over n steps.
std::vector<int> HitsOf(const TestPattern& p, int n) {
  std::vector<int> hits;
  for (int i = 0; i < n; ++i) {
    if (p.e[i] == kEuclidHitTime) {
      hits.push_back(i);
    } else if (p.e[i] != 0) {
      ADD_FAILURE() << "step " << i + 1 << " time " << p.e[i];
    }
  }
  return hits;
}

TEST(PatternOps, EuclidSpreadsHitsEvenlyAndRotates) {
  std::mt19937 random(PatternTestSeed(5));
  for (int n = 1; n <= S; ++n) {
    for (int k = 0; k <= n; ++k) {
      SCOPED_TRACE(std::to_string(k) + " hits over " + std::to_string(n));
      const TestPattern start = RandomTestPattern(random);
      TestPattern p = start;
      Euclid(p.e, n, k, 0);
      const std::vector<int> hits = HitsOf(p, n);
      ASSERT_EQ(static_cast<int>(hits.size()), k);
      for (int i = 0; i < S; ++i) ASSERT_EQ(p.e[S + i], start.e[S + i]) << "level " << i + 1;
      ExpectPastCycleKept(start, p, n);
      if (k == 0) continue;
      EXPECT_EQ(hits[0], 0) << "the first hit is on step 1";
      int shortest = n, longest = 0;
      for (int h = 0; h < k; ++h) {
        const int gap = h + 1 < k ? hits[h + 1] - hits[h] : hits[0] + n - hits[h];
        shortest = std::min(shortest, gap);
        longest = std::max(longest, gap);
      }
      EXPECT_LE(longest - shortest, 1);
      for (int rotation : {1, n - 1, n + 2, -3, 7}) {
        TestPattern rotated = start;
        Euclid(rotated.e, n, k, rotation);
        const int r = ((rotation % n) + n) % n;
        for (int i = 0; i < n; ++i) ASSERT_EQ(rotated.e[(i + r) % n], p.e[i]) << rotation;
      }
    }
  }
  // By hand: x..x..x. and x...x..x..x..x..
  TestPattern p{};
  Euclid(p.e, 8, 3, 0);
  EXPECT_EQ(Describe(p).substr(5, 8), "20020020");
  Euclid(p.e, 16, 5, 1);
  EXPECT_EQ(Describe(p).substr(5, 16), "0200020020020020");
  Euclid(p.e, 4, 9, 0);  // more hits than steps: every step
  EXPECT_EQ(Describe(p).substr(5, 5), "22220");
}

TEST(PatternOps, RandomSourceIsSplitMix64) {
  // The first outputs of SplitMix64 from seed 0, as published with it.
  PatternRandom random(0);
  EXPECT_EQ(random.Next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(random.Next(), 0x6E789E6AA1B965F4ull);
  EXPECT_EQ(random.Next(), 0x06C45D188009454Full);
}

// Seeds are shown to users, so a seed must keep giving its pattern in every
// build and every later version: these texts are pinned, and the Windows
// build runs this file too.
TEST(PatternOps, SeedsGiveTheSamePatternsEverywhere) {
  uint16_t pattern[kPatternEntries] = {};
  char text[kPatternTextSize];
  Randomise(pattern, 16, RandomiseKind::kBoth, RandomiseDensity::kDense, 1234);
  FormatPatternText(pattern, 16, text);
  EXPECT_STREQ(text,
               "QRV1 c16 t3230.4230.4321.3011.0000.0000.0000.0000 "
               "l4234.4341.4233.3413.0000.0000.0000.0000");
  Randomise(pattern, 32, RandomiseKind::kTimes, RandomiseDensity::kSparse, 1);
  FormatPatternText(pattern, 16, text);
  EXPECT_STREQ(text,
               "QRV1 c16 t0000.4000.0010.1040.2000.0000.0000.0000 "
               "l4234.4341.4233.3413.0000.0000.0000.0000");
}

TEST(PatternOps, RandomiseIsReproducibleAndDensityOrdersTheGates) {
  const unsigned seed = PatternTestSeed(99);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  constexpr int kSeeds = 400, kCycle = 16;
  const RandomiseDensity densities[] = {RandomiseDensity::kSparse, RandomiseDensity::kMedium,
                                        RandomiseDensity::kDense};
  double meanGates[3] = {};
  int gatesAt[4] = {};  // medium, by position in a group of four
  for (int s = 0; s < kSeeds; ++s) {
    const uint32_t patternSeed = static_cast<uint32_t>(random());
    const TestPattern start = RandomTestPattern(random);
    SCOPED_TRACE("pattern seed " + std::to_string(patternSeed));
    for (int d = 0; d < 3; ++d) {
      TestPattern times = start, levels = start, both = start, again = start;
      Randomise(times.e, kCycle, RandomiseKind::kTimes, densities[d], patternSeed);
      Randomise(levels.e, kCycle, RandomiseKind::kLevels, densities[d], patternSeed);
      Randomise(both.e, kCycle, RandomiseKind::kBoth, densities[d], patternSeed);
      Randomise(again.e, kCycle, RandomiseKind::kBoth, densities[d], patternSeed);
      ASSERT_EQ(both, again);
      ExpectPastCycleKept(start, both, kCycle);
      int gates = 0;
      for (int i = 0; i < kCycle; ++i) {
        ASSERT_EQ(both.e[i], times.e[i]);
        ASSERT_EQ(both.e[S + i], levels.e[S + i]);
        ASSERT_EQ(times.e[S + i], start.e[S + i]) << "times alone keep the levels";
        ASSERT_EQ(levels.e[i], start.e[i]) << "levels alone keep the times";
        ASSERT_LE(both.e[i], 4);
        ASSERT_GE(both.e[S + i], 1);
        ASSERT_LE(both.e[S + i], 4);
        if (both.e[i] > 0) {
          ++gates;
          if (d == 1) ++gatesAt[i % 4];
        }
      }
      ASSERT_GE(gates, 1) << "never silent";
      meanGates[d] += static_cast<double>(gates) / kSeeds;
    }
  }
  // Means near a quarter, half and 70% of the steps.
  EXPECT_NEAR(meanGates[0], 4.0, 0.6);
  EXPECT_NEAR(meanGates[1], 8.0, 0.6);
  EXPECT_NEAR(meanGates[2], 11.2, 0.6);
  EXPECT_GT(gatesAt[0], gatesAt[2]);
  EXPECT_GT(gatesAt[2], gatesAt[1]);
  EXPECT_GT(gatesAt[2], gatesAt[3]);
}

}  // namespace
