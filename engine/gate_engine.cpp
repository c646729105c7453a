#include "engine/gate_engine.h"

#include <cmath>
#include <cstdio>

#include "engine/chance_words.h"
#include "engine/note_lengths.h"
#include "engine/rounding.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

GateEngine::GateEngine() {
  for (int32_t& value : lastApplied) value = -101;
  // The pattern the parameter defaults decode to: time 2, volume 4 on every step.
  for (int i = 0; i < kStepCountMax; ++i) {
    StepPattern[i] = 2;
    StepPattern[kStepCountMax + i] = 4;
  }
}

void GateEngine::ApplyParamChange(int index) {
  if (index < 0 || index >= kGateParamCount) return;
  const int32_t v = static_cast<int32_t>(RoundHalfAway(EngineParamValue(index)));
  if (v == lastApplied[index]) return;
  lastApplied[index] = v;

  switch (index) {
    case kRate:
      if (samplesPerWholeNote > 0) {
        samplesPerStep = SamplesPerStepFor(v, samplesPerWholeNote);
        resyncPending = true;
      }
      break;
    case kCycle:
      stepCount = static_cast<uint16_t>(v);
      resyncPending = true;
      break;
    case kAttack:
      attackPercent = v;
      break;
    case kGate:
      gateFraction = static_cast<float>(v) * 0.01f;
      FormatGateMessage(infoMessage, v);
      ShowInfo(infoMessage);
      break;
    case kTieLock:
      tieLock = v > 0;
      ShowInfo(TieLockMessage(tieLock));
      break;
    case kRelease:
      releasePercent = v;
      break;
    case kFade:
      fadePercent = v;
      break;
    case kSplitFreq:
      // Before the first reset there is no sample rate; the pole then stays 0.
      lowpassCoefficient = sampleRateSeen > 0 ? std::exp(-kTwoPi * v / sampleRateSeen) : 0.0;
      break;
    case kTarget:
      target = static_cast<uint16_t>(v);
      break;
    case kMix:
      wet = static_cast<float>(v) * 0.01f;
      dry = 1.0f - wet;
      break;
    case kStepEdited:
      if (v >= 1) {
        ResetStepEdited();
        packPending = true;
        if (editedIndex == kPatternEditIndex) {
          ShowInfo(patternEditMessage);
        } else {
          FormatStepEditMessage(infoMessage, editedIndex, editedValue);
          ShowInfo(infoMessage);
        }
      }
      break;
    case kTimesNudge:
    case kVolumesNudge:
      if (v != 0) {
        const bool volumes = index == kVolumesNudge;
        Nudge(volumes ? kStepCountMax : 0, v);
        ShowInfo(NudgeMessage(volumes, v));
        packPending = true;
      }
      break;
    case kSwing:
      // The pairs change length: realign onto the new grid.
      swingPercent = v;
      resyncPending = true;
      break;
    case kChance:
      chancePercent = v;
      break;
    case kRestartMode:
      restartMode = static_cast<uint16_t>(v);
      break;
    case kMidiSwitch:
      midiSwitch = static_cast<uint16_t>(v);
      if (midiSwitch == kSwitchOff) pendingProgram = -1;
      break;
    case kChanceWord0:
    case kChanceWord1:
    case kChanceWord2:
      UnpackChanceWord(stepChance, index - kChanceWord0, v);
      break;
    default:  // the pattern words
      UnpackWordToBars(index - kFirstPatternWordParam, v);
      break;
  }

  const bool shapeChanged = index == kRate || index == kSwing;
  if (shapeChanged || index == kAttack)
    attackIncrement = EnvelopeSlopeFor(ShapeLength(), attackPercent);
  if (shapeChanged || index == kRelease)
    releaseDecrement = EnvelopeSlopeFor(ShapeLength(), releasePercent);
  if (shapeChanged || index == kFade) fadeLength = FadeLengthFor(ShapeLength(), fadePercent);

  if (!processingEnabled) {
    if (!appliedOnce[index]) {
      appliedOnce[index] = true;
      --unappliedCount;
    }
    if (unappliedCount <= 0) processingEnabled = true;
  }
}

uint32_t GateEngine::ShapeLength() const {
  // A new rate realigns before the next sample, and a swung realignment
  // shapes its step then; until it does the plain step serves.
  return swingPercent == 50 || stepLength == 0 ? samplesPerStep : stepLength;
}

void GateEngine::ShapeStep(uint32_t length) {
  attackIncrement = EnvelopeSlopeFor(length, attackPercent);
  releaseDecrement = EnvelopeSlopeFor(length, releasePercent);
  fadeLength = FadeLengthFor(length, fadePercent);
}

void GateEngine::ResetEngine() {
  if (!started) return;
  const double sampleRate = EngineSampleRate();
  if (sampleRate != sampleRateSeen) {
    sampleRateSeen = sampleRate;
    lastApplied[kSplitFreq] = -1;
    ApplyParamChange(kSplitFreq);
  }
  resyncPending = true;
}

void GateEngine::ShowInfo(const char* text) {
  SetStatusText(text);
  infoClearClock = lastBlockClock + kInfoMessageLifetimeMs;
}

void GateEngine::AnnouncePatternEdit(const char* message) {
  editedIndex = kPatternEditIndex;
  std::snprintf(patternEditMessage, sizeof patternEditMessage, "%s", message ? message : "");
}

void GateEngine::WriteEntry(int entry, uint16_t value) {
  if (entry < 0 || entry >= kPatternEntries) return;
  StepPattern[entry] = value;
  // The bar's Draw writes its own value back into the entry: both change.
  SetBarValue(entry, value * 0.25);
}

void GateEngine::WritePattern(const uint16_t* pattern) {
  for (int k = 0; k < kPatternEntries; ++k) WriteEntry(k, pattern[k]);
}

void GateEngine::HoldWordGestures() { wordGesturesHeld = true; }

void GateEngine::ReleaseWordGestures() {
  // Words a block packed during the stroke take the rest inside their
  // gesture; a stroke no block saw packs at the next block as a click does.
  bool anyOpen = false;
  for (bool open : wordGestureOpen) anyOpen = anyOpen || open;
  if (packPending && anyOpen) PackPatternIntoParams();
  wordGesturesHeld = false;
  for (int g = 0; g < kPatternWordCount; ++g) {
    if (!wordGestureOpen[g]) continue;
    wordGestureOpen[g] = false;
    EndEngineParamGesture(kFirstPatternWordParam + g);
  }
}

void GateEngine::UnpackWordToBars(int g, int32_t word) {
  UnpackPatternWord(StepPattern, g, word);
  for (int k = PatternWordFirstEntry(g); k <= PatternWordLastEntry(g); ++k) {
    SetBarValue(k, StepPattern[k] * 0.25);
  }
}

void GateEngine::Nudge(int firstEntry, int direction) {
  for (int i = 0; i < stepCount && i < kStepCountMax; ++i) {
    const int entry = firstEntry + i;
    const double value = NudgedBarValue(BarValue(entry), direction);
    SetBarValue(entry, value);
    StepPattern[entry] = PatternEntryForBarValue(value);
  }
}

void GateEngine::PackPatternIntoParams() {
  int32_t words[kPatternWordCount];
  PackPatternWords(StepPattern, words);
  for (int g = 0; g < kPatternWordCount; ++g) {
    const int index = kFirstPatternWordParam + g;
    if (!wordGesturesHeld) {
      StoreEngineParam(index, words[g]);
      continue;
    }
    if (!wordGestureOpen[g]) {
      BeginEngineParamGesture(index);
      wordGestureOpen[g] = true;
    }
    StoreEngineParamInGesture(index, words[g]);
  }
  packPending = false;
}
