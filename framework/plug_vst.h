// IPlugVST: the VST 2 glue of an instance. Holds the effect record handed to
// the host, answers the dispatcher, the parameter callbacks and the three
// audio callbacks, and supplies the host services IPlugBase asks for
// (automation gestures, time info, host identification, MIDI output).
// The effect record lives inside the instance for its whole life and its
// object field points back at the instance.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/plug_base.h"
#include "framework/state_buffer.h"
#include "framework/state_extension.h"
#include "framework/vst2_interface.h"
#include "instance/instance_host.h"

class IPlugVST : public IPlugBase {
 public:
  IPlugVST(vst2::AudioMasterCallback audioMaster, int paramCount, const char* channelConfig,
           int presetCount, const char* effectName, const char* productName, const char* vendorName,
           int32_t vendorVersion, int32_t uniqueId, int32_t makerId, int latency, int midiMode,
           bool stateChunks, bool isInstrument);
  ~IPlugVST() override;

  vst2::AEffect* Effect() { return &effect_; }
  // Another format's glue answering the host services instead of the
  // audio-master callback; null (the default) goes back to the callback.
  // Requests with no counterpart there still reach the callback. [host main thread]
  void SetInstanceHost(InstanceHost* host) { instanceHost_ = host; }
  const vst2::ERect& EditorRect() const { return editorRect_; }

  // ---- Host services ----
  void BeginParamEdit(int index) override;   // [editor thread]
  void ResumeParamEdit(int index) override;  // [editor thread]
  void AutomateParam(int index, double normalized) override;
  void EndParamEdit(int index) override;  // [editor thread]
  void RequestHostDisplayUpdate() override;
  int32_t HostSamplePosition() override;  // [audio thread, lock held]
  double HostTempo() override;            // [audio thread, lock held]
  void HostTimeSignature(int* numerator, int* denominator) override;
  int32_t HostId() override;
  void SyncEditorRect() override;
  void RequestEditorSize(int width, int height) override;  // [editor thread]
  void HostSpecificSetup() override;                       // effOpen, once per instance
  void AttachEditor(IEditorView* editor) override;
  void SetDelaySamples(int samples) override;
  bool SendMidiMessage(const MidiMessage& message) override;
  bool SendSysExMessage(const SysExMessage& message) override;

  // The chunk a host saves: the version word, then the state image with the
  // current program and `bypassed` in its extension; a bank request
  // (`bank`) captures the current values into their program first. Both
  // formats save through here. [host main thread, takes the instance lock]
  bool WriteChunk(StateBuffer& buffer, bool bank, bool bypassed);

  // ---- What the dispatcher's requests do, for every glue ----
  // Each takes the instance lock unless it says otherwise.
  // Closes the instance and deletes it. [host main thread]
  static void CloseAndDelete(IPlugVST* plug);
  // Identifies the host and applies every parameter. [host main thread]
  void OpenForHost();
  // A sample rate or block size of the host's; a value it could not mean
  // keeps the current one. Either resets the effect. [host main thread]
  void ChangeSampleRate(double rate);
  void ChangeMaxBlockFrames(intptr_t frames);
  // Suspend (false) or resume (true). [host main thread]
  void ChangeActive(bool active);
  // The host starts or stops calling the audio callbacks. [host main or audio thread]
  void ChangeProcessing(bool on);
  // The current values go back into their program first; a number outside
  // the list selects nothing. [host main thread]
  void SelectProgramFromHost(intptr_t program);
  // Loads `size` bytes of a saved chunk (`bank`: a bank request); 1 loaded,
  // 0 refused or cut short. [host main thread]
  intptr_t LoadChunk(bool bank, intptr_t size, const void* bytes);
  // Opens the editor window inside `parent`; false without an editor or a
  // window. [host main thread]
  bool OpenEditorIn(void* parent);
  bool CloseEditor();
  // The host's idle call (`editorIdle`: the editor's own). [host main thread, lock not held]
  void HostIdle(bool editorIdle);
  // A key press or release from the host: 1 when the editor used the key, 0
  // to hand it back. [host main thread, lock not held]
  intptr_t EditorKey(bool down, int32_t character, intptr_t virtualKey, float modifiers);
  // A host mouse wheel over the editor: 1 when the editor used it. [host main thread]
  intptr_t EditorWheel(float distance);

  // The host's sample position without narrowing; 0 before zero or without
  // one. [audio thread, lock held]
  int64_t HostSamplePosition64();
  // 0 stopped, 1 playing, 2 recording. [audio thread, lock held]
  int32_t HostTransportState();
  // Samples per beat at the host tempo; 0 without a tempo.
  double SamplesPerBeat();

  // ---- Entry points stored in the effect record [host threads] ----
  static intptr_t VST2_CALL Dispatcher(vst2::AEffect* effect, int32_t opcode, int32_t index,
                                       intptr_t value, void* ptr, float opt);
  static void VST2_CALL SetParameter(vst2::AEffect* effect, int32_t index, float value);
  static float VST2_CALL GetParameter(vst2::AEffect* effect, int32_t index);
  static void VST2_CALL ProcessAccumulating(vst2::AEffect* effect, float** inputs, float** outputs,
                                            int32_t frames);
  static void VST2_CALL ProcessReplacing(vst2::AEffect* effect, float** inputs, float** outputs,
                                         int32_t frames);
  static void VST2_CALL ProcessDoubleReplacing(vst2::AEffect* effect, double** inputs,
                                               double** outputs, int32_t frames);

 protected:
  intptr_t CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

 private:
  // One dispatcher request with the instance lock held (effClose excepted).
  intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t GetChunk(int32_t index, void* ptr);
  intptr_t SetChunk(int32_t index, intptr_t size, const void* ptr);
  // Whether a chunk of `version` and the buffer's size is one of ours (whole
  // or cut short); `tail` says what follows the parameters.
  bool IsOwnChunk(const StateBuffer& buffer, int32_t version, ExtensionRead* tail) const;
  intptr_t CanDo(const char* text) const;
  intptr_t VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t PinProperties(bool input, int32_t index, void* ptr);
  void SetSpeakerArrangement(bool input, const vst2::VstSpeakerArrangement* arrangement);
  void CopyParamText(int32_t index, int32_t opcode, void* ptr);
  void SyncChannelCounts();

  // Audio: float blocks run in slices of at most the block size so the
  // scratch buffers never overrun.
  void ProcessFloat(float** inputs, float** outputs, int32_t frames, bool accumulate);
  void ProcessFloatSlice(float** inputs, float** outputs, int32_t offset, int32_t frames,
                         bool accumulate);
  void ProcessDouble(double** inputs, double** outputs, int32_t frames);
  // The host's transport, from the instance host or the callback (asked with
  // `filter`); null when there is none. [audio thread, lock held]
  const HostTime* QueryTime(int32_t filter);
  // Marks a program switch made while the block rendered. [audio thread, lock held]
  void NoteProgramSwitch(int programBefore);
  // effIdle / effEditIdle: audioMasterUpdateDisplay for a program a note-on
  // selected since the last idle call. [host main thread, lock not held]
  void ReportProgramSwitch();
  void ChangeActiveLocked(bool active);

  // 1.0.0, the first release: every chunk of ours starts with a version from
  // here up to this build's. A later build's chunk is refused as well: its
  // layout is not known here.
  static constexpr int32_t kOldestChunkVersion = 10000;

  vst2::ERect editorRect_ = {};
  vst2::AudioMasterCallback audioMaster_;
  InstanceHost* instanceHost_ = nullptr;
  HostTime callbackTime_;  // the callback's answer, translated
  vst2::VstSpeakerArrangement inputArrangement_ = {};
  vst2::VstSpeakerArrangement outputArrangement_ = {};
  bool hostSpecificSetupDone_ = false;
  StateBuffer programChunk_;
  StateBuffer bankChunk_;
  vst2::AEffect effect_ = {};
  // Set by the audio thread, taken by the next idle call.
  std::atomic<bool> programSwitchUnreported_{false};
};
