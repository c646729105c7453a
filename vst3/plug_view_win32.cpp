#include "vst3/plug_view.h"

#include "vst3/vst3_api.h"

const char* EditorPlatformType() { return V3_VIEW_PLATFORM_TYPE_HWND; }

// The Win32 window runs its own timer.
bool EditorNeedsHostTimer() { return false; }
