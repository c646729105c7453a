// PatternMenuRows: what the pattern menu shows and where its highlight is,
// without drawing or input. A fixed table of rows: actions (Undo, Copy,
// Shift left, ...) and value rows (the randomise density, the Euclidean
// rotation); the Euclidean row is an action that also carries a value (its
// hits). Greyed rows (Undo and Redo with nothing to do) are skipped by the
// highlight.
//
// Navigation: Up and Down move to the previous or next row that is not
// greyed and wrap around at the ends. Values: Left and Right step a row's
// value down or up by one, wrapping around at its ends (density: sparse,
// medium, dense; hits 1..Cycle; rotation 0..Cycle-1).
#pragma once

#include <cstdint>

#include "engine/pattern_ops.h"

enum class PatternMenuRow : uint8_t {
  kUndo,
  kRedo,
  kCopy,
  kPaste,
  kShiftLeft,
  kShiftRight,
  kReverse,
  kInvertTimes,
  kInvertLevels,
  kDensity,
  kRandomiseTimes,
  kRandomiseLevels,
  kRandomiseBoth,
  kEuclid,
  kRotation,
  kClear,
  kFill,
};
constexpr int kPatternMenuRowCount = 17;

// A thin line is drawn above these rows, between groups.
bool StartsPatternMenuGroup(PatternMenuRow row);
// Rows with a value that Left / Right change (drawn with arrows).
bool HasPatternMenuValue(PatternMenuRow row);
// Rows that only hold a value: choosing one steps the value on.
bool IsPatternMenuValueOnly(PatternMenuRow row);

class PatternMenuRows {
 public:
  // Starts over when the menu opens: Undo / Redo greyed or not, the playing
  // Cycle for the hits and rotation ranges (their values are kept from the
  // last opening, limited to the new ranges); the highlight on the first row
  // that is not greyed. [editor thread]
  void Open(bool canUndo, bool canRedo, int cycle);

  int Highlight() const { return highlight_; }
  // Highlights `row` unless it is greyed or out of range (then false).
  bool SetHighlight(int row);
  // Up (-1) or Down (+1), skipping greyed rows, wrapping at the ends.
  void Move(int direction);
  // Left (-1) or Right (+1) on the highlighted row; false when it has no value.
  bool StepValue(int direction) { return StepValueOf(highlight_, direction); }
  bool StepValueOf(int row, int direction);
  bool IsGreyed(int row) const;

  RandomiseDensity Density() const { return density_; }
  int Hits() const { return hits_; }
  int Rotation() const { return rotation_; }
  int Cycle() const { return cycle_; }

 private:
  bool canUndo_ = false;
  bool canRedo_ = false;
  int cycle_ = 16;
  int highlight_ = 0;
  RandomiseDensity density_ = RandomiseDensity::kMedium;
  int hits_ = 5;
  int rotation_ = 0;
};
