// Keys a host forwards to the editor (VST 2's effEditKeyDown: the character
// in index, the virtual key in value, the modifier bits in opt; the VST 3
// view's key calls carry the same three with the same numbering) turned
// into the editor's key codes and modifiers.
#pragma once

#include <cstdint>

#include "gui/records.h"

// The host's modifier bits: Shift, Alt, Command (what Windows hosts send
// for Ctrl) and Control (what other hosts send for it).
enum HostKeyModifier : int32_t {
  kHostShift = 1,
  kHostAlternate = 2,
  kHostCommand = 4,
  kHostControl = 8,
};

// The host's virtual keys the editor uses (others are 0 or outside these).
enum HostVirtualKey : int32_t {
  kHostKeyReturn = 4,
  kHostKeyEscape = 6,
  kHostKeySpace = 7,
  kHostKeyLeft = 11,
  kHostKeyUp = 12,
  kHostKeyRight = 13,
  kHostKeyDown = 14,
  kHostKeyEnter = 19,  // the keypad's
};

// False for keys the editor has no code for. A character sent as a control
// code while Ctrl is held (1-26 for A-Z) counts as its letter, and the
// US layout's shifted 0-4 (")!@#$") as the digits. [any thread]
bool KeyFromHost(int32_t character, int32_t virtualKey, int32_t modifiers, KeyCode* key,
                 KeyMods* mods);
