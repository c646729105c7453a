// The factory pattern bank: 24 named presets after the default slot. Each row
// gives the settings that differ between presets and the 64 pattern digits,
// step 1 first; the pattern words are computed from the digits.
#pragma once

#include "engine/gate_engine.h"

constexpr int kFactoryPresetCount = 24;
constexpr const char* kDefaultPresetName = "---- default ----";

struct FactoryPreset {
  const char* name;
  int cycle, attack, gate, release, fade, target;
  const char* times;    // 32 digits 0-4, spaces ignored
  const char* volumes;  // likewise
};

extern const FactoryPreset kFactoryPresets[kFactoryPresetCount];

// The 27 parameter values of a factory preset, in parameter order. Returns
// false when the digit strings are malformed (never for the built-in table).
bool FactoryPresetValues(const FactoryPreset& preset, int* values);
