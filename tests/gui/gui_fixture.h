// Shared set-up of the editor tests: a recording plug-in with a headless
// editor attached, and a tick that runs one redraw cycle as the window does.
#pragma once

#include "support/gui_headless_editor.h"
#include "support/gui_test_plug.h"

struct GuiFixture {
  explicit GuiFixture(int width = 620, int height = 285) {
    view = new HeadlessEditor(&plug, width, height);
  }
  // Sends every parameter to the controls and makes the back buffer; the plug
  // then owns the view.
  void Attach() { plug.AttachEditor(view); }
  // One timer tick and paint: collect, then draw the union.
  bool Tick() {
    Rect dirty;
    if (!view->CollectDirty(&dirty)) return false;
    view->Draw(dirty);
    return true;
  }

  GuiTestPlug plug;
  HeadlessEditor* view;
};

inline MouseMods LeftButton() {
  MouseMods mods;
  mods.L = true;
  return mods;
}

inline MouseMods RightButton() {
  MouseMods mods;
  mods.R = true;
  return mods;
}
