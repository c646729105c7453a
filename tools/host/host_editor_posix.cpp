// Native builds have no window system the effect's editor runs on.
#include "tools/host/host_editor.h"

namespace {
const char kNoWindows[] = "editor windows exist only in the Windows build of the host";
}

HostEditor::~HostEditor() = default;

bool HostEditor::Open(PluginSession&, int, int, intptr_t&, std::string& error) {
  error = kNoWindows;
  return false;
}

intptr_t HostEditor::Close(PluginSession&) { return 0; }

bool HostEditor::Click(int, int, bool, std::string& error) {
  error = kNoWindows;
  return false;
}

bool HostEditor::Drag(int, int, int, int, std::string& error) {
  error = kNoWindows;
  return false;
}

bool HostEditor::Wheel(int, int, int, std::string& error) {
  error = kNoWindows;
  return false;
}

void HostEditor::Ticks(int) {}

bool HostEditor::Capture(const std::string&, int&, int&, std::string& error) {
  error = kNoWindows;
  return false;
}
