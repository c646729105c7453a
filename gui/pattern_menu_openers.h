// The two ways to the pattern menu: the Pattern button drawn in the
// background's footer (a press opens the menu above it), and the grid's
// frame, the part of the step grids' well that is no bar (the border around
// the bars and the activity strip between the rows), where a right click
// opens the menu at the pointer.
#pragma once

#include "gui/control.h"

class PatternMenu;

class PatternMenuButton : public IControl {
 public:
  PatternMenuButton(IPlugBase* plug, const Rect& rect, PatternMenu* menu);

  // The button is part of the background image.
  bool Draw(IEditorView&) override { return true; }
  void OnMouseDown(int x, int y, const MouseMods& mods) override;
  // Holds no value for the wheel to change.
  void OnMouseWheel(int, int, const MouseMods&, float) override {}

 private:
  PatternMenu* menu_;
};

class GridFrame : public IControl {
 public:
  // `well` is the grids' whole area; `barRows` the rectangles the bars of
  // each grid fill. The frame's own rectangle is empty: it draws nothing
  // and only hears presses.
  GridFrame(IPlugBase* plug, const Rect& well, const Rect& upperBars, const Rect& lowerBars,
            PatternMenu* menu);

  bool Draw(IEditorView&) override { return true; }
  bool HitTest(int x, int y) override;
  void OnMouseDown(int x, int y, const MouseMods& mods) override;
  // Holds no value: a notch would only mark a control that is never drawn
  // as needing it.
  void OnMouseWheel(int, int, const MouseMods&, float) override {}

 private:
  Rect upperBars_;
  Rect lowerBars_;
  PatternMenu* menu_;
};
