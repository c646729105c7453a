// IURLOpen: an invisible area that opens the effect's web page in the default
// browser when clicked with any button.
#pragma once

#include "gui/control.h"

class IURLOpen : public IControl {
 public:
  static constexpr const char* kWebHost = "quorvel.example";
  static constexpr const char* kOpenError = "Cannot open url. Check your default browser.";

  IURLOpen(IPlugBase* plug, const Rect& rect) : IControl(plug, rect) {}

  bool Draw(IEditorView&) override { return true; }
  void OnMouseDown(int x, int y, const MouseMods& mods) override;
};
