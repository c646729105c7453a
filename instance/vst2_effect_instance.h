// Vst2EffectInstance: EffectInstance over the effect as its VST 2 glue
// builds it. Owns the VSTCLASS object and closes it as a VST 2 host would.
// Every entry calls the same IPlugVST method the VST 2 dispatcher's request
// calls, so all formats run one code; no opcode is sent.
#pragma once

#include <cstdint>

#include "instance/effect_instance.h"

class VSTCLASS;

class Vst2EffectInstance final : public EffectInstance {
 public:
  // Takes ownership of `plug`. [host main thread]
  explicit Vst2EffectInstance(VSTCLASS* plug);
  ~Vst2EffectInstance() override;
  Vst2EffectInstance(const Vst2EffectInstance&) = delete;
  Vst2EffectInstance& operator=(const Vst2EffectInstance&) = delete;

  // The wrapped instance, for what the seam does not cover yet. [any thread]
  VSTCLASS* Plug() const { return plug_; }

  const char* Name() override;
  int32_t InputChannels() override;
  int32_t OutputChannels() override;
  RecursiveLock& Lock() override;

  void Open() override;
  void SetSampleRate(double rate) override;
  void SetMaxBlockFrames(int32_t frames) override;
  void SetActive(bool active) override;
  void SetProcessing(bool on) override;

  int32_t ParamCount() override;
  bool ParamInfo(int32_t index, ParamInfoRecord* info) override;
  double ParamNormalized(int32_t index) override;
  void SetParamNormalized(int32_t index, double normalized) override;
  void ParamText(int32_t index, double normalized, char* text, int32_t size) override;
  double ParamPlain(int32_t index, double normalized) override;
  double ParamNormalizedOfPlain(int32_t index, double plain) override;
  bool ParamFromText(int32_t index, const char* text, double* normalized) override;

  int32_t ProgramCount() override;
  int32_t CurrentProgram() override;
  void ProgramName(int32_t index, char* name, int32_t size) override;
  void SelectProgram(int32_t program) override;
  uint32_t NoteProgramSwitches() override;

  bool SaveState(StateBuffer& buffer, bool bypassed) override;
  bool LoadState(const StateBuffer& bytes, LoadedState* carried) override;

  void QueueMidi(const MidiMessage& message) override;
  void ProcessFloat(float** inputs, float** outputs, int32_t offset, int32_t frames) override;
  void ProcessDouble(double** inputs, double** outputs, int32_t offset, int32_t frames) override;
  void ProcessNothing() override;

  IEditorView* Editor() override;
  bool OpenEditor(void* parent) override;
  void CloseEditor() override;
  bool PreferredEditorSize(int32_t* width, int32_t* height) override;
  void EditorIdle() override;
  bool EditorKeyDown(int32_t character, int32_t virtualKey, int32_t modifiers) override;
  bool EditorWheel(float distance) override;

 private:
  // Channel arrays moved by a block's offset; more channels than this are
  // not handed on.
  static constexpr int kMaxChannels = 8;

  VSTCLASS* plug_;
};
