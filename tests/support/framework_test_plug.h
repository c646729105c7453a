// FrameworkTestPlug: a small effect built on the framework alone, so the
// framework's tests do not depend on the gate. It keeps the default
// pass-through ProcessBlock, has four announced parameters and one more kept
// out of the state, names its starting preset the way an effect does and
// leaves the other slots free; tests add factory presets and a headless
// editor themselves. Its hooks record what the framework calls.
#pragma once

#include <string>
#include <vector>

#include "framework/plug_vst.h"
#include "framework/vst2_interface.h"

class HeadlessEditor;

class FrameworkTestPlug : public IPlugVST {
 public:
  static constexpr int kLevel = 0;   // int 0..100 "%", default 100
  static constexpr int kSteps = 1;   // int 1..32, default 16
  static constexpr int kMode = 2;    // enum "Off", "Low", "High", "Both", default 0
  static constexpr int kAmount = 3;  // real 0..1 in steps of 0.01, default 0.5
  static constexpr int kNudge = 4;   // int -5..5, not announced, never saved
  static constexpr int kAnnouncedParams = 4;
  static constexpr int kParamCount = 5;
  static constexpr int kPresetCount = 10;
  static constexpr const char* kStartPresetName = "---- default ----";

  explicit FrameworkTestPlug(vst2::AudioMasterCallback audioMaster);

  // Attaches a headless view of the given size holding one IEmpty per
  // parameter, in parameter order; the plug-in owns it from then on.
  HeadlessEditor* AttachHeadlessEditor(int width, int height);

  void OnParamChanged(int index) override;
  void OnEditorOpened() override { log.push_back("editor opened"); }
  void OnEditorClosing() override { log.push_back("editor closing"); }

  std::vector<int> changed;      // every OnParamChanged index, in order
  std::vector<std::string> log;  // editor hooks, in order
};

// The module entry's counterpart for the test effect: builds one instance
// bound to the host and answers its effect record.
vst2::AEffect* VST2_CALL CreateFrameworkTestPlug(vst2::AudioMasterCallback audioMaster);
