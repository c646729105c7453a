#include "gui/pattern_menu_openers.h"

#include "gui/pattern_menu.h"

PatternMenuButton::PatternMenuButton(IPlugBase* plug, const Rect& rect, PatternMenu* menu)
    : IControl(plug, rect), menu_(menu) {}

void PatternMenuButton::OnMouseDown(int, int, const MouseMods&) { menu_->OpenAbove(rect_); }

GridFrame::GridFrame(IPlugBase* plug, const Rect& well, const Rect& upperBars,
                     const Rect& lowerBars, PatternMenu* menu)
    : IControl(plug, Rect{}), upperBars_(upperBars), lowerBars_(lowerBars), menu_(menu) {
  SetTargetRect(well);
}

bool GridFrame::HitTest(int x, int y) {
  return targetRect_.Contains(x, y) && !upperBars_.Contains(x, y) && !lowerBars_.Contains(x, y);
}

void GridFrame::OnMouseDown(int x, int y, const MouseMods& mods) {
  if (mods.R) menu_->OpenAt(x, y);
}
