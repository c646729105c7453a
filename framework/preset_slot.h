// PresetSlot: one program of the preset bank.
#pragma once

#include "framework/state_buffer.h"

struct PresetSlot {
  static constexpr int kNameSize = 256;

  bool inUse = false;  // false: a free slot that becomes a user preset when selected
  char name[kNameSize] = {};
  // The preset's state image without the version word: the chunk's values,
  // then the extension with this slot's number; empty until first captured.
  StateBuffer state;
};
