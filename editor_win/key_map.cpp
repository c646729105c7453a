#include "editor_win/key_map.h"

#include <windows.h>

#include "gui/records.h"

namespace {

// A run of consecutive virtual-key codes mapped onto consecutive key codes.
struct KeyRange {
  uint32_t firstVirtualKey;
  uint32_t lastVirtualKey;
  int32_t firstKeyCode;
};

// 0x61..0x7A repeats the letters: some hosts forward keystrokes with the
// lower-case character code in place of the virtual key.
constexpr KeyRange kKeyRanges[] = {
    {VK_SPACE, VK_SPACE, kKeySpace},    {VK_UP, VK_UP, kKeyUp},
    {VK_DOWN, VK_DOWN, kKeyDown},       {VK_LEFT, VK_LEFT, kKeyLeft},
    {VK_RIGHT, VK_RIGHT, kKeyRight},    {0x30, 0x39, kKeyDigit0},
    {0x41, 0x5A, kKeyLetterA},          {0x61, 0x7A, kKeyLetterA},
    {VK_RETURN, VK_RETURN, kKeyReturn}, {VK_ESCAPE, VK_ESCAPE, kKeyEscape},
};

}  // namespace

int32_t KeyCodeForVirtualKey(uint32_t virtualKey) {
  for (const KeyRange& range : kKeyRanges) {
    if (virtualKey >= range.firstVirtualKey && virtualKey <= range.lastVirtualKey) {
      return range.firstKeyCode + static_cast<int32_t>(virtualKey - range.firstVirtualKey);
    }
  }
  return -1;
}

KeyMods KeyModsHeld() {
  KeyMods mods;
  mods.shift = GetKeyState(VK_SHIFT) < 0;
  mods.ctrl = GetKeyState(VK_CONTROL) < 0;
  mods.alt = GetKeyState(VK_MENU) < 0;
  return mods;
}
