#include "editor_x11/x11_key_map.h"

#include <X11/keysym.h>

#include "gui/records.h"

namespace {

// A run of consecutive key symbols mapped onto consecutive key codes.
struct KeyRange {
  uint32_t firstKeySym;
  uint32_t lastKeySym;
  int32_t firstKeyCode;
};

constexpr KeyRange kKeyRanges[] = {
    {XK_space, XK_space, kKeySpace},    {XK_Up, XK_Up, kKeyUp},
    {XK_Down, XK_Down, kKeyDown},       {XK_Left, XK_Left, kKeyLeft},
    {XK_Right, XK_Right, kKeyRight},    {XK_0, XK_9, kKeyDigit0},
    {XK_a, XK_z, kKeyLetterA},          {XK_A, XK_Z, kKeyLetterA},
    {XK_Return, XK_Return, kKeyReturn}, {XK_KP_Enter, XK_KP_Enter, kKeyReturn},
    {XK_Escape, XK_Escape, kKeyEscape},
};

}  // namespace

int32_t KeyCodeForKeySym(uint32_t keySym) {
  for (const KeyRange& range : kKeyRanges) {
    if (keySym >= range.firstKeySym && keySym <= range.lastKeySym) {
      return range.firstKeyCode + static_cast<int32_t>(keySym - range.firstKeySym);
    }
  }
  return -1;
}
