#include "engine/note_lengths.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/test_gate.h"

namespace {

TEST(NoteLengths, RateTableInWholeNotes) {
  const int num[kRateValueCount] = {1, 1, 3, 1, 1, 3, 1, 1, 3, 1, 1, 3, 1, 1,
                                    3, 1, 1, 3, 1, 2, 3, 1, 4, 3, 2, 8, 3, 4};
  const int den[kRateValueCount] = {128, 96, 256, 64, 48, 128, 32, 24, 64, 16, 12, 32, 8, 6,
                                    16,  4,  3,   8,  2,  3,   4,  1,  3,  2,  1,  3,  1, 1};
  float previous = 0;
  for (int r = 0; r < kRateValueCount; ++r) {
    const float exact = static_cast<float>(static_cast<double>(num[r]) / den[r]);
    const float length = NoteLengthForRate(static_cast<int16_t>(r), 1.0f / 128.0f);
    EXPECT_LE(std::fabs(length - exact), std::nextafter(exact, 10.0f) - exact) << "rate " << r;
    EXPECT_GT(length, previous) << "rate " << r;
    previous = length;
  }
}

TEST(NoteLengths, WorkedExampleAt120BpmAnd44100Hz) {
  EXPECT_EQ(SamplesPerStepFor(9, 88200), 5513u);  // 5512.5 rounds up
  EXPECT_EQ(FadeLengthFor(5513, 5), 323);
  // Shortest envelope: 1/110 of a step; "Attack" 200: two steps.
  EXPECT_NEAR(1.0 / EnvelopeSlopeFor(5513, 0), 5513.0 / 110, 1e-3);
  EXPECT_NEAR(1.0 / EnvelopeSlopeFor(5513, 200), 2 * 5513.0, 1e-2);
  EXPECT_EQ(FadeLengthFor(5513, 100), 5513);

  TestGate gate;
  gate.Open();
  EXPECT_EQ(gate.samplesPerStep, 0u);  // no tempo before the first block
  std::vector<double> left(1, 0), right(1, 0);
  gate.Block(left, right);
  EXPECT_EQ(gate.samplesPerWholeNote, 88200);
  EXPECT_EQ(gate.samplesPerStep, 5513u);
  EXPECT_EQ(gate.fadeLength, 323);
  EXPECT_NEAR(gate.lowpassCoefficient, std::exp(-2 * M_PI * 1000 / 44100), 1e-15);
  // A regular step start of time 2 at "Gate" 100: half the step.
  gate.stepSampleCounter = gate.samplesPerStep;
  std::vector<double> one(1, 0);
  gate.Block(one, one);
  EXPECT_EQ(gate.gateLength, 2757u);
}

TEST(NoteLengths, TempoChangeReappliesRateAndRealigns) {
  TestGate gate;
  gate.Open();
  std::vector<double> left(8, 0), right(8, 0);
  gate.Block(left, right);
  gate.clock += 10;
  gate.tempo = 60;
  gate.position = 3 * 11025 + 5;
  gate.Block(left, right);
  EXPECT_EQ(gate.samplesPerStep, 11025u);
  EXPECT_EQ(gate.currentStep, 3);
  EXPECT_EQ(gate.stepSampleCounter, 5u + 8u);
  // No tempo: "Rate" keeps the last step length.
  gate.clock += 10;
  gate.tempo = 0;
  gate.Block(left, right);
  EXPECT_EQ(gate.samplesPerWholeNote, 0);
  EXPECT_EQ(gate.samplesPerStep, 11025u);
}

TEST(NoteLengths, SampleRateChangeRecomputesCrossoverOnReset) {
  TestGate gate;
  gate.Open();
  EXPECT_EQ(gate.lowpassCoefficient, 0);  // no sample rate before the first block
  gate.ResetEngine();
  EXPECT_EQ(gate.sampleRateSeen, 0);  // reset before the first block does nothing
  std::vector<double> left(4, 0), right(4, 0);
  gate.Block(left, right);
  gate.sampleRate = 48000;
  gate.ResetEngine();
  EXPECT_EQ(gate.sampleRateSeen, 48000);
  EXPECT_DOUBLE_EQ(gate.lowpassCoefficient, std::exp(-6.283185307179586 * 1000 / 48000));
  EXPECT_TRUE(gate.resyncPending);
}

TEST(NoteLengths, ProcessingStartsOnceEveryParameterApplied) {
  TestGate gate;
  for (int i = 0; i < kGateParamCount - 1; ++i) gate.ApplyParamChange(i);
  EXPECT_FALSE(gate.processingEnabled);
  gate.ApplyParamChange(5);  // again: counts once
  EXPECT_FALSE(gate.processingEnabled);
  std::vector<double> left(4, 0.5), right(4, 0.5);
  gate.Block(left, right);
  EXPECT_EQ(gate.outLeft[0], -99);  // nothing written
  gate.ApplyParamChange(kVolumesNudge);
  EXPECT_TRUE(gate.processingEnabled);
  gate.ApplyParamChange(42);  // ignored
}

TEST(NoteLengths, AbsurdlySlowTempoStopsAtTheLongestStep) {
  EXPECT_EQ(SamplesPerStepFor(9, 16.0 * 2000000000), 2000000000u);  // 1/16 is exact
  EXPECT_EQ(SamplesPerStepFor(9, 1e307), 2147483647u);
  EXPECT_EQ(SamplesPerStepFor(27, HUGE_VAL), 2147483647u);
  EXPECT_EQ(FadeLengthFor(2147483647u, 100), 2147483647);  // a whole step, in range
}

}  // namespace
