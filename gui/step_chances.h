// StepChances: the chance levels (engine/chance_words.h) of the steps one
// chance word carries, drawn as marks in the corner of each step's time bar:
// one small square per quarter taken off the step's 100 %, so a step that
// always plays shows none. Bound to that word's parameter, it redraws when
// the host, a program or the editor changes it.
//
// It never takes a press itself (the bars under it do); a Ctrl+click on a
// step bar calls CycleStep, which sends the word with the step's next level
// (100, 75, 50, 25, then 100 again) to the host as one gesture.
#pragma once

#include "gui/control.h"

class StepChances : public IControl {
 public:
  static constexpr int kMarkSize = 3;
  static constexpr int kMarkPitch = 4;
  static constexpr Colour kMarkColour{255, 255, 176, 64};

  // `timeBars` are the 32 steps' time bar rectangles; the control keeps
  // those of word `word` (0-2) and covers their union.
  StepChances(IPlugBase* plug, int word, const Rect* timeBars);

  bool Draw(IEditorView& view) override;
  // The bars below take every press. [editor thread]
  bool HitTest(int x, int y) override;

  bool HoldsStep(int step) const { return step >= firstStep_ && step <= lastStep_; }
  // The level 0-3 the word gives `step`, 0 for a step of another word.
  // [editor thread]
  int LevelOf(int step) const;
  // Sets the step to its next level through the host's parameter path,
  // inside one gesture on the word, and names the new chance in the status
  // line. [editor thread, instance lock not held]
  void CycleStep(int step);

  // The square for the k-th quarter (k from 0) off the chance of a step
  // whose time bar is `bar`, right to left along its bottom edge.
  static Rect MarkRect(const Rect& bar, int k);

 private:
  int firstStep_;
  int lastStep_;
  Rect bars_[11];
};
