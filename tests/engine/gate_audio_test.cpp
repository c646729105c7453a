// The sample loop against a reference written from the gate's equations:
// the step clock is taken from the absolute sample index, not from a running
// counter, so the two agree only if the engine counts steps correctly.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/test_gate.h"

namespace {

struct Reference {
  // Inputs: the engine's derived values (checked elsewhere) and settings.
  uint32_t samplesPerStep;
  int stepCount;
  const uint16_t* pattern;
  double gateFraction;
  bool tieLock;
  double attackIncrement, releaseDecrement;
  int fadeLength;
  double wet, dry, coefficient;
  int target;

  // Output of sample i (from a realignment at position 0) for constant input.
  void Run(int samples, double left, double right, std::vector<double>& outLeft,
           std::vector<double>& outRight) const {
    double envelope = 0, level = pattern[32] / 4.0, glideStep = 0, lowLeft = 0, lowRight = 0;
    int glideLeft = 0;
    int state = pattern[0] ? 1 : 3;  // 1 attack, 2 hold, 3 release, 4 off
    long gate = std::lround(pattern[0] * samplesPerStep / 4.0);
    for (int i = 0; i < samples; ++i) {
      const long stepIndex = i / samplesPerStep;
      const int step = static_cast<int>(stepIndex % stepCount);
      const long counter = i % samplesPerStep + 1;
      if (i > 0 && counter == 1) {
        const int time = pattern[step];
        const double fraction = (tieLock && time == 4) ? 1.0 : gateFraction;
        gate = std::lround(time * samplesPerStep * fraction / 4.0);
        state = gate ? 1 : 3;
        const double newLevel = pattern[32 + step] / 4.0;
        glideLeft = 0;
        if (envelope > 0 && fadeLength > 0 && newLevel != level) {
          glideLeft = fadeLength;
          glideStep = (newLevel - level) / fadeLength;
        } else {
          level = newLevel;
        }
      }
      if (state == 1) {
        envelope = std::min(1.0, envelope + attackIncrement);
        if (envelope == 1.0) state = 2;
      } else if (state == 2) {
        if (counter >= gate) state = 3;
      } else if (state == 3) {
        envelope -= releaseDecrement;
        if (envelope <= 0) envelope = 0, state = 4;
      }
      if (glideLeft > 0) --glideLeft, level += glideStep;
      const double g = level * envelope;
      if (target == 0) {
        outLeft[i] = (dry + wet * g) * left;
        outRight[i] = (dry + wet * g) * right;
        continue;
      }
      lowLeft = left + coefficient * (lowLeft - left);
      lowRight = right + coefficient * (lowRight - right);
      const double highLeft = left - lowLeft, highRight = right - lowRight;
      const double lowGain = target == 1 ? g : (target == 2 ? 1 : 1 - g);
      const double highGain = target == 1 ? 1 : g;
      outLeft[i] = (highGain * highLeft + lowGain * lowLeft) * wet + dry * left;
      outRight[i] = (highGain * highRight + lowGain * lowRight) * wet + dry * right;
    }
  }
};

// An opened gate at 120 BPM / 44100 Hz, "1/16", after one block that
// realigned it to position 0 (with no samples processed).
void Prepare(TestGate& gate) {
  gate.Open();
  std::vector<double> none;
  gate.Block(none, none);
  ASSERT_EQ(gate.samplesPerStep, 5513u);
}

Reference ReferenceOf(const TestGate& gate) {
  return Reference{gate.samplesPerStep,
                   gate.stepCount,
                   gate.StepPattern,
                   gate.gateFraction,
                   gate.tieLock,
                   gate.attackIncrement,
                   gate.releaseDecrement,
                   gate.fadeLength,
                   gate.wet,
                   gate.dry,
                   gate.lowpassCoefficient,
                   gate.target};
}

void ExpectMatchesReference(TestGate& gate, int samples) {
  std::vector<double> left(samples, 0.8), right(samples, -0.6);
  gate.Block(left, right);
  std::vector<double> refLeft(samples), refRight(samples);
  ReferenceOf(gate).Run(samples, 0.8, -0.6, refLeft, refRight);
  for (int i = 0; i < samples; ++i) {
    ASSERT_NEAR(gate.outLeft[i], refLeft[i], 1e-9) << "sample " << i;
    ASSERT_NEAR(gate.outRight[i], refRight[i], 1e-9) << "sample " << i;
  }
}

TEST(GateAudio, WholeCyclesMatchReferenceForEveryTargetGateAndTieLock) {
  // Times: zero, ties, short and long gates; volumes: jumps, glides, silence.
  const int times[8] = {4, 4, 0, 2, 1, 3, 4, 0};
  const int volumes[8] = {4, 2, 3, 0, 4, 1, 4, 4};
  for (int target = 0; target < 4; ++target) {
    for (int tie = 0; tie < 2; ++tie) {
      for (int gatePercent : {0, 50, 100}) {
        SCOPED_TRACE(testing::Message()
                     << "target " << target << " tie " << tie << " gate " << gatePercent);
        TestGate gate;
        gate.params[kCycle] = 8;
        gate.params[kTarget] = target;
        gate.params[kTieLock] = tie;
        gate.params[kGate] = gatePercent;
        gate.params[kAttack] = 20;
        gate.params[kRelease] = 10;
        gate.params[kFade] = 30;
        gate.params[kSplitFreq] = 300;
        Prepare(gate);
        for (int i = 0; i < 8; ++i) {
          gate.StepPattern[i] = static_cast<uint16_t>(times[i]);
          gate.StepPattern[32 + i] = static_cast<uint16_t>(volumes[i]);
        }
        gate.RealignStepClock(0);
        ExpectMatchesReference(gate, 2 * 8 * 5513 + 100);
      }
    }
  }
}

TEST(GateAudio, TieLockAndGateDecideTheGateLength) {
  TestGate gate;
  gate.params[kGate] = 50;
  Prepare(gate);
  gate.StepPattern[0] = 4;
  gate.StepPattern[1] = 4;
  gate.RealignStepClock(0);
  EXPECT_EQ(gate.gateLength, 5513u);  // first step after realignment: no "Gate"
  std::vector<double> in(5514, 1.0);
  gate.Block(in, in);
  EXPECT_EQ(gate.currentStep, 1);
  EXPECT_EQ(gate.gateLength, 5513u);  // tied: the whole step
  gate.Set(kTieLock, 0);
  gate.RealignStepClock(5512);
  std::vector<double> one(2, 1.0);
  gate.Block(one, one);
  EXPECT_EQ(gate.gateLength, 2757u);  // 22052 x 0.5 x 0.25 = 2756.5
  gate.Set(kGate, 0);
  gate.RealignStepClock(5512);
  gate.Block(one, one);
  EXPECT_EQ(gate.gateLength, 0u);
  EXPECT_EQ(gate.envelopeState, Release);
}

TEST(GateAudio, CycleOneAlwaysReturnsToStepOne) {
  TestGate gate;
  gate.params[kCycle] = 1;
  Prepare(gate);
  for (int i = 0; i < 5; ++i) {
    std::vector<double> block(5513, 1.0);
    gate.Block(block, block);
    gate.clock += 10;
    EXPECT_EQ(gate.currentStep, 0);
  }
}

TEST(GateAudio, SilentStepsSettleAtTheDrySignal) {
  TestGate gate;
  Prepare(gate);
  for (int i = 0; i < 32; ++i) gate.StepPattern[i] = 0;
  std::vector<double> left(3 * 5513, 0.5), right(3 * 5513, -1.0);
  gate.Block(left, right);
  EXPECT_FLOAT_EQ(gate.outLeft.back(), 0.2f * 0.5f);
  EXPECT_FLOAT_EQ(gate.outRight.back(), -0.2f);
}

TEST(GateAudio, MixZeroPassesTheInputForEveryTarget) {
  for (int target = 0; target < 4; ++target) {
    TestGate gate;
    gate.params[kMix] = 0;
    gate.params[kTarget] = target;
    Prepare(gate);
    std::vector<double> left(20000), right(20000);
    for (size_t i = 0; i < left.size(); ++i) {
      left[i] = std::sin(i * 0.01);
      right[i] = std::cos(i * 0.003);
    }
    gate.Block(left, right);
    for (size_t i = 0; i < left.size(); ++i) {
      ASSERT_EQ(gate.outLeft[i], left[i]) << "target " << target << " sample " << i;
      ASSERT_EQ(gate.outRight[i], right[i]) << "target " << target << " sample " << i;
    }
  }
}

TEST(GateAudio, VolumeTargetLeavesCrossoverStatesForTheBandTargets) {
  TestGate gate;
  gate.params[kTarget] = 1;
  Prepare(gate);
  std::vector<double> in(100, 1.0);
  gate.Block(in, in);
  const double low = gate.lowpassLeft;
  EXPECT_GT(low, 0);
  gate.Set(kTarget, 0);
  gate.Block(in, in);
  EXPECT_EQ(gate.lowpassLeft, low);
  gate.Set(kTarget, 1);
  std::vector<double> one(1, 1.0);
  gate.Block(one, one);
  EXPECT_DOUBLE_EQ(gate.lowpassLeft, (low - 1.0) * gate.lowpassCoefficient + 1.0);
}

TEST(GateAudio, CrossoverStatesBelowTheDenormalFloorAreFlushed) {
  TestGate gate;
  gate.params[kTarget] = 2;
  Prepare(gate);
  gate.lowpassLeft = 1e-30;
  gate.lowpassRight = -1e-25;
  std::vector<double> zero(1, 0.0);
  gate.Block(zero, zero);
  EXPECT_EQ(gate.lowpassLeft, 0.0);
  EXPECT_EQ(gate.lowpassRight, 0.0);
}

TEST(GateAudio, PauseRealignsToTheHostPosition) {
  TestGate gate;
  Prepare(gate);
  std::vector<double> block(512, 1.0);
  gate.Block(block, block);
  gate.position = 3 * 5513 + 10;
  gate.clock += 400;  // not yet a pause
  gate.Block(block, block);
  EXPECT_EQ(gate.currentStep, 0);
  gate.clock += 501;
  std::vector<double> none;
  gate.Block(none, none);
  EXPECT_EQ(gate.currentStep, 3);
  EXPECT_EQ(gate.stepSampleCounter, 10u);
  EXPECT_EQ(gate.envelope, 0);
}

TEST(GateAudio, TransportStartRealigns) {
  TestGate gate;
  gate.playing = false;
  Prepare(gate);
  std::vector<double> none;
  const int queries = gate.positionQueries;
  gate.Block(none, none);
  EXPECT_EQ(gate.positionQueries, queries);
  gate.playing = true;
  gate.position = 5513 * 2;
  gate.Block(none, none);
  EXPECT_EQ(gate.positionQueries, queries + 1);
  EXPECT_EQ(gate.currentStep, 2);
}

TEST(GateAudio, RealignmentIsExactForLargePositions) {
  TestGate gate;
  Prepare(gate);
  // Single-precision division would put this on step 4000.
  gate.RealignStepClock(5513LL * 4000 - 1);
  EXPECT_EQ(gate.stepSampleCounter, 5512u);
  EXPECT_EQ(gate.currentStep, 3999 % 16);
  // Beyond 2^31 samples (13.5 hours at 44.1 kHz).
  gate.RealignStepClock(5513LL * (16 * 1000000 + 5) + 17);
  EXPECT_EQ(gate.currentStep, 5);
  EXPECT_EQ(gate.stepSampleCounter, 17u);
}

TEST(GateAudio, NoTempoYetPassesTheHeldGateAndRealignsLater) {
  TestGate gate;
  gate.tempo = 0;
  gate.Open();
  std::vector<double> left(64, 0.5), right(64, 0.25);
  gate.Block(left, right);  // must not divide by the unknown step length
  EXPECT_TRUE(gate.resyncPending);
  EXPECT_NEAR(gate.outLeft[10], 0.1, 1e-7);  // envelope 0: dry only
  gate.tempo = 120;
  gate.position = 5513 + 3;
  gate.Block(left, right);
  EXPECT_FALSE(gate.resyncPending);
  EXPECT_EQ(gate.currentStep, 1);
  EXPECT_EQ(gate.stepSampleCounter, 3u + 64u);
}

TEST(GateAudio, FadeZeroTakesTheNewLevelAtOnce) {
  // "1/128" at 300 BPM and 8000 Hz: 50 samples per step, so "Fade" 0 rounds
  // to a glide of 0 samples.
  TestGate gate;
  gate.params[kRate] = 0;
  gate.params[kFade] = 0;
  gate.sampleRate = 8000;
  gate.tempo = 300;
  gate.Open();
  std::vector<double> none;
  gate.Block(none, none);
  ASSERT_EQ(gate.samplesPerStep, 50u);
  ASSERT_EQ(gate.fadeLength, 0);
  gate.StepPattern[0] = 4;
  gate.StepPattern[32] = 4;
  gate.StepPattern[1] = 4;
  gate.StepPattern[33] = 1;
  gate.RealignStepClock(0);
  std::vector<double> in(51, 1.0);
  gate.Block(in, in);
  EXPECT_GT(gate.envelope, 0);
  EXPECT_EQ(gate.stepLevel, 0.25);
}

TEST(GateAudio, LevelGlidesWhileSoundingAndJumpsFromSilence) {
  TestGate gate;
  Prepare(gate);
  gate.StepPattern[0] = 4;
  gate.StepPattern[32] = 4;
  gate.StepPattern[1] = 0;
  gate.StepPattern[33] = 2;
  gate.StepPattern[2] = 2;
  gate.StepPattern[34] = 1;
  gate.RealignStepClock(0);
  std::vector<double> in(5514, 1.0);
  gate.Block(in, in);  // step 2 starts while step 1 is at full level
  EXPECT_EQ(gate.levelGlideRemaining, 323 - 1);
  EXPECT_NEAR(gate.stepLevel, 1.0 - 0.5 / 323, 1e-12);
  std::vector<double> rest(5513, 1.0);
  gate.Block(rest, rest);  // step 3 starts after step 2 has released to 0
  EXPECT_EQ(gate.currentStep, 2);
  EXPECT_EQ(gate.levelGlideRemaining, 0);
  EXPECT_EQ(gate.stepLevel, 0.25);
}

TEST(GateAudio, LongestStepsKeepTheirWholeGate) {
  // A host tempo slow enough to push the step length to its limit of
  // 2^31 - 1 samples: four quarters of that are 2^33 - 4, which a 32-bit
  // product would wrap. As a float that is 2^33, and a quarter of it 2^31.
  TestGate gate;
  gate.tempo = 1e-300;
  gate.params[kPatternWord0] = 9765624;  // times 4444444444
  gate.Open();
  std::vector<double> none;
  gate.Block(none, none);
  ASSERT_EQ(gate.samplesPerStep, 2147483647u);
  EXPECT_EQ(gate.gateLength, 2147483648u);  // after the realignment

  for (int tie = 0; tie <= 1; ++tie) {
    gate.Set(kTieLock, tie);
    gate.stepSampleCounter = gate.samplesPerStep;
    std::vector<double> one(1, 0.0);
    gate.Block(one, one);  // a regular step start
    EXPECT_EQ(gate.gateLength, 2147483648u) << "tie lock " << tie;
  }
}

}  // namespace
