// The Windows host has no LV2 mode: LV2 bundles are built for Linux only.
#include "tools/host/lv2_session_factory.h"

std::unique_ptr<PluginSession> MakeLv2Session() { return nullptr; }
