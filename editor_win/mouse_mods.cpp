#include "editor_win/mouse_mods.h"

MouseMods MouseModsFromMessage(WPARAM keyState) {
  MouseMods mods;
  mods.L = (keyState & MK_LBUTTON) != 0;
  mods.R = (keyState & MK_RBUTTON) != 0;
  mods.S = (keyState & MK_SHIFT) != 0;
  mods.C = (keyState & MK_CONTROL) != 0;
  mods.A = GetKeyState(VK_MENU) < 0;
  return mods;
}

MouseMods MouseModsFromKeyboard() {
  MouseMods mods;
  mods.S = GetKeyState(VK_SHIFT) < 0;
  mods.C = GetKeyState(VK_CONTROL) < 0;
  mods.A = GetKeyState(VK_MENU) < 0;
  return mods;
}
