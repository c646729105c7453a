// Win32: the parent is a window handle.
#include "clap/clap_api.h"
#include "clap/editor_window_api.h"

const char* EditorWindowApi() { return CLAP_WINDOW_API_WIN32; }
bool EditorNeedsHostTimer() { return false; }
void* EditorParentOf(const clap_window_t* window) { return window->win32; }
