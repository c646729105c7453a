// PluginSession: what the host's script steps ask of one plug-in, whatever
// its format: load and close, the processing settings, parameters, programs,
// state, rendering with timed parameter changes, and the editor. One
// implementation per format: Vst2Session (a module exporting VSTPluginMain),
// Vst3Session (a .vst3 bundle), ClapSession (a .clap module) and, natively,
// Lv2Session (a .lv2 bundle). [host main thread; the host also calls the
// audio entry points from this thread]
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/host/audio_render.h"
#include "tools/host/wav_file.h"

struct ParamReport {
  std::string name, label, display;
  double value = 0.0;  // normalised
};

class Vst2Session;

class PluginSession {
 public:
  virtual ~PluginSession() = default;

  // Loads the module and creates the effect; false with a reason.
  virtual bool Create(const std::string& path, std::string& error) = 0;
  // Stops processing, releases the effect and unloads the module.
  virtual void Close() = 0;
  virtual bool Alive() const = 0;

  virtual void Open() = 0;  // the format's "open" (VST 2 effOpen; VST 3 has it in Create)
  virtual void SetSampleRate(double rate) = 0;
  virtual void SetBlockSize(int32_t frames) = 0;
  virtual void SetActive(bool on) = 0;
  virtual void PrintInfo() = 0;  // "info KEY=VALUE" lines

  virtual int32_t ParamCount() = 0;
  virtual ParamReport Param(int32_t index) = 0;
  virtual void SetParam(int32_t index, double normalized) = 0;
  // Sets a parameter from typed text; returns the format's answer (1 accepted).
  virtual intptr_t SetParamText(int32_t index, const std::string& text) = 0;

  virtual int32_t ProgramCount() = 0;
  virtual std::string ProgramName(int32_t index) = 0;
  virtual void SelectProgram(int32_t index) = 0;
  virtual int32_t CurrentProgram(std::string& name) = 0;

  // The effect's saved state (VST 2: the program or bank chunk; VST 3: the
  // component state, for either kind).
  virtual bool SaveState(bool bank, std::vector<char>& bytes, std::string& error) = 0;
  // Returns 1 when the effect accepted the state, else 0.
  virtual intptr_t LoadState(bool bank, const std::vector<char>& bytes) = 0;

  virtual bool Render(const WavAudio& input, ProcessCallback callback,
                      const std::vector<TimedParamChange>& changes,
                      const std::vector<TimedNoteOn>& notes, WavAudio& output,
                      std::string& error) = 0;

  // The editor's size ("editor rect=" lines); false when there is none.
  virtual bool EditorSize(int& width, int& height, std::string& error) = 0;
  // Opens the editor inside a window of the host's; returns the format's answer.
  virtual intptr_t AttachEditor(void* parent) = 0;
  virtual intptr_t DetachEditor() = 0;
  // The host's editor idle call (VST 2 effEditIdle); nothing where the
  // format has none.
  virtual void EditorIdle() {}
  // How the host's window takes a new client size the effect asks for
  // (empty when no window is open); false when it cannot.
  virtual void SetEditorWindowResizer(std::function<bool(int width, int height)> /*resize*/) {}
  // A content scale announced to the open editor (VST 3); 0 where the format
  // has none.
  virtual intptr_t SetEditorScale(float /*factor*/) { return 0; }

  // The VST 2 dispatcher, for the steps only that format has; null otherwise.
  virtual Vst2Session* AsVst2() { return nullptr; }
};

// Whether `path`, trailing slashes and backslashes aside, ends with `suffix`:
// how a bundle folder or module names its format.
bool PathHasSuffix(const std::string& path, const std::string& suffix);

// A session for the file at `path`: VST 3 for a .vst3 bundle, CLAP for a
// .clap module, LV2 for a .lv2 bundle (natively), else VST 2.
std::unique_ptr<PluginSession> MakePluginSession(const std::string& path);
