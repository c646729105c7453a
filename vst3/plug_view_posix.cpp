#include "vst3/plug_view.h"

GatePlugView* CreateGatePlugView(GateVst3*) { return nullptr; }

void* PlugViewFace(GatePlugView*) { return nullptr; }

bool RequestPlugViewSize(GatePlugView*, int, int) { return false; }
