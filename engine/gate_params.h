// Parameter indices of the gate. 0-23 are host-visible: 0-16 are the
// parameter chunk's values, 17-23 (the groove and control parameters, added
// later) travel in the state extension after it. 24-26 carry momentary
// editor events and are never saved or shown to a host.
#pragma once

enum GateParam : int {
  kRate = 0,
  kCycle,
  kAttack,
  kGate,
  kTieLock,
  kRelease,
  kFade,
  kSplitFreq,
  kTarget,
  kMix,
  kPatternWord0,
  kPatternWord1,
  kPatternWord2,
  kPatternWord3,
  kPatternWord4,
  kPatternWord5,
  kPatternWord6,
  kSwing,         // 50-75 %: the first step of each pair's share of the pair
  kChance,        // 0-100 %: scales every step's chance
  kRestartMode,   // RestartMode below
  kMidiSwitch,    // MidiSwitch below
  kChanceWord0,   // per-step chances, base 4, steps 1-11
  kChanceWord1,   // steps 12-22
  kChanceWord2,   // steps 23-32
  kStepEdited,
  kTimesNudge,
  kVolumesNudge,
  kGateParamCount
};

// Values in the 140-byte parameter chunk, in this order.
constexpr int kChunkParams = 17;
constexpr int kHostVisibleParams = 24;
constexpr int kChanceWordCount = 3;

enum RestartMode : int { kRestartHostPosition = 0, kRestartTransportStart, kRestartMidiNote };

// Pattern switching from MIDI notes, and where a switch takes effect.
enum MidiSwitch : int { kSwitchOff = 0, kSwitchImmediate, kSwitchNextStep, kSwitchNextBar };

// Note-ons from kFirstSwitchNote to kFirstSwitchNote + 49 select programs 1-50.
constexpr int kFirstSwitchNote = 36;
