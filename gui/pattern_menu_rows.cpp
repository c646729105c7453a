#include "gui/pattern_menu_rows.h"

#include <algorithm>

namespace {

constexpr int kDensityCount = 3;

// n stepped by one in 0..count-1, wrapping around.
int Wrap(int n, int direction, int count) { return ((n + direction) % count + count) % count; }

}  // namespace

bool StartsPatternMenuGroup(PatternMenuRow row) {
  return row == PatternMenuRow::kCopy || row == PatternMenuRow::kShiftLeft ||
         row == PatternMenuRow::kDensity || row == PatternMenuRow::kEuclid ||
         row == PatternMenuRow::kClear;
}

bool HasPatternMenuValue(PatternMenuRow row) {
  return row == PatternMenuRow::kDensity || row == PatternMenuRow::kEuclid ||
         row == PatternMenuRow::kRotation;
}

bool IsPatternMenuValueOnly(PatternMenuRow row) {
  return row == PatternMenuRow::kDensity || row == PatternMenuRow::kRotation;
}

void PatternMenuRows::Open(bool canUndo, bool canRedo, int cycle) {
  canUndo_ = canUndo;
  canRedo_ = canRedo;
  cycle_ = PlayingSteps(cycle);
  hits_ = std::clamp(hits_, 1, cycle_);
  rotation_ = std::clamp(rotation_, 0, cycle_ - 1);
  highlight_ = kPatternMenuRowCount - 1;
  Move(1);
}

bool PatternMenuRows::IsGreyed(int row) const {
  if (row == static_cast<int>(PatternMenuRow::kUndo)) return !canUndo_;
  if (row == static_cast<int>(PatternMenuRow::kRedo)) return !canRedo_;
  return false;
}

bool PatternMenuRows::SetHighlight(int row) {
  if (row < 0 || row >= kPatternMenuRowCount || IsGreyed(row)) return false;
  highlight_ = row;
  return true;
}

void PatternMenuRows::Move(int direction) {
  int row = highlight_;
  // At most two rows are greyed: a full turn always finds another.
  for (int tries = 0; tries < kPatternMenuRowCount; ++tries) {
    row = Wrap(row, direction < 0 ? -1 : 1, kPatternMenuRowCount);
    if (!IsGreyed(row)) break;
  }
  highlight_ = row;
}

bool PatternMenuRows::StepValueOf(int row, int direction) {
  const int step = direction < 0 ? -1 : 1;
  switch (static_cast<PatternMenuRow>(row)) {
    case PatternMenuRow::kDensity:
      density_ =
          static_cast<RandomiseDensity>(Wrap(static_cast<int>(density_), step, kDensityCount));
      return true;
    case PatternMenuRow::kEuclid:
      hits_ = Wrap(hits_ - 1, step, cycle_) + 1;
      return true;
    case PatternMenuRow::kRotation:
      rotation_ = Wrap(rotation_, step, cycle_);
      return true;
    default:
      return false;
  }
}
