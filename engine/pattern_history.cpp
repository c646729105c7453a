#include "engine/pattern_history.h"

#include <algorithm>
#include <cstring>

bool PatternHistory::Push(const uint16_t* before, const uint16_t* after, const char* label) {
  if (std::equal(before, before + kPatternEntries, after)) return false;
  count_ = undoable_;
  if (count_ == kCapacity) {
    oldest_ = (oldest_ + 1) % kCapacity;
    --count_;
    --undoable_;
  }
  Step& step = At(count_);
  std::copy_n(before, kPatternEntries, step.before);
  std::copy_n(after, kPatternEntries, step.after);
  const char* text = label ? label : "";
  const size_t length = std::min(std::strlen(text), static_cast<size_t>(kLabelSize - 1));
  std::memcpy(step.label, text, length);
  step.label[length] = '\0';
  ++count_;
  ++undoable_;
  return true;
}

const char* PatternHistory::Undo(uint16_t* pattern) {
  if (!CanUndo()) return nullptr;
  const Step& step = At(--undoable_);
  std::copy_n(step.before, kPatternEntries, pattern);
  return step.label;
}

const char* PatternHistory::Redo(uint16_t* pattern) {
  if (!CanRedo()) return nullptr;
  const Step& step = At(undoable_++);
  std::copy_n(step.after, kPatternEntries, pattern);
  return step.label;
}

const char* PatternHistory::UndoLabel() const { return CanUndo() ? At(undoable_ - 1).label : ""; }

const char* PatternHistory::RedoLabel() const { return CanRedo() ? At(undoable_).label : ""; }

void PatternHistory::Forget() {
  oldest_ = 0;
  count_ = 0;
  undoable_ = 0;
}
