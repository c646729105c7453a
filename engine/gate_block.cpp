// The audio side of GateEngine: block-level bookkeeping, the step clock,
// envelope, level glide, crossover and mix.
#include <cmath>
#include <limits>

#include "engine/gate_engine.h"
#include "engine/rounding.h"

namespace {
// A gap between blocks longer than this means the host paused: realign.
constexpr uint32_t kPauseMs = 500;
constexpr double kDenormalFloor = 1e-24;
constexpr double kLargestSample = std::numeric_limits<double>::max();

uint32_t RoundedGate(float samples) { return static_cast<uint32_t>(RoundHalfAway(samples)); }

// Quarters of a step times the step length, widened so that the longest
// steps cannot wrap the product.
float QuarterProduct(uint32_t quarters, uint32_t samplesPerStep) {
  return static_cast<float>(static_cast<uint64_t>(quarters) * samplesPerStep);
}
}  // namespace

void GateEngine::ProcessGateBlock(double** inputs, double** outputs, int frames) {
  const int n = processingEnabled ? frames : 0;
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
  const bool playing = EngineTransportRunning();
  if (playing && !wasPlaying) resyncPending = true;
  wasPlaying = playing;
  const uint32_t now = EngineClock();
  if (now - lastBlockClock > kPauseMs) resyncPending = true;

  // Without a step length or a cycle the clock cannot run; the realignment
  // waits until both are known and the block holds the gate where it is.
  const bool clockKnown = samplesPerStep != 0 && stepCount != 0;
  if (resyncPending && clockKnown) RealignStepClock(EngineSamplePosition());
  if (packPending) PackPatternIntoParams();
  if (clockKnown) {
    RunSamples(inputs, outputs, n);
  } else {
    HoldSamples(inputs, outputs, n);
  }
  lastBlockClock = now;
  sampleClock += frames > 0 ? frames : 0;
}

void GateEngine::RealignStepClock(int64_t position) {
  // One exact 64-bit division gives step and counter together, at any position.
  const int64_t stepLength = samplesPerStep;
  const int64_t stepsElapsed = position / stepLength;
  stepSampleCounter = static_cast<uint32_t>(position - stepsElapsed * stepLength);
  envelope = 0;
  currentStep = static_cast<uint16_t>(stepsElapsed % stepCount);
  // The first step after a realignment ignores "Gate" and "Tie Lock".
  gateLength = RoundedGate(QuarterProduct(StepPattern[currentStep], samplesPerStep) * 0.25f);
  envelopeState = gateLength != 0 ? Attack : Release;
  stepLevel = StepPattern[kStepCountMax + currentStep] * 0.25;
  levelGlideRemaining = 0;
  resyncPending = false;
}

void GateEngine::StartNextStep() {
  ++currentStep;
  if (currentStep >= stepCount) currentStep = 0;
  const uint32_t stepTime = StepPattern[currentStep];
  if (tieLock && stepTime == 4) {
    gateLength = RoundedGate(QuarterProduct(4, samplesPerStep) * 0.25f);
  } else {
    gateLength = RoundedGate(QuarterProduct(stepTime, samplesPerStep) * gateFraction * 0.25f);
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

void GateEngine::RunSamples(double** inputs, double** outputs, int frames) {
  const Mix mix{wet, dry};
  const double* inLeft = inputs[0];
  const double* inRight = inputs[1];
  double* outLeft = outputs[0];
  double* outRight = outputs[1];
  for (int j = 0; j < frames; ++j) {
    if (stepSampleCounter >= samplesPerStep) StartNextStep();
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
}

void GateEngine::HoldSamples(double** inputs, double** outputs, int frames) {
  const Mix mix{wet, dry};
  for (int j = 0; j < frames; ++j) {
    MixSample(target, stepLevel * envelope, stepLevel, envelope, mix, lowpassCoefficient,
              lowpassLeft, lowpassRight, inputs[0][j], inputs[1][j], outputs[0][j], outputs[1][j]);
  }
}
