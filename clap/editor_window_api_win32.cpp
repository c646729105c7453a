// Win32: the parent is a window handle.
#include "clap/clap_api.h"
#include "clap/editor_window_api.h"

const char* ClapEditorWindowApi() { return CLAP_WINDOW_API_WIN32; }
bool ClapEditorNeedsHostTimer() { return false; }
void* ClapEditorParentOf(const clap_window_t* window) { return window->win32; }
