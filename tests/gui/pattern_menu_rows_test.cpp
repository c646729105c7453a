// The pattern menu's rows without drawing: where the highlight goes (greyed
// rows skipped, wrapping at both ends) and how the values step (wrapping in
// their ranges, which follow the playing Cycle).
#include <gtest/gtest.h>

#include "gui/pattern_menu_rows.h"

namespace {

constexpr int Row(PatternMenuRow row) { return static_cast<int>(row); }

TEST(PatternMenuRows, HighlightSkipsGreyedRowsAndWrapsAtBothEnds) {
  const struct {
    bool canUndo;
    bool canRedo;
    int start;      // the row highlighted before the move
    int direction;  // -1 Up, +1 Down
    int expected;
  } cases[] = {
      // Nothing to undo or redo: the menu starts on Copy and both ends wrap past them.
      {false, false, -1, 0, Row(PatternMenuRow::kCopy)},
      {false, false, Row(PatternMenuRow::kCopy), -1, Row(PatternMenuRow::kFill)},
      {false, false, Row(PatternMenuRow::kFill), 1, Row(PatternMenuRow::kCopy)},
      // Undo only: Redo is skipped both ways.
      {true, false, -1, 0, Row(PatternMenuRow::kUndo)},
      {true, false, Row(PatternMenuRow::kUndo), 1, Row(PatternMenuRow::kCopy)},
      {true, false, Row(PatternMenuRow::kCopy), -1, Row(PatternMenuRow::kUndo)},
      {true, false, Row(PatternMenuRow::kUndo), -1, Row(PatternMenuRow::kFill)},
      // Redo only: the menu starts on Redo; Fill wraps to it.
      {false, true, -1, 0, Row(PatternMenuRow::kRedo)},
      {false, true, Row(PatternMenuRow::kFill), 1, Row(PatternMenuRow::kRedo)},
      {true, true, Row(PatternMenuRow::kUndo), 1, Row(PatternMenuRow::kRedo)},
      {true, true, Row(PatternMenuRow::kShiftLeft), 1, Row(PatternMenuRow::kShiftRight)},
      {true, true, Row(PatternMenuRow::kDensity), -1, Row(PatternMenuRow::kInvertLevels)},
  };
  for (const auto& c : cases) {
    PatternMenuRows rows;
    rows.Open(c.canUndo, c.canRedo, 16);
    if (c.start >= 0) {
      ASSERT_TRUE(rows.SetHighlight(c.start)) << c.start;
    }
    if (c.direction != 0) rows.Move(c.direction);
    EXPECT_EQ(rows.Highlight(), c.expected)
        << c.canUndo << c.canRedo << " from " << c.start << " by " << c.direction;
  }
}

TEST(PatternMenuRows, GreyedRowsCannotBeHighlighted) {
  PatternMenuRows rows;
  rows.Open(false, true, 16);
  EXPECT_FALSE(rows.SetHighlight(Row(PatternMenuRow::kUndo)));
  EXPECT_TRUE(rows.SetHighlight(Row(PatternMenuRow::kRedo)));
  EXPECT_FALSE(rows.SetHighlight(-1));
  EXPECT_FALSE(rows.SetHighlight(kPatternMenuRowCount));
  EXPECT_EQ(rows.Highlight(), Row(PatternMenuRow::kRedo));
}

TEST(PatternMenuRows, ValuesStepAndWrapWithinTheCycle) {
  PatternMenuRows rows;
  rows.Open(false, false, 4);
  // Hits start at 5, limited to the cycle of 4.
  EXPECT_EQ(rows.Hits(), 4);
  EXPECT_TRUE(rows.StepValueOf(Row(PatternMenuRow::kEuclid), 1));
  EXPECT_EQ(rows.Hits(), 1);
  EXPECT_TRUE(rows.StepValueOf(Row(PatternMenuRow::kEuclid), -1));
  EXPECT_EQ(rows.Hits(), 4);
  for (int expected : {3, 0, 1}) {
    rows.StepValueOf(Row(PatternMenuRow::kRotation), expected == 3 ? -1 : 1);
    EXPECT_EQ(rows.Rotation(), expected);
  }
  // Reopened with a shorter cycle: the values are kept, within the new ranges.
  rows.Open(false, false, 1);
  EXPECT_EQ(rows.Hits(), 1);
  EXPECT_EQ(rows.Rotation(), 0);
  EXPECT_TRUE(rows.StepValueOf(Row(PatternMenuRow::kRotation), 1));
  EXPECT_EQ(rows.Rotation(), 0);
  rows.Open(false, false, 32);
  EXPECT_EQ(rows.Hits(), 1);

  EXPECT_EQ(rows.Density(), RandomiseDensity::kMedium);
  const RandomiseDensity up[] = {RandomiseDensity::kDense, RandomiseDensity::kSparse,
                                 RandomiseDensity::kMedium};
  for (RandomiseDensity expected : up) {
    EXPECT_TRUE(rows.StepValueOf(Row(PatternMenuRow::kDensity), 1));
    EXPECT_EQ(rows.Density(), expected);
  }
  // Rows without a value say so and change nothing.
  EXPECT_FALSE(rows.StepValueOf(Row(PatternMenuRow::kFill), 1));
  ASSERT_TRUE(rows.SetHighlight(Row(PatternMenuRow::kCopy)));
  EXPECT_FALSE(rows.StepValue(1));
  EXPECT_EQ(rows.Density(), RandomiseDensity::kMedium);
}

}  // namespace
