// ClapSession: a .clap module behind the format-neutral session. Loads the
// module's entry, makes the first plug-in its factory lists with the test
// host's host record, and plays host: activation with the rate and block
// size, process calls with the transport at each block's start and timed
// parameter values and notes as events inside the block, plain parameter
// values converted from the script's normalised ones, state through streams,
// and the editor embedded in a window of the host's. [host main thread; the
// audio calls are made from it too, counted as the audio thread meanwhile]
#pragma once

#include <clap/entry.h>
#include <clap/ext/audio-ports.h>
#include <clap/ext/gui.h>
#include <clap/ext/latency.h>
#include <clap/ext/note-ports.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/plugin.h>

#include <string>
#include <vector>

#include "tools/host/clap_host_objects.h"
#include "tools/host/clap_param_values.h"
#include "tools/host/plugin_module.h"
#include "tools/host/plugin_session.h"

// True for a path naming a .clap module.
bool IsClapPath(const std::string& path);

class ClapSession : public PluginSession {
 public:
  ~ClapSession() override;

  bool Create(const std::string& path, std::string& error) override;
  void Close() override;
  bool Alive() const override { return plugin_ != nullptr; }

  void Open() override {}
  void SetSampleRate(double rate) override;
  void SetBlockSize(int32_t frames) override;
  void SetActive(bool on) override;
  void PrintInfo() override;

  int32_t ParamCount() override;
  ParamReport Param(int32_t index) override;
  // The value goes in at once through the parameters' flush.
  void SetParam(int32_t index, double normalized) override;
  intptr_t SetParamText(int32_t index, const std::string& text) override;

  // Programs are the stepped "Program" parameter; its texts are their names.
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
  // Timers, descriptors, main-thread callbacks and requested flushes.
  void EditorIdle() override;
  void SetEditorWindowResizer(std::function<bool(int width, int height)> resize) override;
  intptr_t SetEditorScale(float factor) override;

 private:
  bool Fail(std::string& error, const std::string& reason);
  template <class Extension>
  const Extension* Ext(const char* id) const;
  void ReadParamInfos();
  const clap_param_info_t* InfoAt(int32_t index) const;
  const clap_param_info_t* InfoOf(clap_id id) const;
  // Stops and deactivates when running; activates again when `start`.
  void Restart(bool start);
  void StopProcessing();
  // Hands `events` to the plug-in outside of process.
  void Flush(const ClapInputEvents& events);
  void SetPlain(const clap_param_info_t& info, double plain);
  double Value(clap_id id) const;
  std::string Text(clap_id id, double plain) const;
  void FillTransport(clap_event_transport_t& transport) const;
  bool Supports64() const;

  PluginModule module_;
  const clap_plugin_entry_t* entry_ = nullptr;
  ClapHost host_;
  const clap_plugin_t* plugin_ = nullptr;
  const clap_plugin_params_t* params_ = nullptr;
  const clap_plugin_state_t* state_ = nullptr;
  const clap_plugin_audio_ports_t* audioPorts_ = nullptr;
  const clap_plugin_note_ports_t* notePorts_ = nullptr;
  const clap_plugin_latency_t* latency_ = nullptr;
  const clap_plugin_gui_t* gui_ = nullptr;
  std::vector<clap_param_info_t> infos_;
  bool active_ = false;
  bool processing_ = false;
  bool guiCreated_ = false;
  double sampleRate_ = 44100.0;
  int32_t blockSize_ = 1024;
  int64_t steadyTime_ = 0;
  ClapOutputEvents output_;
};
