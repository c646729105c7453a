// IButton: a toggle. The image's first frame is the "on" look, drawn when the
// value is above one half; the background shows the "off" look. A double
// click counts as a second click.
#pragma once

#include "gui/control.h"

class IButton : public IControl {
 public:
  IButton(IPlugBase* plug, int paramIndex, int x, int y, const BitmapRef& image);

  bool Draw(IEditorView& view) override;
  void OnMouseDown(int x, int y, const MouseMods& mods) override;

 private:
  BitmapRef image_;
};
