// Translation of Win32 virtual-key codes into the editor's key codes. Keys
// outside the table are not the editor's business and are dropped.
#pragma once

#include <cstdint>

#include "gui/records.h"

// The editor's key code for a virtual-key code, or -1 when the key is not
// handled. [any thread]
int32_t KeyCodeForVirtualKey(uint32_t virtualKey);

// Shift, Ctrl and Alt as held when the thread's current key message was
// sent. [editor thread]
KeyMods KeyModsHeld();
