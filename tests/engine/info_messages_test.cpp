#include "engine/info_messages.h"

#include <gtest/gtest.h>

#include <string>

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

// Each pattern text, the longest ones whole in their buffers.
TEST(InfoMessages, PatternTexts) {
  using Format = void (*)(char*);
  const std::pair<Format, const char*> cases[] = {
      {[](char* b) { FormatPatternOpMessage(b, PatternOp::kShiftLeft, 12); },
       "Shifted steps 1-12 left"},
      {[](char* b) { FormatPatternOpMessage(b, PatternOp::kShiftRight, 40); },
       "Shifted steps 1-32 right"},
      {[](char* b) { FormatPatternOpMessage(b, PatternOp::kReverse, 1); }, "Reversed step 1"},
      {[](char* b) { FormatPatternOpMessage(b, PatternOp::kInvertTimes, 8); },
       "Inverted times of steps 1-8"},
      {[](char* b) { FormatPatternOpMessage(b, PatternOp::kInvertLevels, 32); },
       "Inverted levels of steps 1-32"},
      {[](char* b) { FormatPatternOpMessage(b, PatternOp::kClear, 16); },
       "Cleared times of steps 1-16"},
      {[](char* b) { FormatPatternOpMessage(b, PatternOp::kFill, 0); }, "Filled step 1"},
      {[](char* b) { FormatEuclidLabel(b, 5, 16, 0); }, "Euclid 5 of 16"},
      {[](char* b) { FormatEuclidLabel(b, 40, 32, -1); }, "Euclid 32 of 32, rotated 31"},
      {[](char* b) { FormatEuclidMessage(b, 3, 8, 10); },
       "Euclidean rhythm: 3 of 8 steps, rotated 2"},
      {[](char* b) {
         FormatRandomiseMessage(b, RandomiseKind::kTimes, RandomiseDensity::kDense, 1234);
       },
       "Randomised times (seed 1234, dense)"},
      {[](char* b) {
         FormatRandomiseMessage(b, RandomiseKind::kLevels, RandomiseDensity::kDense, 7);
       },
       "Randomised levels (seed 7)"},
      {[](char* b) {
         FormatRandomiseMessage(b, RandomiseKind::kBoth, RandomiseDensity::kMedium, 4294967295u);
       },
       "Randomised pattern (seed 4294967295, medium)"},
      {[](char* b) { FormatDrawLabel(b, 4, 4); }, "Step 5 time"},
      {[](char* b) { FormatDrawLabel(b, 63, 63); }, "Step 32 level"},
      {[](char* b) { FormatDrawLabel(b, 38, 34); }, "Draw levels, steps 3-7"},
      {[](char* b) { FormatDrawLabel(b, 0, 31); }, "Draw times, steps 1-32"},
      {[](char* b) { FormatPasteMessage(b, 16, 16); }, "Pasted pattern"},
      {[](char* b) { FormatPasteMessage(b, 12, 16); }, "Pasted pattern (copied with Cycle 12)"},
      {[](char* b) { FormatUndoMessage(b, false, "Shift left"); }, "Undone: Shift left"},
      {[](char* b) { FormatUndoMessage(b, true, "Euclid 32 of 32, rotated 31"); },
       "Redone: Euclid 32 of 32, rotated 31"},
      {[](char* b) { FormatUndoMessage(b, false, nullptr); }, "Nothing to undo"},
      {[](char* b) { FormatUndoMessage(b, true, nullptr); }, "Nothing to redo"},
      {[](char* b) { FormatUndoMenuItem(b, false, "Reverse"); }, "Undo Reverse"},
      {[](char* b) { FormatUndoMenuItem(b, true, ""); }, "Redo"},
  };
  for (const auto& [format, expected] : cases) {
    char buffer[kInfoMessageSize];
    format(buffer);
    EXPECT_STREQ(buffer, expected);
  }
  const std::pair<const char*, const char*> texts[] = {
      {PatternOpLabel(PatternOp::kShiftLeft), "Shift left"},
      {PatternOpLabel(PatternOp::kShiftRight), "Shift right"},
      {PatternOpLabel(PatternOp::kReverse), "Reverse"},
      {PatternOpLabel(PatternOp::kInvertTimes), "Invert times"},
      {PatternOpLabel(PatternOp::kInvertLevels), "Invert levels"},
      {PatternOpLabel(PatternOp::kClear), "Clear"},
      {PatternOpLabel(PatternOp::kFill), "Fill"},
      {RandomiseLabel(RandomiseKind::kTimes), "Randomise times"},
      {RandomiseLabel(RandomiseKind::kLevels), "Randomise levels"},
      {RandomiseLabel(RandomiseKind::kBoth), "Randomise pattern"},
      {DensityName(RandomiseDensity::kSparse), "sparse"},
      {PasteLabel(), "Paste"},
      {CopiedMessage(), "Pattern copied"},
      {NotAPatternMessage(), "Not a pattern: nothing pasted"},
  };
  for (const auto& [text, expected] : texts) EXPECT_STREQ(text, expected);
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
