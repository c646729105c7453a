// IEmpty: binds a parameter without showing anything. Its rectangle is empty,
// so it is never drawn or hit; values the effect hands to the view for its
// parameter reach the plug-in's editor path through it.
#pragma once

#include "gui/control.h"

class IEmpty : public IControl {
 public:
  IEmpty(IPlugBase* plug, int paramIndex) : IControl(plug, Rect{}, paramIndex) {}

  bool Draw(IEditorView&) override { return true; }
};
