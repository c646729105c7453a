// The window system the editor embeds in, as CLAP names it, and whether
// its window needs the host's timer for its ticks (an X11 window has no
// timer of its own; a Win32 window runs its own, as in VST 2).
#pragma once

const char* ClapEditorWindowApi();
bool ClapEditorNeedsHostTimer();
// The window handle set_parent carries, as OpenEditor takes it.
struct clap_window;
void* ClapEditorParentOf(const struct clap_window* window);
