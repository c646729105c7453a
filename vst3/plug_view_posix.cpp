#include "vst3/plug_view.h"

#include "vst3/vst3_api.h"

const char* EditorPlatformType() { return V3_VIEW_PLATFORM_TYPE_X11; }

// The X11 window has no thread of its own: the host's run loop drives it.
bool EditorNeedsHostTimer() { return true; }
