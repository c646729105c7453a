#include <memory>

#include "editor_x11/editor_window_x11.h"
#include "engine/editor_layout.h"

// The native module's editor opens on X11; until a host opens it, nothing
// touches the display, so headless hosts load and run it as before.
void CreateEffectEditor(IPlugBase* plug, GateEngine* engine) {
  // Owned here until the plug-in holds it, so a failed allocation while the
  // layout is built frees it.
  auto window =
      std::make_unique<XEditorWindow>(plug, kEditorWidth, kEditorHeight, kEditorFrameRate);
  AttachEditorLayout(plug, engine, window.get());
  window.release();
}
