#include "engine/factory_presets.h"

namespace {
constexpr const char* kAllFour = "44444444 44444444 44444444 44444444";

// Reads 32 digits 0-4 into entries, skipping spaces.
bool ReadDigits(const char* text, uint16_t* entries) {
  int count = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == ' ') continue;
    if (*c < '0' || *c > '4' || count == kStepCountMax) return false;
    entries[count++] = static_cast<uint16_t>(*c - '0');
  }
  return count == kStepCountMax;
}
}  // namespace

// clang-format off
const FactoryPreset kFactoryPresets[kFactoryPresetCount] = {
  {"Mini Gate",          8,   5, 100, 30,   5, 0, "30202222 22222222 22222222 22222222", kAllFour},
  {"3 Long Gates",       16,  5, 100, 30,   5, 0, "24112224 11222411 22222222 22222222", kAllFour},
  {"Ascending Volume",   4, 200, 100,  0,   5, 3, "22222222 22222222 22222222 22222222", "12344444 44444444 44444444 44444444"},
  {"Ascending Volume 2", 4, 200, 100, 10,  10, 0, "44442222 22222222 22222222 22222222", "12344444 44444444 44444444 44444444"},
  {"Ascending Volume 3", 8, 200, 100, 10,  10, 0, "44442222 22222222 22222222 22222222", "12344444 44444444 44444444 44444444"},
  {"Ascending Volume 4", 16,  5, 100, 30,   0, 0, "22222222 22222222 22222222 22222222", "12344444 41234444 44444444 44444444"},
  {"Linear Medium Gate", 4,   5, 100, 30,   5, 0, "22222222 22222222 22222222 22222222", kAllFour},
  {"Linear Short Gate",  4,   5, 100, 30,   5, 0, "11111111 11111111 22222222 22222222", kAllFour},
  {"Low to High",        4,   5, 100, 50,   5, 3, "11112222 22222222 33333333 33333333", kAllFour},
  {"House",              16,  5, 100, 30,   5, 0, "30030030 03003030 22222222 22222222", kAllFour},
  {"House 2",            8,   5, 100, 40,   5, 0, "30030030 22222222 22222222 22222222", kAllFour},
  {"Trance",             8,   0, 100, 10,   5, 3, "22422232 22222222 22222222 22222222", kAllFour},
  {"Trance 2",           4,   0, 100, 10,   5, 3, "22422222 22222222 22222222 22222222", kAllFour},
  {"Trance 3",           16,  1, 100, 10,   5, 0, "22422242 22422423 22222222 22222222", kAllFour},
  {"Trance 4",           8,   1, 100,  5,   5, 0, "22422242 22222222 22222222 22222222", kAllFour},
  {"Trance 5",           16,  0, 100, 40,   5, 3, "22202022 20202220 22222222 22222222", kAllFour},
  {"Trance 6",           16,  0, 100, 30,   5, 0, "22422242 22422242 22222222 22222222", kAllFour},
  {"Trance 7",           16,  0, 100, 10,   5, 0, "42422422 42242242 22222222 22222222", kAllFour},
  {"Trance 8",           16,  0, 100,  0,   5, 0, "41411411 41141141 22222222 22222222", kAllFour},
  {"Trance 9",           16,  0, 100, 30,   5, 0, "11411141 11411141 22222222 22222222", kAllFour},
  {"Trance 10",          16,  4,  47,  5,   5, 0, "41411411 41141141 22222222 22222222", kAllFour},
  {"Groove Gate",        8,   0, 100, 50,  40, 3, "30141410 22222222 22222222 22222222", "40441410 44444444 44444444 44444444"},
  {"Groove Gate 2",      16,  0, 100, 30, 100, 0, "30141410 31141410 22222222 22222222", "24442444 24442444 44444444 44444444"},
  {"Groove Gate 3",      16,  5, 100, 50,  60, 0, "41303024 14100241 22222222 22222222", "14441444 14441444 44444444 44444444"},
};
// clang-format on

bool FactoryPresetValues(const FactoryPreset& preset, int* values) {
  uint16_t pattern[kPatternEntries];
  if (!ReadDigits(preset.times, pattern) || !ReadDigits(preset.volumes, pattern + kStepCountMax)) {
    return false;
  }
  int32_t words[kPatternWordCount];
  PackPatternWords(pattern, words);

  values[kRate] = 9;  // "1/16"
  values[kCycle] = preset.cycle;
  values[kAttack] = preset.attack;
  values[kGate] = preset.gate;
  values[kTieLock] = 1;  // "Yes"
  values[kRelease] = preset.release;
  values[kFade] = preset.fade;
  values[kSplitFreq] = 1000;
  values[kTarget] = preset.target;
  values[kMix] = 100;
  for (int g = 0; g < kPatternWordCount; ++g) values[kFirstPatternWordParam + g] = words[g];
  // The groove and control parameters at their defaults: straight, every
  // step plays, the host's position drives the pattern, no MIDI switching.
  values[kSwing] = 50;
  values[kChance] = 100;
  values[kRestartMode] = kRestartHostPosition;
  values[kMidiSwitch] = kSwitchOff;
  for (int g = 0; g < kChanceWordCount; ++g) values[kChanceWord0 + g] = 0;
  values[kStepEdited] = 0;
  values[kTimesNudge] = 0;
  values[kVolumesNudge] = 0;
  return true;
}
