// The editor's key codes for X11 key symbols (the unshifted symbol of a key).
#pragma once

#include <cstdint>

// The key code, or -1 for keys the editor ignores.
int32_t KeyCodeForKeySym(uint32_t keySym);
