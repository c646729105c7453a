// VSTCLASS: the step gate effect. Declares its identity and its 20
// parameters to the framework, builds the editor and the factory presets,
// and turns parameter changes and audio blocks into gating.
#pragma once

#include "framework/plug_vst.h"
#include "framework/vst2_interface.h"

// Parameter indices. 0-16 are host-visible and saved; 17-19 carry momentary
// editor events and are never saved.
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
constexpr int kGatePresetCount = 50;

class VSTCLASS : public IPlugVST {
 public:
  explicit VSTCLASS(vst2::AudioMasterCallback audioMaster);
  ~VSTCLASS() override;

  // [any thread, lock held]
  void OnParamChanged(int index) override;

 private:
  void DefineParameters();
};
