// X11: the window id arrives as the pointer's value, as VST 2 hosts pass it.
#include "clap/clap_api.h"
#include "clap/editor_window_api.h"

const char* ClapEditorWindowApi() { return CLAP_WINDOW_API_X11; }
bool ClapEditorNeedsHostTimer() { return true; }
void* ClapEditorParentOf(const clap_window_t* window) {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
}
