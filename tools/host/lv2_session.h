// Lv2Session: an LV2 bundle behind the format-neutral session, read through
// lilv: a world holding that bundle alone, its one plug-in instantiated with
// the host's features, one run call per block (split at timed parameter
// changes, since control ports hold one value per call) with an atom
// sequence carrying the transport's position and the notes, presets applied
// by their port values, state as the plug-in's one state property, and its
// X11 UI inside a window of the host's (lv2_session_editor.cpp).
// [host main thread; the host makes the audio calls from this thread]
#pragma once

#include <lilv/lilv.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/host/lv2_host_features.h"
#include "tools/host/plugin_session.h"

class Lv2Session : public PluginSession {
 public:
  ~Lv2Session() override;

  bool Create(const std::string& path, std::string& error) override;
  void Close() override;
  bool Alive() const override { return plugin_ != nullptr; }

  void Open() override;  // instantiates
  // A new rate or block length after instantiation makes a new instance,
  // which takes the old one's state.
  void SetSampleRate(double rate) override;
  void SetBlockSize(int32_t frames) override;
  void SetActive(bool on) override;
  void PrintInfo() override;

  int32_t ParamCount() override { return static_cast<int32_t>(controls_.size()); }
  ParamReport Param(int32_t index) override;
  // Normalized to the port's range; whole-number ports round half up.
  void SetParam(int32_t index, double normalized) override;
  intptr_t SetParamText(int32_t index, const std::string& text) override;

  int32_t ProgramCount() override { return static_cast<int32_t>(presets_.size()); }
  std::string ProgramName(int32_t index) override;
  void SelectProgram(int32_t index) override;
  int32_t CurrentProgram(std::string& name) override;

  // The bytes of the plug-in's state property; bank and program alike.
  bool SaveState(bool bank, std::vector<char>& bytes, std::string& error) override;
  intptr_t LoadState(bool bank, const std::vector<char>& bytes) override;

  bool Render(const WavAudio& input, ProcessCallback callback,
              const std::vector<TimedParamChange>& changes, const std::vector<TimedNoteOn>& notes,
              WavAudio& output, std::string& error) override;

  bool EditorSize(int& width, int& height, std::string& error) override;
  intptr_t AttachEditor(void* parent) override;
  intptr_t DetachEditor() override;
  void EditorIdle() override;
  void SetEditorWindowResizer(std::function<bool(int width, int height)> resize) override {
    resizeWindow_ = std::move(resize);
  }

  // The plug-in's calls on the host's side of its UI. [editor, host main thread]
  void UiWrite(uint32_t port, uint32_t size, uint32_t protocol, const void* buffer);
  int UiResize(int width, int height);

 private:
  struct ControlPort {
    uint32_t index;  // the port's index in the plug-in
    std::string name, label;
    float min, max, fallback;
    bool whole;  // integer, enumeration or toggle
    std::vector<std::pair<float, std::string>> points;
  };
  struct Preset {
    std::string uri, label;
  };

  bool Fail(std::string& error, const std::string& reason);
  bool ReadPorts(std::string& error);
  void ReadPresets();
  bool Instantiate();
  void FreeInstance();
  bool NeedInstance();
  void ConnectPorts();
  // A run of no frames, so that the plug-in takes port values set since its
  // last run (a plug-in reads its ports only when it runs): done before the
  // host asks for its state or opens its UI, as a host whose plug-in runs
  // all the time would have done it already.
  void HandOverPorts();
  // Fills the atom port's sequence for a run of `frames` starting at
  // render sample `start`.
  void WriteEvents(const std::vector<TimedNoteOn>& notes, int64_t start, int64_t frames,
                   int64_t total, bool position);
  float PlainOf(const ControlPort& port, double normalized) const;
  uint32_t Urid(const char* uri) { return features_.Map(uri); }
  void ReleaseUi();

  LilvWorld* world_ = nullptr;
  const LilvPlugin* plugin_ = nullptr;
  LilvInstance* instance_ = nullptr;
  Lv2HostFeatures features_;
  bool active_ = false;
  bool portsPending_ = false;  // port values set since the last run
  double sampleRate_ = 44100.0;
  int32_t blockFrames_ = 1024;

  std::vector<ControlPort> controls_;
  std::vector<float> portValues_;  // one per port; control ports read theirs here
  std::vector<uint32_t> audioIn_, audioOut_;
  std::vector<uint32_t> eventPorts_;  // atom inputs: each gets the sequence
  std::vector<uint32_t> otherPorts_;  // anything else, connected to scratch
  std::vector<uint64_t> sequence_;    // the atom input's buffer, 8-byte aligned
  std::vector<std::vector<float>> inBuffers_, outBuffers_, scratch_;
  std::vector<Preset> presets_;
  int32_t currentProgram_ = 0;

  void* uiLibrary_ = nullptr;
  const LV2UI_Descriptor* uiDescriptor_ = nullptr;
  LV2UI_Handle uiHandle_ = nullptr;
  int (*uiIdle_)(LV2UI_Handle) = nullptr;
  LV2UI_Resize uiResize_{};
  std::function<bool(int, int)> resizeWindow_;
  int uiWidth_ = 0, uiHeight_ = 0;
};
