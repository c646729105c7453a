// The editor's keys, whichever road they come by (the window's own key
// messages, a VST 2 host's effEditKeyDown, the VST 3 view's key calls):
//
//   Ctrl+Z            undo the last pattern change
//   Ctrl+Shift+Z      redo (Ctrl+Y too)
//   Ctrl+C, Ctrl+V    copy the pattern to / paste it from the clipboard
//   Left, Right       move the step cursor over the playing steps (wrapping)
//   Up, Down          the cursor step's time a quarter longer / shorter
//   Shift+Up, Down    its level a quarter higher / lower
//   0-4               its time in quarters; Shift+0-4 its level
//
// The first cursor key shows the cursor on step 1. Anything else is not the
// editor's and goes back to the host.
#pragma once

#include "gui/records.h"

class IEditorView;
class PatternEditor;

// True when the key was the editor's. [editor thread]
bool HandlePatternKey(IEditorView& view, PatternEditor& patterns, KeyCode key, const KeyMods& mods);
