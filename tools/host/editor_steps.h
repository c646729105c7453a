// The "editor ..." steps of the host's script: open the effect's editor in a
// window of the host's own, drive it with the mouse, let its timer run,
// capture its content, close it.
#pragma once

#include <string>
#include <vector>

#include "tools/host/host_editor.h"
#include "tools/host/plugin_session.h"

// words[0] is "editor"; words[1] the action. False (with a reason) on failure.
bool RunEditorStep(PluginSession& session, HostEditor& editor,
                   const std::vector<std::string>& words, std::string& error);
