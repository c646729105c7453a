#include "engine/pattern_ops.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "engine/pattern_random.h"
#include "engine/pattern_text.h"
#include "tests/engine/pattern_test_seed.h"

namespace {

constexpr int S = kStepCountMax;
using Step = std::pair<int, int>;  // time, level

Step StepOf(const TestPattern& p, int i) { return {p.e[i], p.e[S + i]}; }

std::string Text(const TestPattern& p) {
  char text[kPatternTextSize];
  FormatPatternText(p.e, S, text);
  return text;
}

// Each operation on random patterns and every cycle (and cycles outside
// 1..32, taken as its ends): the playing steps as the operation must leave
// them, the others untouched, and the inverse operation back to the start.
TEST(PatternOps, OperationsChangeThePlayingStepsOnly) {
  struct Case {
    PatternOp op, inverse;
    std::function<Step(const TestPattern&, int i, int n)> expected;
  };
  const Case cases[] = {
      {PatternOp::kShiftLeft, PatternOp::kShiftRight,
       [](const TestPattern& p, int i, int n) { return StepOf(p, (i + 1) % n); }},
      {PatternOp::kShiftRight, PatternOp::kShiftLeft,
       [](const TestPattern& p, int i, int n) { return StepOf(p, (i + n - 1) % n); }},
      {PatternOp::kReverse, PatternOp::kReverse,
       [](const TestPattern& p, int i, int n) { return StepOf(p, n - 1 - i); }},
      {PatternOp::kInvertTimes, PatternOp::kInvertTimes,
       [](const TestPattern& p, int i, int) {
         return Step{4 - p.e[i], p.e[S + i]};
       }},
      {PatternOp::kInvertLevels, PatternOp::kInvertLevels,
       [](const TestPattern& p, int i, int) {
         return Step{p.e[i], 4 - p.e[S + i]};
       }},
      {PatternOp::kClear, PatternOp::kClear,
       [](const TestPattern& p, int i, int) {
         return Step{0, p.e[S + i]};
       }},
      {PatternOp::kFill, PatternOp::kFill,
       [](const TestPattern&, int, int) {
         return Step{4, 4};
       }},
  };
  const unsigned seed = PatternTestSeed(20261207);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  for (int round = 0; round < 20; ++round) {
    for (int cycle = -1; cycle <= S + 1; ++cycle) {
      const int n = std::clamp(cycle, 1, S);
      const TestPattern start = RandomTestPattern(random);
      SCOPED_TRACE("cycle " + std::to_string(cycle) + ", " + Text(start));
      for (const Case& c : cases) {
        TestPattern p = start;
        ApplyPatternOp(c.op, p.e, cycle);
        for (int i = 0; i < S; ++i) {
          ASSERT_EQ(StepOf(p, i), i < n ? c.expected(start, i, n) : StepOf(start, i))
              << "operation " << static_cast<int>(c.op) << ", step " << i + 1;
        }
        if (c.op == PatternOp::kClear || c.op == PatternOp::kFill) continue;
        ApplyPatternOp(c.inverse, p.e, cycle);
        ASSERT_EQ(p, start) << "operation " << static_cast<int>(c.op) << " then its inverse";
      }
      TestPattern p = start;
      for (int k = 0; k < n; ++k) ShiftLeft(p.e, cycle);
      ASSERT_EQ(p, start) << "shifted left cycle times";
    }
  }
}

TEST(PatternOps, EuclidSpreadsHitsEvenlyAndRotates) {
  std::mt19937 random(PatternTestSeed(5));
  for (int n = 1; n <= S; ++n) {
    for (int k = 0; k <= n; ++k) {
      SCOPED_TRACE(std::to_string(k) + " hits over " + std::to_string(n));
      const TestPattern start = RandomTestPattern(random);
      TestPattern p = start;
      Euclid(p.e, n, k, 0);
      std::vector<int> hits;
      for (int i = 0; i < S; ++i) {
        if (i < n && p.e[i] == kEuclidHitTime) hits.push_back(i);
        const bool allowed = i < n ? p.e[i] == kEuclidHitTime || p.e[i] == 0 : p.e[i] == start.e[i];
        ASSERT_TRUE(allowed) << "time of step " << i + 1;
        ASSERT_EQ(p.e[S + i], start.e[S + i]) << "level " << i + 1;
      }
      ASSERT_EQ(static_cast<int>(hits.size()), k);
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
  // By hand: x..x..x. and, rotated by one, x...x..x..x..x..; more hits than steps
  TestPattern p{};
  Euclid(p.e, 8, 3, 0);
  Euclid(p.e + 8, 16, 5, 1);  // steps 9-24
  Euclid(p.e + 24, 4, 9, 0);  // steps 25-28
  EXPECT_EQ(Text(p).substr(10, 39), "2002.0020.0200.0200.2002.0020.2222.0000");
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
  TestPattern p{};
  Randomise(p.e, 16, RandomiseKind::kBoth, RandomiseDensity::kDense, 1234);
  EXPECT_EQ(Text(p).substr(9),
            "t3230.4230.4321.3011.0000.0000.0000.0000 "
            "l4234.4341.4233.3413.0000.0000.0000.0000");
  Randomise(p.e, 32, RandomiseKind::kTimes, RandomiseDensity::kSparse, 1);
  EXPECT_EQ(Text(p).substr(9, 40), "t0000.4000.0010.1040.2000.0000.0000.0000");
}

// Times and levels apart match both together, past the cycle nothing
// changes, and the density and the beat order the gates.
TEST(PatternOps, RandomiseKeepsItsRangesAndDensityOrdersTheGates) {
  const unsigned seed = PatternTestSeed(99);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  constexpr int kSeeds = 400, kCycle = 16;
  double meanGates[3] = {};
  int gatesAt[4] = {};  // medium, by position in a group of four
  for (int s = 0; s < kSeeds; ++s) {
    const uint32_t patternSeed = static_cast<uint32_t>(random());
    const TestPattern start = RandomTestPattern(random);
    SCOPED_TRACE("pattern seed " + std::to_string(patternSeed));
    for (int d = 0; d < 3; ++d) {
      const auto density = static_cast<RandomiseDensity>(d);
      TestPattern times = start, levels = start, both = start;
      Randomise(times.e, kCycle, RandomiseKind::kTimes, density, patternSeed);
      Randomise(levels.e, kCycle, RandomiseKind::kLevels, density, patternSeed);
      Randomise(both.e, kCycle, RandomiseKind::kBoth, density, patternSeed);
      int gates = 0;
      for (int i = 0; i < S; ++i) {
        const bool playing = i < kCycle;
        ASSERT_EQ(StepOf(times, i), playing ? Step(both.e[i], start.e[S + i]) : StepOf(start, i));
        ASSERT_EQ(StepOf(levels, i), playing ? Step(start.e[i], both.e[S + i]) : StepOf(start, i));
        ASSERT_TRUE(!playing || (both.e[i] <= 4 && both.e[S + i] >= 1 && both.e[S + i] <= 4));
        gates += playing && both.e[i] > 0;
        if (d == 1) gatesAt[i % 4] += playing && both.e[i] > 0;
      }
      ASSERT_GE(gates, 1) << "never silent";
      meanGates[d] += static_cast<double>(gates) / kSeeds;
    }
  }
  // Means near a quarter, half and 70% of the steps; the beat favoured.
  EXPECT_NEAR(meanGates[0], 4.0, 0.6);
  EXPECT_NEAR(meanGates[1], 8.0, 0.6);
  EXPECT_NEAR(meanGates[2], 11.2, 0.6);
  EXPECT_GT(gatesAt[0], gatesAt[2]);
  EXPECT_GT(gatesAt[2], std::max(gatesAt[1], gatesAt[3]));
}

}  // namespace
