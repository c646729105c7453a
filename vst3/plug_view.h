// The editor as a VST 3 plug view: the instance's own editor opened as a
// child of the host's window (an HWND on Windows, an X11 window id natively),
// at the editor's current size (which the host's content scale may choose).
// On X11 the editor's duties run from a timer on the host's run loop.
//
// The view holds a reference on its GateVst3 for its whole life and tells it
// when it goes. [host main thread, which is the editor's thread]
#pragma once

class GateVst3;
class GatePlugView;

// A new view with one reference, or null when out of memory.
GatePlugView* CreateGatePlugView(GateVst3* owner);
// The interface pointer a host holds for the view.
void* PlugViewFace(GatePlugView* view);
// The editor, already switched to a new size, asks the host's frame to
// follow; the view keeps answering the host's size until the host confirms
// with on_size. True when the host agreed; false without a frame to ask
// (the editor keeps its size) or when the host refused (the editor is back
// at the host's size). [editor thread]
bool RequestPlugViewSize(GatePlugView* view, int width, int height);

// ---- Platform half (plug_view_win32.cpp, plug_view_posix.cpp) ----
// The platform type the view takes in `attached`.
const char* EditorPlatformType();
// Whether the editor's tick must come from the host's run loop.
bool EditorNeedsHostTimer();
