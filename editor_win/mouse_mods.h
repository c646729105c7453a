// MouseMods records built from Win32 mouse messages.
#pragma once

#include <windows.h>

#include "gui/records.h"

// Buttons, Shift and Control from a mouse message's key-state word; Alt from
// the keyboard state at the time the message is handled. [editor thread]
MouseMods MouseModsFromMessage(WPARAM keyState);

// Shift, Control and Alt from the keyboard state, no buttons; for wheel
// movements that the host forwards instead of the window. [editor thread]
MouseMods MouseModsFromKeyboard();
