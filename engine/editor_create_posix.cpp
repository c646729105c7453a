#include "engine/editor_layout.h"

// The native module shows no editor: the effect announces none to the host.
void CreateEffectEditor(IPlugBase* /*plug*/, GateEngine* /*engine*/) {}
