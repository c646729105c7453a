#include "engine/info_messages.h"

#include <gtest/gtest.h>

#include "engine/pattern_messages.h"
#include "engine/test_gate.h"

namespace {

TEST(InfoMessages, Texts) {
  char buffer[kInfoMessageSize];
  FormatGateMessage(buffer, 47);
  EXPECT_STREQ(buffer, "Gate steps: 47%");
  FormatStepEditMessage(buffer, 4, 3);
  EXPECT_STREQ(buffer, "Step 5 time: 75%");
  FormatStepEditMessage(buffer, 63, 4);
  EXPECT_STREQ(buffer, "Step 32 volume: 100%");
  EXPECT_STREQ(TieLockMessage(true), "Tie steps locked");
  EXPECT_STREQ(TieLockMessage(false), "Tie steps unlocked");
  EXPECT_STREQ(NudgeMessage(false, 1), "Steps time: +25%");
  EXPECT_STREQ(NudgeMessage(false, -3), "Steps time: -25%");
  EXPECT_STREQ(NudgeMessage(true, 2), "Steps volume: +25%");
  EXPECT_STREQ(NudgeMessage(true, -1), "Steps volume: -25%");
}

// The pattern menu's formatted texts: one step or a range, rotation taken
// within the cycle, the longest seed whole, density only with times, the
// cycle only when it differs, nothing to undo.
TEST(InfoMessages, PatternTexts) {
  char b[kInfoMessageSize];
  FormatPatternOpMessage(b, PatternOp::kReverse, 1);
  EXPECT_STREQ(b, "Reversed step 1");
  FormatPatternOpMessage(b, PatternOp::kInvertLevels, 40);
  EXPECT_STREQ(b, "Inverted levels of steps 1-32");
  FormatEuclidLabel(b, 40, 32, -1);
  EXPECT_STREQ(b, "Euclid 32 of 32, rotated 31");
  FormatEuclidMessage(b, 3, 8, 8);
  EXPECT_STREQ(b, "Euclidean rhythm: 3 of 8 steps");
  FormatRandomiseMessage(b, RandomiseKind::kBoth, RandomiseDensity::kMedium, 4294967295u);
  EXPECT_STREQ(b, "Randomised pattern (seed 4294967295, medium)");
  FormatRandomiseMessage(b, RandomiseKind::kLevels, RandomiseDensity::kDense, 7);
  EXPECT_STREQ(b, "Randomised levels (seed 7)");
  FormatDrawLabel(b, 63, 63);
  EXPECT_STREQ(b, "Step 32 level");
  FormatDrawLabel(b, 38, 34);
  EXPECT_STREQ(b, "Draw levels, steps 3-7");
  FormatPasteMessage(b, 16, 16);
  EXPECT_STREQ(b, "Pasted pattern");
  FormatPasteMessage(b, 12, 16);
  EXPECT_STREQ(b, "Pasted pattern (copied with Cycle 12)");
  FormatUndoMessage(b, false, nullptr);
  EXPECT_STREQ(b, "Nothing to undo");
  FormatUndoMenuItem(b, true, PatternOpLabel(PatternOp::kShiftLeft));
  EXPECT_STREQ(b, "Redo Shift left");
}

TEST(InfoMessages, OpeningShowsGateThenTieLock) {
  TestGate gate;
  gate.Open();
  ASSERT_EQ(gate.shownTexts.size(), 2u);
  EXPECT_EQ(gate.shownTexts[0], "Gate steps: 100%");
  EXPECT_EQ(gate.shownTexts[1], "Tie steps locked");
  EXPECT_EQ(gate.infoClearClock, 9000u);
}

TEST(InfoMessages, SameValueTwiceShowsNothing) {
  TestGate gate;
  gate.Open();
  gate.Set(kGate, 50);
  gate.Set(kGate, 50.4);  // rounds to the same value
  gate.Set(kTieLock, 1);
  ASSERT_EQ(gate.shownTexts.size(), 3u);
  EXPECT_EQ(gate.shownTexts[2], "Gate steps: 50%");
  gate.Set(kTieLock, 0);
  EXPECT_EQ(gate.statusText, "Tie steps unlocked");
  EXPECT_FLOAT_EQ(gate.gateFraction, 0.5f);
}

TEST(InfoMessages, ClearedByTheFirstBlockAfterNineSeconds) {
  TestGate gate;
  gate.Open();
  std::vector<double> left(4, 0), right(4, 0);
  gate.clock = 100;
  gate.Block(left, right);  // lastBlockClock becomes 100
  gate.clock = 9000;
  gate.Block(left, right);
  EXPECT_EQ(gate.statusText, "Tie steps locked");
  gate.clock = 9001;
  gate.Block(left, right);  // lastBlockClock was 9000: not yet past
  EXPECT_EQ(gate.statusText, "Tie steps locked");
  gate.clock = 9002;
  gate.Block(left, right);  // lastBlockClock 9001 > 9000
  EXPECT_EQ(gate.statusText, "");
  EXPECT_EQ(gate.infoClearClock, 0u);

  // A new message counts from the last block and replaces the text.
  gate.Set(kGate, 30);
  EXPECT_EQ(gate.infoClearClock, 9002u + 9000u);
  gate.Set(kGate, 40);
  EXPECT_EQ(gate.statusText, "Gate steps: 40%");
}

}  // namespace
