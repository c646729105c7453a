// The LV2 mode where it is built (natively): a session for a bundle folder.
// [host main thread]
#pragma once

#include <memory>
#include <string>

#include "tools/host/plugin_session.h"

// True for a path naming a .lv2 bundle folder.
bool IsLv2Path(const std::string& path);

// Null where the host has no LV2 mode (the Windows build).
std::unique_ptr<PluginSession> MakeLv2Session();
