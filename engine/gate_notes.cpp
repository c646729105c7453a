// Note-ons on the engine's side: restarts of the "MIDI note" restart mode
// and program switches from MIDI, each at the note's own sample.
#include <cmath>

#include "engine/gate_engine.h"

namespace {
constexpr int kSwitchPrograms = 50;
}  // namespace

void GateEngine::TakeNote(uint8_t note, int64_t clock) {
  const bool restarts = restartMode == kRestartMidiNote;
  if (restarts) {
    originClock = clock;
    restartOriginSet = true;
  }
  const int program = static_cast<int>(note) - kFirstSwitchNote;
  if (midiSwitch != kSwitchOff && program >= 0 && program < kSwitchPrograms) {
    // A later note replaces a switch still waiting.
    pendingProgram = static_cast<int16_t>(program);
    pendingSwitchClock = midiSwitch == kSwitchNextBar ? NextBarClock(clock) : clock;
    if (midiSwitch == kSwitchImmediate) ApplyPendingProgram();
  }
  // A restart starts a step: a switch due by now takes effect with it.
  if (restarts && pendingProgram >= 0 && clock >= pendingSwitchClock) ApplyPendingProgram();
  if (!restarts && !resyncPending) return;
  // The restart (step 1 here), or the new rate or cycle of an immediate
  // switch, realigns at this sample; without a clock it waits for one.
  resyncPending = true;
  if (ClockKnown()) RealignAt(clock, restarts ? 0 : clock - originClock);
}

void GateEngine::ApplyPendingProgram() {
  const int program = pendingProgram;
  pendingProgram = -1;
  if (program < 0) return;
  SelectProgramFromMidi(program);
  ++midiProgramSwitches;
}

int64_t GateEngine::NextBarClock(int64_t clock) const {
  // Bars of four beats from the grid's origin; the first bar line at or
  // after the note (a note on a bar line switches there).
  const double bar = samplesPerWholeNote;
  if (!(bar > 0)) return clock;
  const double position = static_cast<double>(clock - originClock);
  const double line = std::ceil(position / bar) * bar;
  return originClock + static_cast<int64_t>(std::ceil(line));
}
