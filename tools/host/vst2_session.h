// Vst2Session: a VST 2 effect behind the format-neutral session: its module,
// the effect record from `VSTPluginMain`, and the dispatcher requests each
// step turns into. [host main thread; the host calls the effect from this
// thread only]
#pragma once

#include <string>

#include "framework/vst2_interface.h"
#include "tools/host/plugin_module.h"
#include "tools/host/plugin_session.h"

class Vst2Session : public PluginSession {
 public:
  ~Vst2Session() override;

  // Loads the module and creates the effect; checks the record's magic.
  bool Create(const std::string& modulePath, std::string& error) override;
  // Suspends a running effect, sends effClose, then unloads the module.
  void Close() override;
  bool Alive() const override { return effect_ != nullptr; }

  void Open() override;
  void SetSampleRate(double rate) override;
  void SetBlockSize(int32_t frames) override;
  void SetActive(bool on) override;  // effMainsChanged
  void PrintInfo() override;

  int32_t ParamCount() override { return effect_->numParams; }
  ParamReport Param(int32_t index) override;
  void SetParam(int32_t index, double normalized) override;
  intptr_t SetParamText(int32_t index, const std::string& text) override;

  int32_t ProgramCount() override { return effect_->numPrograms; }
  std::string ProgramName(int32_t index) override;
  void SelectProgram(int32_t index) override;
  int32_t CurrentProgram(std::string& name) override;

  bool SaveState(bool bank, std::vector<char>& bytes, std::string& error) override;
  intptr_t LoadState(bool bank, const std::vector<char>& bytes) override;

  // Changes split the blocks at their offsets and go in through setParameter.
  bool Render(const WavAudio& input, ProcessCallback callback,
              const std::vector<TimedParamChange>& changes, const std::vector<TimedNoteOn>& notes,
              WavAudio& output, std::string& error) override;

  bool EditorSize(int& width, int& height, std::string& error) override;
  intptr_t AttachEditor(void* parent) override;
  intptr_t DetachEditor() override;
  void EditorIdle() override;

  Vst2Session* AsVst2() override { return this; }

  vst2::AEffect* effect() const { return effect_; }
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  // Asks for a text (names, labels, displays) in a generous buffer; warns on
  // standard error when the answer is longer than the interface's limit.
  std::string Text(int32_t opcode, int32_t index, size_t limit, const char* what);

 private:
  PluginModule module_;
  vst2::AEffect* effect_ = nullptr;
  bool mainsOn_ = false;
};
