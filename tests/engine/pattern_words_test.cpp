#include "engine/pattern_words.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/test_gate.h"

namespace {

// Base-5 value of a digit string, first digit most significant.
int32_t Base5(const char* digits) {
  int32_t w = 0;
  for (const char* c = digits; *c; ++c) w = w * 5 + (*c - '0');
  return w;
}

TEST(PatternWords, DefaultsDecodeToTimesTwoAndVolumesFour) {
  TestGate gate;
  gate.Open();
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(gate.StepPattern[i], 2) << "time of step " << i + 1;
    EXPECT_EQ(gate.StepPattern[32 + i], 4) << "volume of step " << i + 1;
    EXPECT_DOUBLE_EQ(gate.bars[i], 0.5);
    EXPECT_DOUBLE_EQ(gate.bars[32 + i], 1.0);
  }
  EXPECT_EQ(Base5("2222222222"), 4882812);
  EXPECT_EQ(Base5("2244444444"), 5078124);
}

TEST(PatternWords, LastWordHoldsFourVolumesMostSignificantFirst) {
  TestGate gate;
  gate.Open();
  gate.Set(kPatternWord6, 123);  // 0443 in base 5
  EXPECT_EQ(gate.StepPattern[60], 0);
  EXPECT_EQ(gate.StepPattern[61], 4);
  EXPECT_EQ(gate.StepPattern[62], 4);
  EXPECT_EQ(gate.StepPattern[63], 3);
  EXPECT_EQ(gate.StepPattern[59], 4);
}

TEST(PatternWords, WordZeroClearsOnlyTheFirstTenTimes) {
  TestGate gate;
  gate.Open();
  gate.Set(kPatternWord0, 0);
  for (int k = 0; k < 64; ++k) {
    EXPECT_EQ(gate.StepPattern[k], k < 10 ? 0 : (k < 32 ? 2 : 4)) << "entry " << k;
  }
}

TEST(PatternWords, DigitsBeyondTheWordAreIgnored) {
  uint16_t pattern[64] = {};
  UnpackPatternWord(pattern, 6, 625 + 124);  // a fifth digit 1 above 0444
  EXPECT_EQ(pattern[59], 0);
  EXPECT_EQ(pattern[60], 0);
  EXPECT_EQ(pattern[63], 4);
}

TEST(PatternWords, PackThenUnpackReproducesAnyPattern) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    uint16_t pattern[64], decoded[64] = {};
    for (uint16_t& entry : pattern) entry = static_cast<uint16_t>(random() % 5);
    int32_t words[7];
    PackPatternWords(pattern, words);
    for (int g = 0; g < 7; ++g) {
      EXPECT_LE(words[g], g < 6 ? 9765624 : 624);
      UnpackPatternWord(decoded, g, words[g]);
    }
    for (int k = 0; k < 64; ++k) ASSERT_EQ(decoded[k], pattern[k]) << "entry " << k;
  }
  uint16_t all4[64];
  for (uint16_t& entry : all4) entry = 4;
  int32_t words[7];
  PackPatternWords(all4, words);
  EXPECT_EQ(words[5], 9765624);
  EXPECT_EQ(words[6], 624);
}

TEST(PatternWords, StepEditPacksWordsAtTheNextBlock) {
  TestGate gate;
  gate.Open();
  gate.EditBar(4, 3);
  EXPECT_EQ(gate.statusText, "Step 5 time: 75%");
  EXPECT_EQ(gate.lastApplied[kStepEdited], 0);
  EXPECT_EQ(gate.params[kStepEdited], 0);
  EXPECT_TRUE(gate.packPending);
  EXPECT_TRUE(gate.stored.empty());

  std::vector<double> left(64, 0), right(64, 0);
  gate.Block(left, right);
  ASSERT_EQ(gate.stored.size(), 7u);
  EXPECT_EQ(gate.stored[0].first, kPatternWord0);
  EXPECT_EQ(gate.stored[0].second, Base5("2222322222"));
  EXPECT_EQ(gate.stored[6].first, kPatternWord6);
  EXPECT_FALSE(gate.packPending);
  // Packing does not count as applying: the words were stored, not unpacked.
  EXPECT_EQ(gate.lastApplied[kPatternWord0], 4882812);

  // A second edit of the same step shows its message again.
  gate.EditBar(32, 0);
  EXPECT_EQ(gate.statusText, "Step 1 volume: 0%");
  gate.EditBar(32, 0);
  EXPECT_EQ(gate.shownTexts.back(), "Step 1 volume: 0%");
  EXPECT_EQ(gate.shownTexts.size(), 5u);  // Gate, Tie Lock, then three edits
}

TEST(PatternWords, RecallAfterPackedEditKeepsEditedPattern) {
  TestGate gate;
  gate.Open();
  gate.EditBar(0, 0);
  std::vector<double> left(16, 0), right(16, 0);
  gate.Block(left, right);
  // Recalling the old words: each equals its last applied value, so nothing unpacks.
  gate.Set(kPatternWord0, 4882812);
  EXPECT_EQ(gate.StepPattern[0], 0);
}

TEST(PatternWords, TimesNudgeMovesPlayingStepsOnly) {
  TestGate gate;
  gate.params[kCycle] = 4;
  gate.Open();
  gate.Set(kPatternWord0, Base5("2342222222"));
  gate.Set(kTimesNudge, 1);
  EXPECT_EQ(gate.statusText, "Steps time: +25%");
  const uint16_t expected[] = {3, 4, 4, 3, 2, 2};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(gate.StepPattern[k], expected[k]) << "step " << k + 1;
  EXPECT_DOUBLE_EQ(gate.bars[2], 1.0);
  EXPECT_DOUBLE_EQ(gate.bars[4], 0.5);
  EXPECT_TRUE(gate.packPending);
  const size_t shown = gate.shownTexts.size();
  gate.Set(kTimesNudge, 0);  // release
  EXPECT_EQ(gate.shownTexts.size(), shown);
  EXPECT_EQ(gate.StepPattern[0], 3);
  // A held rocker: +1, +2, +3 each nudge once more; +3 acts like +1.
  gate.Set(kTimesNudge, 1);
  gate.Set(kTimesNudge, 2);
  EXPECT_EQ(gate.StepPattern[0], 4);
  EXPECT_EQ(gate.StepPattern[3], 4);
}

TEST(PatternWords, VolumesNudgeDownStopsAtZero) {
  TestGate gate;
  gate.params[kCycle] = 2;
  gate.Open();
  for (int i = 0; i < 5; ++i) {
    gate.Set(kVolumesNudge, -(i % 2 + 1));  // -1, -2, -1, ... each a new value
  }
  EXPECT_EQ(gate.statusText, "Steps volume: -25%");
  EXPECT_EQ(gate.StepPattern[32], 0);
  EXPECT_EQ(gate.StepPattern[33], 0);
  EXPECT_EQ(gate.StepPattern[34], 4);
  EXPECT_DOUBLE_EQ(gate.bars[32], 0.0);
  EXPECT_DOUBLE_EQ(gate.bars[34], 1.0);  // beyond "Cycle": untouched
}

}  // namespace
