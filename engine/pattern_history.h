// Undo and redo of pattern edits: a bounded history of whole patterns, one
// step per gesture or menu operation. Each step keeps the pattern before and
// after it and a short label for the menu ("Undo Shift left").
//
// The records are a fixed ring inside the object: nothing is allocated after
// construction. When full, a new step forgets the oldest. The plug-in
// instance owns one, so it outlives the editor; it is never saved with the
// host's state. Not synchronised: one thread (the editor's) uses it, or the
// caller holds the instance lock.
#pragma once

#include <cstdint>

#include "engine/pattern_words.h"

class PatternHistory {
 public:
  static constexpr int kCapacity = 128;
  // Label bytes including the NUL; longer labels are cut.
  static constexpr int kLabelSize = 40;

  // Records a step from `before` to `after` (64 entries each) and forgets
  // the steps that could have been redone. A step that changes nothing is
  // not recorded (returns false). [editor thread]
  bool Push(const uint16_t* before, const uint16_t* after, const char* label);

  // Writes the pattern before the latest step into `pattern` and returns the
  // step's label, or returns nullptr and writes nothing when there is no
  // step to undo. The label stays valid until the next Push or Forget.
  // [editor thread]
  const char* Undo(uint16_t* pattern);
  // Writes the pattern after the step last undone and returns its label, or
  // nullptr with nothing written. [editor thread]
  const char* Redo(uint16_t* pattern);

  bool CanUndo() const { return undoable_ > 0; }       // [editor thread]
  bool CanRedo() const { return undoable_ < count_; }  // [editor thread]
  // Label of the step Undo / Redo would apply, "" when there is none.
  const char* UndoLabel() const;  // [editor thread]
  const char* RedoLabel() const;  // [editor thread]

  // Drops every step. [editor thread]
  void Forget();

 private:
  struct Step {
    uint16_t before[kPatternEntries];
    uint16_t after[kPatternEntries];
    char label[kLabelSize];
  };
  Step& At(int n) { return steps_[(oldest_ + n) % kCapacity]; }
  const Step& At(int n) const { return steps_[(oldest_ + n) % kCapacity]; }

  Step steps_[kCapacity] = {};
  int oldest_ = 0;    // ring index of the oldest step kept
  int count_ = 0;     // steps kept, undoable and redoable
  int undoable_ = 0;  // steps before the cursor
};
