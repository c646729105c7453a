// IPlugBase: the host-independent half of a plug-in instance. Owns the
// parameter objects, the preset bank, the channel records with their scratch
// buffers, the editor view and the instance lock. The host glue (IPlugVST)
// derives it and supplies the host services; the effect derives that.
//
// Every entry from a host thread or the editor holds InstanceLock() for its
// whole duration; the lock is re-entrant, so nested framework calls are safe.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/channels.h"
#include "framework/midi_message.h"
#include "framework/plug_param.h"
#include "framework/preset_slot.h"
#include "framework/recursive_lock.h"
#include "framework/state_buffer.h"
#include "framework/state_extension.h"

class IEditorView;
class PatternEditor;

class IPlugBase {
 public:
  static constexpr int kTextFieldSize = 128;
  static constexpr int kDefaultBlockFrames = 1024;

  IPlugBase(int paramCount, const char* channelConfig, int presetCount, const char* effectName,
            const char* productName, const char* vendorName, int32_t vendorVersion,
            int32_t uniqueId, int32_t makerId, int latency, int midiMode, bool stateChunks,
            bool isInstrument);
  virtual ~IPlugBase();  // deletes the editor first, then parameters, presets, channels
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Effect hooks, overridden by the effect ----
  // Sample rate or block size changed, or processing stopped. [host thread]
  virtual void OnReset();
  // Applies the current value of parameter `index`. [any thread, lock held]
  virtual void OnParamChanged(int index);
  // One audio block in doubles; the default copies input i to output i and
  // clears outputs without an input. [audio thread, lock held]
  virtual void ProcessBlock(double** inputs, double** outputs, int frames);
  // The instance's pattern editor, for the editor's step bars and keys;
  // null for effects without one. [editor thread]
  virtual PatternEditor* Patterns() { return nullptr; }
  virtual void OnEditorOpened() {}   // [editor thread]
  virtual void OnEditorClosing() {}  // [editor thread]
  virtual void OnClosing() {}        // effClose, before deletion
  virtual void OnActiveChanged(bool active);
  virtual void OnMidiMessage(const MidiMessage& /*message*/) {}
  // A host process call of `frames` begins; the MIDI messages since the last
  // one belong to it. Called once per call, before its slices. [audio thread, lock held]
  virtual void OnHostBlockStart(int /*frames*/) {}
  virtual void OnSysEx(const SysExMessage& /*message*/) {}
  // Fills `name` (64 bytes) for a key; the default empties it and answers false.
  virtual bool MidiKeyName(int key, char* name);
  // The state image: the chunk's values, then the extension
  // (framework/state_extension.h) with `program`, `bypassed` and the saved
  // values past the chunk's. [any thread, lock taken; allocates nothing when
  // the buffer has room for StateBytes()]
  virtual bool SaveState(StateBuffer& buffer, int32_t program, bool bypassed);
  // Reads a state image from `position`: the chunk's values, then, from an
  // extension of ours running to the buffer's end, the values past them; a
  // bare chunk gives those their defaults, a cut one keeps them. Returns the
  // position after the chunk's values, or -1 when they ran short.
  // OnParamChanged runs for every parameter regardless. [any thread, lock taken]
  virtual int32_t LoadState(const StateBuffer& buffer, int32_t position);
  // Called after a host chunk of `version` was applied. [host thread, lock held]
  virtual void OnChunkVersionLoaded(int32_t version);

  // ---- Host services, supplied by the host glue ----
  virtual void BeginParamEdit(int index) = 0;
  // A wheel step: continues the open gesture when it is for `index`.
  virtual void ResumeParamEdit(int index) = 0;
  virtual void AutomateParam(int index, double normalized) = 0;
  virtual void EndParamEdit(int index) = 0;
  virtual void RequestHostDisplayUpdate() = 0;
  virtual int32_t HostSamplePosition() = 0;
  virtual double HostTempo() = 0;
  virtual void HostTimeSignature(int* numerator, int* denominator) = 0;
  // Host number from the host's product string; asked once per instance.
  virtual int32_t HostId() = 0;
  virtual void SyncEditorRect() = 0;
  // Asks the host to give the editor a frame of this many pixels; a host
  // glue that cannot ignores it. [editor thread]
  virtual void RequestEditorSize(int /*width*/, int /*height*/) {}
  virtual void HostSpecificSetup() = 0;
  // Takes ownership of the editor view. [constructor]
  virtual void AttachEditor(IEditorView* editor);
  // Resizes the scratch buffers; no allocation when n is unchanged.
  virtual void SetMaxBlockFrames(int frames);
  virtual void SetDelaySamples(int samples);
  virtual bool SendMidiMessage(const MidiMessage& message) = 0;
  bool SendMidiMessages(const MidiMessage* messages, int count);
  virtual bool SendSysExMessage(const SysExMessage& message) = 0;

  // ---- State ----
  // The chunk's values alone, as little-endian doubles.
  virtual bool SaveParams(StateBuffer& buffer);
  // Reads the chunk's values from `position`; returns the position after
  // them, or -1 when the buffer ran short. Parameters whose bytes are missing
  // keep their values; OnParamChanged runs for every parameter regardless.
  virtual int32_t LoadParams(const StateBuffer& buffer, int32_t position);
  virtual bool SavePresetBank(StateBuffer& buffer);
  virtual int32_t LoadPresetBank(const StateBuffer& buffer, int32_t position);

  // ---- Editor paths [editor thread] ----
  // A control moved by the user: store, tell the host, apply.
  void ApplyEditorParamChange(int index, double normalized);
  // Ends the gesture of a wheel step after the editor's countdown.
  void DeferParamEditEnd(int index);
  void FlushPendingEditEnd();

  // ---- Parameters ----
  int NParams() const { return static_cast<int>(params_.size()); }
  IPlugParam* GetParam(int index);  // null outside the list
  void AppendParam();               // adds a default parameter object
  // Which values a state holds: parameters 0 .. inChunk - 1 in the chunk,
  // inChunk .. saved - 1 in its extension, none after (editor-only ones).
  // Both start as the constructor's parameter count. [constructor]
  void SetSavedParams(int inChunk, int saved);
  int NChunkParams() const { return chunkParams_; }
  int NSavedParams() const { return savedParams_; }
  // Bytes of a state image without its version word: the chunk's values and
  // the extension. [any thread]
  int32_t StateBytes() const;

  // ---- Presets ----
  int NPresets() const { return static_cast<int>(presets_.size()); }
  int CurrentPresetIndex() const { return currentPreset_; }
  const char* PresetName(int index) const;
  void EnsureOnePreset();
  void NameFirstFreePresets(const char* name, int count);
  // Name, then one value per parameter object: int for kinds 1-3, double for 4.
  void AddFactoryPreset(const char* name, ...);
  void CaptureCurrentPreset(const char* newName);
  bool SelectPreset(int index);
  // The program a state just loaded was saved on becomes the current one and
  // takes the loaded values, as saving had captured them into it; a free slot
  // becomes a user preset, as selecting it does. [host thread]
  void AdoptPresetOfState(int index);
  void PushParamsToEditor();
  const PresetSlot* Preset(int index) const;

  // ---- Identity and settings ----
  const char* EffectName() const { return effectName_; }
  const char* ProductName() const { return productName_; }
  const char* VendorName() const { return vendorName_; }
  int32_t UniqueId() const { return uniqueId_; }
  int32_t MakerId() const { return makerId_; }
  int32_t VersionPacked() const { return vendorVersion_; }  // 0xMMMMmmpp
  int32_t VersionDecimal() const;                           // major*10000 + minor*100 + patch
  // "v%d.%02d" with major and minor; `text` holds `size` bytes.
  void VersionText(char* text, int size) const;
  int32_t StoredHostId() const { return hostId_; }
  int32_t HostVersion() const { return hostVersion_; }
  bool StateChunks() const { return stateChunks_; }
  bool IsInstrument() const { return isInstrument_; }
  int MidiMode() const { return midiMode_; }
  double SampleRate() const { return sampleRate_; }
  int BlockSize() const { return blockSize_; }
  int Latency() const { return latency_; }
  IEditorView* Editor() const { return editor_; }
  RecursiveLock& InstanceLock() { return instanceLock_; }

  // ---- Channels ----
  int NInChannels() const { return static_cast<int>(inputs_.size()); }
  int NOutChannels() const { return static_cast<int>(outputs_.size()); }
  bool MatchesChannelConfig(int inputs, int outputs) const;
  void SetInputConnected(int channel, bool connected);
  void SetOutputConnected(int channel, bool connected);
  bool IsInputConnected(int channel) const;
  bool IsOutputConnected(int channel) const;

 protected:
  std::vector<ChannelIOPair>& ChannelConfigs() { return channelConfigs_; }
  std::vector<InputChannel*>& InputChannels() { return inputs_; }
  std::vector<OutputChannel*>& OutputChannels() { return outputs_; }
  double** InputPointers() { return inputPointers_.data(); }
  double** OutputPointers() { return outputPointers_.data(); }
  void SetSampleRate(double rate) { sampleRate_ = rate; }
  void StoreHostIdentity(int32_t id, int32_t version) {
    hostId_ = id;
    hostVersion_ = version;
  }
  int32_t PendingEditEnd() const { return pendingEditEnd_; }
  void SetPendingEditEnd(int32_t index) { pendingEditEnd_ = index; }

 private:
  void ParseChannelConfig(const char* config);
  // Deletes everything the instance owns; the destructor's body, and the
  // clean-up when construction fails half-way (no destructor runs then).
  void DeleteOwned();
  PresetSlot* FirstFreePreset();
  int PresetIndex(const PresetSlot* preset) const;
  // The chunk's values from `position`, stepped; the position after them or
  // -1 when they ran short. No notification. [lock held]
  int32_t ReadChunkValues(const StateBuffer& buffer, int32_t position);
  // The extension's values into parameters NChunkParams() .. NSavedParams() - 1;
  // those past a short list take their defaults. No notification. [lock held]
  void StoreExtensionValues(const StateExtension& extension);
  void ResetExtensionValues();  // the same parameters to their defaults [lock held]
  void NameUserPreset(PresetSlot* preset);

  std::vector<ChannelIOPair> channelConfigs_;
  std::vector<IPlugParam*> params_;
  std::vector<PresetSlot*> presets_;
  int32_t currentPreset_ = 0;
  int32_t pendingEditEnd_ = -1;
  RecursiveLock instanceLock_;
  char effectName_[kTextFieldSize] = {};
  char productName_[kTextFieldSize] = {};
  char vendorName_[kTextFieldSize] = {};
  int32_t uniqueId_;
  int32_t makerId_;
  int32_t vendorVersion_;
  int32_t hostId_ = -1;
  int32_t hostVersion_ = 0;
  int32_t chunkParams_ = 0;
  int32_t savedParams_ = 0;
  bool stateChunks_;
  bool isInstrument_;
  int32_t midiMode_;
  double sampleRate_ = 44100.0;
  int32_t blockSize_ = 0;
  int32_t latency_;
  IEditorView* editor_ = nullptr;
  std::vector<double*> inputPointers_;
  std::vector<double*> outputPointers_;
  std::vector<InputChannel*> inputs_;
  std::vector<OutputChannel*> outputs_;
};
