// Parameter indices of the gate. 0-16 are host-visible and saved; 17-19
// carry momentary editor events and are never saved.
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
  kStepEdited,
  kTimesNudge,
  kVolumesNudge,
  kGateParamCount
};

constexpr int kHostVisibleParams = 17;
