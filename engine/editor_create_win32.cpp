#include "editor_win/editor_window.h"
#include "editor_win/module_instance.h"
#include "engine/editor_layout.h"

void CreateEffectEditor(IPlugBase* plug, GateEngine* engine) {
  auto* window = new IEditorWindow(plug, kEditorWidth, kEditorHeight, kEditorFrameRate,
                                   EffectModuleInstance());
  AttachEditorLayout(plug, engine, window);
}
