// VSTCLASS: the step gate effect. Declares its identity and its 27
// parameters to the framework, builds the editor and the factory presets,
// and turns parameter changes and audio blocks into gating through the
// GateEngine it derives beside the framework base.
#pragma once

#include <cstdint>

#include "engine/gate_engine.h"
#include "engine/gate_params.h"
#include "framework/plug_vst.h"
#include "framework/vst2_interface.h"
#include "gui/pattern_editor.h"

constexpr int kGatePresetCount = 50;

class VSTCLASS : public IPlugVST, public GateEngine {
 public:
  explicit VSTCLASS(vst2::AudioMasterCallback audioMaster);
  ~VSTCLASS() override;

  PatternEditor* Patterns() override { return &patterns_; }  // [editor thread]
  void OnReset() override;                                   // [host thread]
  void OnParamChanged(int index) override;                   // [any thread, takes the lock]
  void ProcessBlock(double** inputs, double** outputs,
                    int frames) override;  // [audio thread, lock held]
  // Note-ons go to the engine's queue; nothing else is read. [audio thread, lock held]
  void OnMidiMessage(const MidiMessage& message) override;
  void OnHostBlockStart(int frames) override;  // [audio thread, lock held]

 protected:
  // GateEngine hooks, answered by the framework, the host and the editor's
  // controls (any of which may be absent).
  double EngineParamValue(int index) override;
  void StoreEngineParam(int index, double value) override;
  void BeginEngineParamGesture(int index) override;
  void EndEngineParamGesture(int index) override;
  void StoreEngineParamInGesture(int index, double value) override;
  void ResetStepEdited() override;
  double EngineSampleRate() override;
  double EngineSamplesPerBeat() override;
  bool EngineTransportRunning() override;
  int64_t EngineSamplePosition() override;
  uint32_t EngineClock() override;
  void SetStatusText(const char* text) override;
  double BarValue(int entry) override;
  void SetBarValue(int entry, double value) override;
  void SelectProgramFromMidi(int program) override;  // [audio thread, lock held]

 private:
  void DefineParameters();
  void AddFactoryPresets();
  MyBar* BarOf(int entry) const;

  // Beside the editor view, for the instance's whole life: the undo history
  // survives the editor window.
  PatternEditor patterns_{this, this};
};
