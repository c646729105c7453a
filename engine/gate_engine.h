// GateEngine: the step gate's state and behaviour, apart from the plug-in
// framework. The effect class derives it beside the framework base and
// supplies the hooks below (parameter values, host queries, the editor's
// status line and step bars); tests supply them with fakes.
//
// Threading: every entry runs with the instance lock held (the effect class
// takes it). The editor's step bars write StepPattern, editedIndex and
// editedValue directly, and its activity strip reads currentStep.
#pragma once

#include <cstdint>

#include "engine/gate_params.h"
#include "engine/info_messages.h"
#include "engine/note_queue.h"
#include "engine/pattern_words.h"

class ITextControl;
class MyBar;

enum EnvelopeState : uint16_t { Attack = 1, Hold = 2, Release = 3, Off = 4 };

class GateEngine {
 public:
  GateEngine();
  virtual ~GateEngine() = default;
  GateEngine(const GateEngine&) = delete;
  GateEngine& operator=(const GateEngine&) = delete;

  // Applies the current value of parameter `index` (the body of the
  // effect's parameter-change handler). [lock held]
  void ApplyParamChange(int index);
  // Sample-rate and restart handling; nothing before the first block. [lock held]
  void ResetEngine();
  // One audio block, channels 0 and 1. [audio thread, lock held]
  void ProcessGateBlock(double** inputs, double** outputs, int frames);
  // Writes `text` to the status line and restarts its lifetime. [lock held]
  void ShowInfo(const char* text);

  // Whole-pattern and multi-step edits from the editor's pattern editor.
  // The next StepEdited shows `message` in place of the step message.
  // [editor thread, lock held]
  void AnnouncePatternEdit(const char* message);
  // Writes one entry, or all 64, and the bars that show them; packing
  // follows the StepEdited the caller raises. [editor thread, lock held]
  void WriteEntry(int entry, uint16_t value);
  void WritePattern(const uint16_t* pattern);
  // A stroke across the bars is one host gesture on each pattern word: the
  // first pack during it opens it, later packs store inside it, and the
  // release packs what is still pending into them and closes them all.
  // [editor thread, lock held]
  void HoldWordGestures();
  void ReleaseWordGestures();

  // Engine fields, in the order the effect has always declared them.
  int32_t lastApplied[kGateParamCount];
  int32_t levelGlideRemaining = 0;
  double samplesPerWholeNote = 0;
  double sampleRateSeen = 0;
  double lowpassLeft = 0, lowpassRight = 0;
  double envelope = 0;
  double attackIncrement = 0;
  double releaseDecrement = 0;
  double lowpassCoefficient = 0;
  double stepLevel = 0;
  double levelGlideIncrement = 0;
  float wet = 0, dry = 0;
  float gateFraction = 0;
  uint16_t target = 0;
  uint16_t envelopeState = 0;
  uint16_t currentStep = 0;
  uint16_t stepCount = 0;
  uint16_t StepPattern[kPatternEntries];
  uint16_t editedIndex = 0;
  uint16_t editedValue = 0;
  uint32_t stepSampleCounter = 0;
  uint32_t samplesPerStep = 0;
  uint32_t gateLength = 0;
  int32_t fadeLength = 0;
  uint32_t lastBlockClock = 0;
  uint32_t infoClearClock = 0;
  bool started = false;
  bool processingEnabled = false;
  bool wasPlaying = false;
  bool tieLock = false;
  bool resyncPending = false;
  bool packPending = false;
  char infoMessage[kInfoMessageSize] = {};
  ITextControl* InfoText = nullptr;
  MyBar* timeBars[kStepCountMax] = {};    // contiguous with volumeBars: bar k shows
  MyBar* volumeBars[kStepCountMax] = {};  // StepPattern entry k
  int32_t attackPercent = 0, releasePercent = 0, fadePercent = 0;
  bool appliedOnce[kGateParamCount] = {};
  int16_t unappliedCount = kGateParamCount;
  // editedIndex of an edit announced by AnnouncePatternEdit, and its text.
  static constexpr uint16_t kPatternEditIndex = 0xFFFF;
  char patternEditMessage[kInfoMessageSize] = {};
  bool wordGesturesHeld = false;
  bool wordGestureOpen[kPatternWordCount] = {};
  // Frames run through ProcessGateBlock since the instance was made: the
  // clock note-ons are timed on.
  int64_t sampleClock = 0;
  // The groove and control parameters as last applied.
  int32_t swingPercent = 50;
  int32_t chancePercent = 100;
  uint16_t restartMode = 0;
  uint16_t midiSwitch = 0;
  uint8_t stepChance[kStepCountMax] = {};  // chance levels 0-3, as chance_words.h
  NoteQueue notes;
  // The step clock on the swung grid: the current step's own length
  // (samplesPerStep unless swung) and its number from the position origin.
  uint32_t stepLength = 0;
  int64_t stepNumber = 0;
  // The sample clock's value at position 0 of the grid. It moves with every
  // realignment from the host's position, and to the restart sample of a
  // restart mode (restartOriginSet), after which realignments keep it.
  int64_t originClock = 0;
  bool restartOriginSet = false;
  uint16_t restartModeSeen = 0;  // restartMode at the last block
  // A MIDI program switch waiting for a step boundary at or after
  // pendingSwitchClock; -1: none.
  int16_t pendingProgram = -1;
  int64_t pendingSwitchClock = 0;
  // Programs switched from MIDI notes so far, for the format glue to notice.
  uint32_t midiProgramSwitches = 0;

 protected:
  // Hooks the effect class provides.
  virtual double EngineParamValue(int index) = 0;  // stored value, own units
  virtual void StoreEngineParam(int index, double value) = 0;
  // The host's gesture on a parameter held over several stores, and a store
  // inside it; without a host, the store alone. [lock held]
  virtual void BeginEngineParamGesture(int /*index*/) {}
  virtual void EndEngineParamGesture(int /*index*/) {}
  virtual void StoreEngineParamInGesture(int index, double value) {
    StoreEngineParam(index, value);
  }
  // Puts StepEdited back to 0 and lets the handler see it.
  virtual void ResetStepEdited() = 0;
  virtual double EngineSampleRate() = 0;
  virtual double EngineSamplesPerBeat() = 0;              // 0 without a tempo
  virtual bool EngineTransportRunning() = 0;              // playing or recording
  virtual int64_t EngineSamplePosition() = 0;             // rounded, >= 0
  virtual uint32_t EngineClock() = 0;                     // milliseconds
  virtual void SetStatusText(const char* text) = 0;       // no-op without a status line
  virtual double BarValue(int entry) = 0;                 // entry x 0.25 without a bar
  virtual void SetBarValue(int entry, double value) = 0;  // no-op without a bar
  // Loads program `program` (0-based) as a host program change would,
  // keeping "Restart" and "MIDI Switch". [audio thread, lock held]
  virtual void SelectProgramFromMidi(int /*program*/) {}

  // Derived steps, exposed to tests through subclasses.
  void RealignStepClock(int64_t position);
  void StartNextStep();
  // Runs up to `frames` samples, the first at `firstClock`; stops early, at
  // a step boundary where a pending program switch is due. Returns the
  // samples run.
  int RunSamples(double** inputs, double** outputs, int frames, int64_t firstClock);
  void HoldSamples(double** inputs, double** outputs, int frames);

 private:
  bool ClockKnown() const { return samplesPerStep != 0 && stepCount != 0; }
  // The step length the envelope slopes and the glide follow right now.
  uint32_t ShapeLength() const;
  void ShapeStep(uint32_t length);
  // Gate samples of the current step for `quarters`, or 0 if its draw fails.
  uint32_t DrawnGate(float quarters);
  // Realigns at sample `clock` to grid position `position`.
  void RealignAt(int64_t clock, int64_t position);
  // The grid position of sample `clock` from the mode's position source.
  int64_t RealignPosition(int64_t clock);
  // Samples [from, to) of the block, program switches at boundaries included.
  void RunSegment(double** inputs, double** outputs, int from, int to);
  void TakeNote(uint8_t note, int64_t clock);
  void ApplyPendingProgram();
  int64_t NextBarClock(int64_t clock) const;
  void UnpackWordToBars(int g, int32_t word);
  void Nudge(int firstEntry, int direction);
  void PackPatternIntoParams();
};
