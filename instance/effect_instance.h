// EffectInstance: one effect instance as every format's glue drives it, in
// the effect's own terms rather than any format's opcodes. The glue of a
// format translates its host's calls into these; the instance behind them
// runs the same code whichever format asked.
//
// Entries that touch the instance take its lock themselves; a glue may hold
// it around several of them (it is re-entrant) so the audio thread sees them
// as one step.
#pragma once

#include <cstdint>

#include "framework/midi_message.h"
#include "framework/state_buffer.h"

class IEditorView;
class InstanceHost;
class RecursiveLock;

// What a loaded state carried besides its values.
struct LoadedState {
  bool carriedExtension = false;  // false: a bare chunk, program and bypass unknown
  int32_t program = 0;
  bool bypassed = false;
};

// What a host shows of one parameter.
struct ParamInfoRecord {
  static constexpr int kTextSize = 128;
  char title[kTextSize];  // never empty
  char units[kTextSize];
  int32_t stepCount;  // evenly spaced steps across the range; 0 continuous
  bool isList;        // a list of named values
};

class EffectInstance {
 public:
  virtual ~EffectInstance() = default;  // closes the instance [host main thread]

  // ---- Identity [any thread] ----
  // The effect's name as hosts list it.
  virtual const char* Name() = 0;
  // Audio channels in and out.
  virtual int32_t InputChannels() = 0;
  virtual int32_t OutputChannels() = 0;
  // The instance lock: re-entrant; the audio thread takes it for each block.
  virtual RecursiveLock& Lock() = 0;

  // ---- Lifecycle [host main thread] ----
  // Identifies the host and applies every parameter; once, before anything else.
  virtual void Open() = 0;
  virtual void SetSampleRate(double rate) = 0;
  // Sizes the scratch buffers for blocks of up to `frames`.
  virtual void SetMaxBlockFrames(int32_t frames) = 0;
  virtual void SetActive(bool active) = 0;
  // The host starts or stops calling process. [host main or audio thread]
  virtual void SetProcessing(bool on) = 0;

  // ---- Parameters [any host thread] ----
  // The parameters a host sees: 0 .. ParamCount() - 1.
  virtual int32_t ParamCount() = 0;
  // False outside the list.
  virtual bool ParamInfo(int32_t index, ParamInfoRecord* info) = 0;
  virtual double ParamNormalized(int32_t index) = 0;
  // A host or automation value, stepped and applied; the editor follows.
  virtual void SetParamNormalized(int32_t index, double normalized) = 0;
  // The display text of `normalized` for parameter `index`, into `size` bytes.
  virtual void ParamText(int32_t index, double normalized, char* text, int32_t size) = 0;
  // The value in the parameter's own units that `normalized` stands for,
  // stepped as the parameter stores it, and back.
  virtual double ParamPlain(int32_t index, double normalized) = 0;
  virtual double ParamNormalizedOfPlain(int32_t index, double plain) = 0;
  // The normalized value a typed text names, stepped as a host value is;
  // false when the text names none.
  virtual bool ParamFromText(int32_t index, const char* text, double* normalized) = 0;

  // ---- Programs [host main thread] ----
  virtual int32_t ProgramCount() = 0;
  virtual int32_t CurrentProgram() = 0;
  // Room for any program name with its terminator.
  static constexpr int32_t kProgramNameBytes = 256;
  // The name of program `index`, into `size` bytes; empty outside the list.
  virtual void ProgramName(int32_t index, char* name, int32_t size) = 0;
  // The current values go back into their program first, as a host switch does.
  virtual void SelectProgram(int32_t program) = 0;
  // Programs a note-on selected so far; a change means the host should hear
  // of it. [audio thread, lock held]
  virtual uint32_t NoteProgramSwitches() = 0;

  // ---- State [host main thread] ----
  // The whole state with the current program and `bypassed` in its
  // extension; false when memory ran out.
  virtual bool SaveState(StateBuffer& buffer, bool bypassed) = 0;
  // Loads a saved state. One of ours moves to the program it was saved on;
  // `carried` says what its extension held. False for a foreign state
  // (nothing changes) or a short one (what it lacks stays).
  virtual bool LoadState(const StateBuffer& bytes, LoadedState* carried) = 0;

  // ---- Audio [audio thread] ----
  // Note-ons (and the rest of MIDI) for the next process call, offset from
  // the start of the block it renders.
  virtual void QueueMidi(const MidiMessage& message) = 0;
  // One block: channel c's frames start at inputs[c] + offset and
  // outputs[c] + offset.
  virtual void ProcessFloat(float** inputs, float** outputs, int32_t offset, int32_t frames) = 0;
  virtual void ProcessDouble(double** inputs, double** outputs, int32_t offset, int32_t frames) = 0;
  // A host call with no audio: the per-block work alone (queued notes,
  // pending edits), nothing rendered.
  virtual void ProcessNothing() = 0;

  // ---- Editor [host main thread] ----
  // The editor's own view (its size, scale and window), null without one.
  virtual IEditorView* Editor() = 0;
  // Opens the editor window inside the host's `parent`; false when it cannot.
  virtual bool OpenEditor(void* parent) = 0;
  virtual void CloseEditor() = 0;
  // The size the editor window would open at; false without an editor.
  virtual bool PreferredEditorSize(int32_t* width, int32_t* height) = 0;
  // The host's timer: the editor's animation and pending edits.
  virtual void EditorIdle() = 0;
  // A host key press while the editor has focus; true when the editor used it.
  virtual bool EditorKeyDown(int32_t character, int32_t virtualKey, int32_t modifiers) = 0;
  // A host mouse wheel over the editor; true when the editor used it.
  virtual bool EditorWheel(float distance) = 0;
};

// A new instance whose host services go to `host` (which outlives it), with
// one program at least; null when memory ran out. Open() comes next.
// [host main thread]
EffectInstance* CreateEffectInstance(InstanceHost* host);
