// PresetSlot: one program of the preset bank.
#pragma once

#include "framework/state_buffer.h"

struct PresetSlot {
  static constexpr int kNameSize = 256;

  bool inUse = false;  // false: a free slot that becomes a user preset when selected
  char name[kNameSize] = {};
  StateBuffer state;  // the preset's parameter values, without the version word
};
