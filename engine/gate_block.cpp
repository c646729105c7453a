// The audio side of GateEngine: block-level bookkeeping, the step clock,
// envelope, level glide, crossover and mix.
#include <cmath>
#include <limits>

#include "engine/gate_engine.h"
#include "engine/rounding.h"
#include "engine/step_chance.h"
#include "engine/swing_grid.h"

namespace {
// A gap between blocks longer than this means the host paused: realign.
constexpr uint32_t kPauseMs = 500;
constexpr double kDenormalFloor = 1e-24;
constexpr double kLargestSample = std::numeric_limits<double>::max();

// Quarters of a step times the step length, widened so that the longest
// steps cannot wrap the product.
float QuarterProduct(uint32_t quarters, uint32_t samplesPerStep) {
  return static_cast<float>(static_cast<uint64_t>(quarters) * samplesPerStep);
}
}  // namespace

void GateEngine::ProcessGateBlock(double** inputs, double** outputs, int frames) {
  const double wholeNote = EngineSamplesPerBeat() * 4.0;
  if (!started) {
    started = true;
    ResetEngine();
  }
  if (wholeNote != samplesPerWholeNote) {
    samplesPerWholeNote = wholeNote;
    lastApplied[kRate] = -1;
    ApplyParamChange(kRate);
    resyncPending = true;
  }
  if (infoClearClock != 0 && infoClearClock < lastBlockClock) {
    SetStatusText("");
    infoClearClock = 0;
  }
  // A new restart mode waits for its own start; the host's position serves until then.
  if (restartMode != restartModeSeen) {
    restartModeSeen = restartMode;
    restartOriginSet = false;
    resyncPending = true;
  }
  const bool playing = EngineTransportRunning();
  if (playing && !wasPlaying) {
    resyncPending = true;
    if (restartMode == kRestartTransportStart) {
      originClock = sampleClock;
      restartOriginSet = true;
    }
  }
  wasPlaying = playing;
  const uint32_t now = EngineClock();
  if (now - lastBlockClock > kPauseMs) resyncPending = true;

  // Without a step length or a cycle the clock cannot run; the realignment
  // waits until both are known and the block holds the gate where it is.
  if (resyncPending && ClockKnown()) RealignAt(sampleClock, RealignPosition(sampleClock));
  if (packPending) PackPatternIntoParams();
  // The block splits at each note-on, which restarts or switches at its own sample.
  const int count = frames > 0 ? frames : 0;
  int done = 0;
  TimedNote note;
  while (notes.PopBefore(sampleClock + count, &note)) {
    if (!processingEnabled) continue;
    const int at = static_cast<int>(note.at - sampleClock > done ? note.at - sampleClock : done);
    RunSegment(inputs, outputs, done, at);
    done = at;
    TakeNote(note.note, sampleClock + at);
  }
  if (processingEnabled) RunSegment(inputs, outputs, done, count);
  lastBlockClock = now;
  sampleClock += count;
}

// Restart modes. "Host position": the grid's origin is the host's position
// 0 and every realignment asks the host. "Transport start": the origin is
// the first sample of the first block the transport runs in after being
// stopped. "MIDI note": the origin is each note-on's own sample. In those
// two modes any other realignment (a rate or cycle change, a pause) realigns
// to the sample clock's distance from that origin, keeping the restart's
// grid; before the first start or note the host's position serves.
int64_t GateEngine::RealignPosition(int64_t clock) {
  if (restartMode != kRestartHostPosition && restartOriginSet) return clock - originClock;
  return EngineSamplePosition();
}

void GateEngine::RealignAt(int64_t clock, int64_t position) {
  originClock = clock - position;
  RealignStepClock(position);
}

void GateEngine::RunSegment(double** inputs, double** outputs, int from, int to) {
  while (from < to) {
    double* in[2] = {inputs[0] + from, inputs[1] + from};
    double* out[2] = {outputs[0] + from, outputs[1] + from};
    if (!ClockKnown()) {
      HoldSamples(in, out, to - from);
      return;
    }
    from += RunSamples(in, out, to - from, sampleClock + from);
    if (from >= to) return;
    // Stopped at a boundary where a pending switch is due: a new rate or
    // cycle realigns there; otherwise the next step starts as usual.
    ApplyPendingProgram();
    const int64_t clock = sampleClock + from;
    if (resyncPending && ClockKnown()) RealignAt(clock, clock - originClock);
  }
}

void GateEngine::RealignStepClock(int64_t position) {
  if (swingPercent == 50) {
    // One exact 64-bit division gives step and counter together, at any position.
    const int64_t plainLength = samplesPerStep;
    const int64_t stepsElapsed = position / plainLength;
    stepSampleCounter = static_cast<uint32_t>(position - stepsElapsed * plainLength);
    stepNumber = stepsElapsed;
    stepLength = samplesPerStep;
  } else {
    const GridPlace place = SwungPlace(position, samplesPerStep, swingPercent);
    stepSampleCounter = place.counter;
    stepNumber = place.step;
    stepLength = SwungStepLength(stepNumber, samplesPerStep, swingPercent);
    ShapeStep(stepLength);
  }
  envelope = 0;
  currentStep = static_cast<uint16_t>(stepNumber % stepCount);
  // The first step after a realignment ignores "Gate" and "Tie Lock".
  gateLength = DrawnGate(QuarterProduct(StepPattern[currentStep], stepLength) * 0.25f);
  envelopeState = gateLength != 0 ? Attack : Release;
  stepLevel = StepPattern[kStepCountMax + currentStep] * 0.25;
  levelGlideRemaining = 0;
  resyncPending = false;
}

void GateEngine::StartNextStep() {
  ++currentStep;
  if (currentStep >= stepCount) currentStep = 0;
  ++stepNumber;
  if (swingPercent == 50) {
    stepLength = samplesPerStep;
  } else {
    // Envelopes and the glide follow the swung step's own length.
    stepLength = SwungStepLength(stepNumber, samplesPerStep, swingPercent);
    ShapeStep(stepLength);
  }
  const uint32_t stepTime = StepPattern[currentStep];
  if (tieLock && stepTime == 4) {
    gateLength = DrawnGate(QuarterProduct(4, stepLength) * 0.25f);
  } else {
    gateLength = DrawnGate(QuarterProduct(stepTime, stepLength) * gateFraction * 0.25f);
  }
  // The envelope carries on from its level: an attack starts where it is.
  envelopeState = gateLength != 0 ? Attack : Release;

  const double level = StepPattern[kStepCountMax + currentStep] * 0.25;
  levelGlideRemaining = 0;
  if (envelope > 0 && fadeLength > 0) {
    // The previous step still sounds: glide to the new level.
    const double increment = (level - stepLevel) / fadeLength;
    if (increment != 0 && !std::isnan(increment)) {
      levelGlideRemaining = fadeLength;
      levelGlideIncrement = increment;
    }
  } else {
    stepLevel = level;
  }
  stepSampleCounter = 0;
}

namespace {
struct Mix {
  double wet, dry;
};

// Volume: out = (dry + wet*g) * in. Bands: out = (band mix) * wet + dry * in.
inline void MixSample(uint16_t target, double gain, double stepLevel, double envelope,
                      const Mix& mix, double coefficient, double& lowLeft, double& lowRight,
                      double left, double right, double& outLeft, double& outRight) {
  // A NaN or infinite input sample is taken as silence: let in, it would
  // lodge in the crossover's state and poison every block after it.
  left = std::fabs(left) <= kLargestSample ? left : 0.0;
  right = std::fabs(right) <= kLargestSample ? right : 0.0;
  if (target == 0) {
    outLeft = (mix.dry + mix.wet * stepLevel * envelope) * left;
    outRight = (mix.dry + mix.wet * stepLevel * envelope) * right;
    return;
  }
  if (target > 3) return;
  if (std::fabs(lowLeft) < kDenormalFloor) lowLeft = 0;
  if (std::fabs(lowRight) < kDenormalFloor) lowRight = 0;
  lowLeft = (lowLeft - left) * coefficient + left;  // y = x + c(y - x)
  lowRight = (lowRight - right) * coefficient + right;
  const double highLeft = left - lowLeft;
  const double highRight = right - lowRight;
  if (target == 1) {
    outLeft = (highLeft + gain * lowLeft) * mix.wet + mix.dry * left;
    outRight = (highRight + gain * lowRight) * mix.wet + mix.dry * right;
  } else if (target == 2) {
    outLeft = (gain * highLeft + lowLeft) * mix.wet + mix.dry * left;
    outRight = (gain * highRight + lowRight) * mix.wet + mix.dry * right;
  } else {
    outLeft = (gain * highLeft + (1 - gain) * lowLeft) * mix.wet + mix.dry * left;
    outRight = (gain * highRight + (1 - gain) * lowRight) * mix.wet + mix.dry * right;
  }
}
}  // namespace

int GateEngine::RunSamples(double** inputs, double** outputs, int frames, int64_t firstClock) {
  const Mix mix{wet, dry};
  const double* inLeft = inputs[0];
  const double* inRight = inputs[1];
  double* outLeft = outputs[0];
  double* outRight = outputs[1];
  for (int j = 0; j < frames; ++j) {
    if (stepSampleCounter >= stepLength) {
      if (pendingProgram >= 0 && firstClock + j >= pendingSwitchClock) return j;
      StartNextStep();
    }
    ++stepSampleCounter;

    switch (envelopeState) {
      case Attack:
        envelope += attackIncrement;
        if (envelope >= 1.0) {
          envelope = 1.0;
          envelopeState = Hold;
        }
        break;
      case Hold:
        if (stepSampleCounter >= gateLength) envelopeState = Release;
        break;
      case Release:
        envelope -= releaseDecrement;
        if (!(envelope > 0)) {
          envelope = 0;
          envelopeState = Off;
        }
        break;
      default:
        break;
    }

    if (levelGlideRemaining > 0) {
      --levelGlideRemaining;
      stepLevel += levelGlideIncrement;
    }

    MixSample(target, stepLevel * envelope, stepLevel, envelope, mix, lowpassCoefficient,
              lowpassLeft, lowpassRight, inLeft[j], inRight[j], outLeft[j], outRight[j]);
  }
  return frames;
}

uint32_t GateEngine::DrawnGate(float quarters) {
  const int32_t open = StepOpenHundredths(stepChance[currentStep], chancePercent);
  if (open < 10000 && !StepDrawOpens(stepNumber / stepCount, currentStep, open)) return 0;
  return static_cast<uint32_t>(RoundHalfAway(quarters));
}

void GateEngine::HoldSamples(double** inputs, double** outputs, int frames) {
  const Mix mix{wet, dry};
  for (int j = 0; j < frames; ++j) {
    MixSample(target, stepLevel * envelope, stepLevel, envelope, mix, lowpassCoefficient,
              lowpassLeft, lowpassRight, inputs[0][j], inputs[1][j], outputs[0][j], outputs[1][j]);
  }
}
