// MyBar2: a rocker button with a left and a right half, bound to TimesNudge or
// VolumesNudge. At rest its value is 0.5. A press sends 0.4 (left) or 0.6
// (right); while held, every timer tick's draw moves the value 0.005 further
// from 0.5 and sends it, until 0 or 1; the release sends 0.5 and draws once
// more. The image holds two frames side by side: the pressed left and the
// pressed right half. A double click counts as a second press; a wheel notch
// at rest is one nudge (up raises, down lowers).
#pragma once

#include "gui/control.h"

class MyBar2 : public IControl {
 public:
  MyBar2(IPlugBase* plug, int paramIndex, int x, int y, const BitmapRef& image);

  void OnMouseDown(int x, int y, const MouseMods& mods) override;
  void OnMouseUp(int x, int y, const MouseMods& mods) override;
  void OnMouseWheel(int x, int y, const MouseMods& mods, float notches) override;
  bool Draw(IEditorView& view) override;
  bool NeedsRedraw() override;

 private:
  BitmapRef image_;
  bool released_ = false;
};
