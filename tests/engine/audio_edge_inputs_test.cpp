// What signals and hosts can throw at the audio path: NaN, infinite and
// denormal samples, full-scale squares, empty, single-frame and oversized
// blocks, sample rates from 8 kHz to 384 kHz, tempos from 1 to 999 BPM,
// positions past 2^31 and a host without time info. Each case is checked
// against the same effect given the plain case: a clean signal, one block
// size, a position inside the first cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/gate_params.h"
#include "support/live_gate.h"

using namespace vst2;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

float TargetValue(int target) { return static_cast<float>(target) / 3.0f; }

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Index of the first sample where the renders differ bit for bit, or -1.
int FirstDifference(const StereoSignal& a, const StereoSignal& b) {
  for (size_t i = 0; i < a.left.size(); ++i) {
    if (!SameBits(a.left[i], b.left[i]) || !SameBits(a.right[i], b.right[i])) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool AllFinite(const StereoSignal& s) {
  for (size_t i = 0; i < s.left.size(); ++i) {
    if (!std::isfinite(s.left[i]) || !std::isfinite(s.right[i])) return false;
  }
  return true;
}

float Peak(const StereoSignal& s) {
  float peak = 0;
  for (size_t i = 0; i < s.left.size(); ++i) {
    peak = std::max(peak, std::max(std::fabs(s.left[i]), std::fabs(s.right[i])));
  }
  return peak;
}

}  // namespace

TEST(AudioEdgeInputs, NonFiniteSamplesAreTakenAsSilenceAndLeaveNoTrace) {
  const StereoSignal clean = SineSignal(30000);
  StereoSignal garbage = clean, silenced = clean;
  const struct {
    int at;
    float left, right;
  } spikes[] = {{3, kNaN, 0.25f},   {700, kInf, -kInf}, {701, -kInf, kNaN},
                {9000, 0.1f, kInf}, {9001, kNaN, kNaN}, {22049, kNaN, -kNaN}};
  for (const auto& spike : spikes) {
    garbage.left[static_cast<size_t>(spike.at)] = spike.left;
    garbage.right[static_cast<size_t>(spike.at)] = spike.right;
    silenced.left[static_cast<size_t>(spike.at)] = std::isfinite(spike.left) ? spike.left : 0.0f;
    silenced.right[static_cast<size_t>(spike.at)] = std::isfinite(spike.right) ? spike.right : 0.0f;
  }
  for (int target = 0; target < 4; ++target) {
    SCOPED_TRACE(target);
    LiveGate spoiled, reference;
    spoiled.Set(kTarget, TargetValue(target));
    reference.Set(kTarget, TargetValue(target));
    const StereoSignal out = spoiled.Run(garbage, 256);
    EXPECT_TRUE(AllFinite(out));
    // Sample for sample what silence in those places gives, before and after.
    EXPECT_EQ(FirstDifference(out, reference.Run(silenced, 256)), -1);
    EXPECT_TRUE(std::isfinite(spoiled.gate()->lowpassLeft));
    EXPECT_TRUE(std::isfinite(spoiled.gate()->lowpassRight));
    if (target == 0) {
      // The volume gate scales the sample itself: a bad sample comes out as 0.
      EXPECT_EQ(out.left[3], 0.0f);
      EXPECT_EQ(out.left[9001], 0.0f);
      EXPECT_EQ(out.right[9001], 0.0f);
    }
  }
}

TEST(AudioEdgeInputs, DenormalsAndDecaysLeaveTheCrossoverAtExactlyZero) {
  for (int target = 1; target < 4; ++target) {
    SCOPED_TRACE(target);
    LiveGate live;
    live.Set(kTarget, TargetValue(target));
    live.Set(kMix, 1.0f);
    StereoSignal tiny{std::vector<float>(4096), std::vector<float>(4096)};
    for (size_t i = 0; i < tiny.left.size(); ++i) {
      tiny.left[i] =
          (i % 2 ? 1 : -1) * std::numeric_limits<float>::denorm_min() * static_cast<float>(i % 7);
      tiny.right[i] = 1e-39f;
    }
    EXPECT_TRUE(AllFinite(live.Run(tiny, 512)));
    // A full-scale burst, then silence: the stored state decays to exactly 0
    // instead of lingering among the denormals, so silence comes out exact.
    StereoSignal burst{std::vector<float>(20000, 0.0f), std::vector<float>(20000, 0.0f)};
    std::fill(burst.left.begin(), burst.left.begin() + 300, 1.0f);
    std::fill(burst.right.begin(), burst.right.begin() + 300, -1.0f);
    const StereoSignal out = live.Run(burst, 512);
    EXPECT_EQ(live.gate()->lowpassLeft, 0.0);
    EXPECT_EQ(live.gate()->lowpassRight, 0.0);
    EXPECT_EQ(out.left.back(), 0.0f);
    EXPECT_EQ(out.right.back(), 0.0f);
  }
  // The double callback takes denormal doubles as they are.
  LiveGate live;
  live.Set(kTarget, TargetValue(3));
  std::vector<double> inLeft(512, 4e-320), inRight(512, -4e-320), outLeft(512), outRight(512);
  double* in[2] = {inLeft.data(), inRight.data()};
  double* out[2] = {outLeft.data(), outRight.data()};
  live.effect()->processDoubleReplacing(live.effect(), in, out, 512);
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::fabs(outLeft[i]) <= 1e-300) << i;
  // The denormal state is dropped at the next sample: silence is exact at once.
  std::fill(inLeft.begin(), inLeft.end(), 0.0);
  std::fill(inRight.begin(), inRight.end(), 0.0);
  live.effect()->processDoubleReplacing(live.effect(), in, out, 512);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(outLeft[i], 0.0) << i;
  EXPECT_EQ(live.gate()->lowpassLeft, 0.0);
}

TEST(AudioEdgeInputs, FullScaleSquaresStayWithinWhatTheGateCanProduce) {
  // The crossover's low band is an average of past input, never above its
  // peak; the high band is input minus low band, at most twice the peak. So
  // the band targets stay within 2, the volume gate within each input sample.
  for (const int period : {2, 3, 882}) {
    StereoSignal square{std::vector<float>(20000), std::vector<float>(20000)};
    for (size_t i = 0; i < square.left.size(); ++i) {
      square.left[i] = (static_cast<int>(i) / (period / 2)) % 2 ? 1.0f : -1.0f;
      square.right[i] = -square.left[i];
    }
    for (int target = 0; target < 4; ++target) {
      for (const float split : {0.0f, 0.3f, 1.0f}) {
        SCOPED_TRACE(testing::Message()
                     << "period " << period << " target " << target << " split " << split);
        LiveGate live;
        live.Set(kTarget, TargetValue(target));
        live.Set(kSplitFreq, split);
        const StereoSignal out = live.Run(square, 512);
        ASSERT_TRUE(AllFinite(out));
        EXPECT_LE(Peak(out), target == 0 ? 1.0f : 2.0f);
        EXPECT_GT(Peak(out), 0.1f);  // the gate opened
      }
    }
  }
}

TEST(AudioEdgeInputs, BlockSizesDoNotChangeASingleSample) {
  const StereoSignal input = SineSignal(24000);
  for (int target = 0; target < 4; ++target) {
    SCOPED_TRACE(target);
    LiveGate reference, single, oversized;
    for (LiveGate* live : {&reference, &single, &oversized}) {
      live->SetProgram(3);
      live->Set(kTarget, TargetValue(target));
    }
    const StereoSignal expected = reference.Run(input, 512);
    // One frame at a time, an empty call before each.
    single.emptyCallsBetweenBlocks = true;
    EXPECT_EQ(FirstDifference(single.Run(input, 1), expected), -1);
    // Blocks far larger than the 512 announced are processed in slices.
    EXPECT_EQ(FirstDifference(oversized.Run(input, 5000), expected), -1);
  }
}

TEST(AudioEdgeInputs, StepsCountTrueFrom8kHzTo384kHzAnd1To999Bpm) {
  for (const double rate : {8000.0, 22050.0, 44100.0, 96000.0, 192000.0, 384000.0}) {
    for (const double tempo : {1.0, 7.5, 120.0, 333.0, 999.0}) {
      SCOPED_TRACE(testing::Message() << rate << " Hz, " << tempo << " BPM");
      LiveGate live(rate, tempo);
      // A sixteenth note, the default rate, at this rate and tempo.
      const double sixteenth = rate * 60.0 / tempo / 4.0;
      const auto expectedStep = static_cast<int64_t>(std::floor(sixteenth + 0.5));
      // Start a little before the sixth step (the fifth, counting from 0).
      const int lead = static_cast<int>(std::min<int64_t>(1000, expectedStep / 2));
      live.position = 5 * expectedStep - lead;
      const StereoSignal before = live.Run(SineSignal(lead), 250);
      ASSERT_EQ(live.gate()->samplesPerStep, static_cast<uint32_t>(expectedStep));
      EXPECT_EQ(live.gate()->currentStep, 4);
      live.Run(SineSignal(1), 1);
      EXPECT_EQ(live.gate()->currentStep, 5);
      EXPECT_TRUE(AllFinite(before));
      EXPECT_LE(Peak(before), 0.8f);
      EXPECT_TRUE(std::isfinite(live.gate()->attackIncrement) && live.gate()->attackIncrement > 0);
      EXPECT_TRUE(std::isfinite(live.gate()->releaseDecrement) &&
                  live.gate()->releaseDecrement > 0);
    }
  }
}

TEST(AudioEdgeInputs, PositionsPast2To31PlayAsTheSamePlaceInTheCycle) {
  // 120 BPM at 44.1 kHz: sixteenths of 5513 frames; 16 steps a cycle.
  constexpr int64_t kCycle = 5513 * 16;
  const StereoSignal input = SineSignal(12000);
  for (const int64_t position :
       {(int64_t{1} << 31) - 7, int64_t{1} << 31, (int64_t{1} << 31) + 2757, (int64_t{1} << 32) + 5,
        (int64_t{1} << 40) + 3, (int64_t{1} << 52) + 1}) {
    SCOPED_TRACE(position);
    LiveGate far, near;
    for (LiveGate* live : {&far, &near}) live->SetProgram(20);  // steps that differ
    far.position = position;
    near.position = position % kCycle;
    EXPECT_EQ(FirstDifference(far.Run(input, 512), near.Run(input, 512)), -1);
    EXPECT_EQ(far.gate()->currentStep, near.gate()->currentStep);
  }
  // Positions no transport can have read as the start.
  for (const double bogus : {-1.0e6, 1.0e300, static_cast<double>(kNaN)}) {
    LiveGate odd, start;
    odd.host.timeInfo.samplePos = bogus;
    StereoSignal oddOut{std::vector<float>(2048), std::vector<float>(2048)};
    const StereoSignal in = SineSignal(2048);
    float* inputs[2] = {const_cast<float*>(in.left.data()), const_cast<float*>(in.right.data())};
    float* outputs[2] = {oddOut.left.data(), oddOut.right.data()};
    odd.effect()->processReplacing(odd.effect(), inputs, outputs, 2048);
    EXPECT_EQ(FirstDifference(oddOut, start.Run(in, 2048)), -1) << bogus;
  }
}

TEST(AudioEdgeInputs, WithoutTimeInfoTheGateHoldsThenJoinsTheHostsPosition) {
  LiveGate silentHost;
  silentHost.host.giveTimeInfo = false;
  const StereoSignal input = SineSignal(8192);
  const StereoSignal held = silentHost.Run(input, 512);
  EXPECT_TRUE(AllFinite(held));
  // No tempo, no steps: the gate holds where it starts, closed; only the dry
  // share of the default "Mix" (80) passes.
  for (size_t i = 0; i < held.left.size(); ++i) {
    ASSERT_NEAR(held.left[i], 0.2 * input.left[i], 1e-6) << i;
    ASSERT_NEAR(held.right[i], 0.2 * input.right[i], 1e-6) << i;
  }
  // Once the host answers, the gate joins at the host's position exactly as
  // an effect that had time info from the start.
  silentHost.host.giveTimeInfo = true;
  LiveGate informed;
  informed.position = silentHost.position;
  EXPECT_EQ(FirstDifference(silentHost.Run(input, 512), informed.Run(input, 512)), -1);
}
