// The editor as a VST 3 plug view. On Windows (plug_view_win32.cpp) it is
// the instance's own editor opened as a child of the host's HWND, at the
// editor's current size (which the host's content scale may choose); the
// native build offers no view yet (plug_view_posix.cpp answers null).
//
// The view holds a reference on its GateVst3 for its whole life and tells it
// when it goes. [host main thread, which is the editor's thread]
#pragma once

class GateVst3;
class GatePlugView;

// A new view with one reference, or null where the platform has none.
GatePlugView* CreateGatePlugView(GateVst3* owner);
// The interface pointer a host holds for the view.
void* PlugViewFace(GatePlugView* view);
// The editor asks for a new size: passed to the host's frame. True when the
// host resized the view. [editor thread]
bool RequestPlugViewSize(GatePlugView* view, int width, int height);
