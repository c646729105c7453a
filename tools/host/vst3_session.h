// Vst3Session: a VST 3 bundle behind the format-neutral session. Loads the
// bundle's binary, asks its factory for the first audio effect class, and
// plays host: initialise with the host context, stereo buses, processing
// set-up, process calls with the test host's transport as process context and
// timed parameter changes as input queues, component state through a memory
// stream, and the plug view in a window of the host's. [host main thread]
#pragma once

#include <string>
#include <vector>

#include "tools/host/plugin_module.h"
#include "tools/host/plugin_session.h"
#include "tools/host/vst3_host_objects.h"

// True for a path naming a .vst3 bundle (or its binary).
bool IsVst3Path(const std::string& path);

class Vst3Session : public PluginSession {
 public:
  ~Vst3Session() override;

  bool Create(const std::string& path, std::string& error) override;
  void Close() override;
  bool Alive() const override { return component_ != nullptr; }

  void Open() override {}
  void SetSampleRate(double rate) override;
  void SetBlockSize(int32_t frames) override;
  void SetActive(bool on) override;
  void PrintInfo() override;

  int32_t ParamCount() override;
  ParamReport Param(int32_t index) override;
  // The controller's value at once, and the same value to the processor at
  // the start of the next block, as hosts do.
  void SetParam(int32_t index, double normalized) override;
  intptr_t SetParamText(int32_t index, const std::string& text) override;

  int32_t ProgramCount() override;
  std::string ProgramName(int32_t index) override;
  void SelectProgram(int32_t index) override;
  int32_t CurrentProgram(std::string& name) override;

  bool SaveState(bool bank, std::vector<char>& bytes, std::string& error) override;
  intptr_t LoadState(bool bank, const std::vector<char>& bytes) override;

  bool Render(const WavAudio& input, ProcessCallback callback,
              const std::vector<TimedParamChange>& changes, const std::vector<TimedNoteOn>& notes,
              WavAudio& output, std::string& error) override;

  bool EditorSize(int& width, int& height, std::string& error) override;
  intptr_t AttachEditor(void* parent) override;
  intptr_t DetachEditor() override;
  // The frame resizes the host's window with it, then tells the view.
  void SetEditorWindowResizer(std::function<bool(int width, int height)> resize) override;
  intptr_t SetEditorScale(float factor) override;

 private:
  bool Fail(std::string& error, const std::string& reason);
  v3_param_id ParamId(int32_t index, int32_t* flags = nullptr);
  bool FindProgramParam(v3_param_id& id, int32_t& count);
  // Stops processing and deactivates when running; then sets up for
  // `sampleSize` and starts again when `start`.
  void Restart(int32_t sampleSize, bool start);
  void FillContext(v3_process_context& context) const;
  void ReleaseView();

  PluginModule module_;
  HostContext host_;
  v3_component** component_ = nullptr;
  v3_audio_processor** processor_ = nullptr;
  v3_edit_controller** controller_ = nullptr;
  v3_unit_information** units_ = nullptr;
  v3_plugin_view** view_ = nullptr;
  bool separateController_ = false;
  bool active_ = false;
  int32_t sampleSize_ = V3_SAMPLE_32;
  double sampleRate_ = 44100.0;
  int32_t blockSize_ = 1024;
  std::vector<TimedParamChange> pending_;  // from SetParam, for the next block
  int outputChanges_ = 0;                  // points the plug-in reported back
};
