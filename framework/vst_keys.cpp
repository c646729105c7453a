#include "framework/vst_keys.h"

#include <cstring>

namespace {

struct VirtualKeyCode {
  int32_t virtualKey;
  KeyCode key;
};

constexpr VirtualKeyCode kVirtualKeys[] = {
    {kHostKeySpace, kKeySpace},  {kHostKeyLeft, kKeyLeft},     {kHostKeyUp, kKeyUp},
    {kHostKeyRight, kKeyRight},  {kHostKeyDown, kKeyDown},     {kHostKeyReturn, kKeyReturn},
    {kHostKeyEnter, kKeyReturn}, {kHostKeyEscape, kKeyEscape},
};

constexpr char kShiftedDigits[] = ")!@#$";

}  // namespace

bool KeyFromHost(int32_t character, int32_t virtualKey, int32_t modifiers, KeyCode* key,
                 KeyMods* mods) {
  mods->shift = (modifiers & kHostShift) != 0;
  mods->alt = (modifiers & kHostAlternate) != 0;
  mods->ctrl = (modifiers & (kHostCommand | kHostControl)) != 0;
  for (const VirtualKeyCode& entry : kVirtualKeys) {
    if (virtualKey == entry.virtualKey) {
      *key = entry.key;
      return true;
    }
  }
  if (character >= '0' && character <= '9') {
    *key = static_cast<KeyCode>(kKeyDigit0 + (character - '0'));
  } else if (character >= 'a' && character <= 'z') {
    *key = static_cast<KeyCode>(kKeyLetterA + (character - 'a'));
  } else if (character >= 'A' && character <= 'Z') {
    *key = static_cast<KeyCode>(kKeyLetterA + (character - 'A'));
  } else if (mods->ctrl && character >= 1 && character <= 26) {
    *key = static_cast<KeyCode>(kKeyLetterA + (character - 1));
  } else if (character == ' ') {
    *key = kKeySpace;
  } else if (const char* shifted = character > 0 && character < 128
                                       ? std::strchr(kShiftedDigits, character)
                                       : nullptr;
             shifted && *shifted) {
    *key = static_cast<KeyCode>(kKeyDigit0 + (shifted - kShiftedDigits));
    mods->shift = true;
  } else {
    return false;
  }
  return true;
}
