#include <memory>

#include "editor_win/editor_window.h"
#include "editor_win/module_instance.h"
#include "engine/editor_layout.h"

void CreateEffectEditor(IPlugBase* plug, GateEngine* engine) {
  // Owned here until the plug-in holds it, so a failed allocation while the
  // layout is built frees it.
  auto window = std::make_unique<IEditorWindow>(plug, kEditorWidth, kEditorHeight, kEditorFrameRate,
                                                EffectModuleInstance());
  AttachEditorLayout(plug, engine, window.get());
  window.release();
}
