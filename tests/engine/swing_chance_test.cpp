// Swing and chance in the sample loop, read from the output with a constant
// input and the sharpest envelope: a step's attack starts at its first
// sample, a closed step is silent, an open one holds 1 to its gate's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/test_gate.h"

namespace {

// Gates with these times (repeated), the sharpest envelope, Mix 100.
void OpenSharp(TestGate& gate, int cycle, const char* times) {
  gate.params[kMix] = 100;
  gate.params[kAttack] = 0;
  gate.params[kRelease] = 0;
  gate.params[kTieLock] = 0;
  gate.params[kCycle] = cycle;
  gate.Open();
  const size_t period = std::char_traits<char>::length(times);
  for (size_t i = 0; i < kStepCountMax; ++i)
    gate.StepPattern[i] = static_cast<uint16_t>(times[i % period] - '0');
}

// Runs `total` samples in blocks of `block` and returns the left output.
std::vector<double> Render(TestGate& gate, int64_t total, int block) {
  std::vector<double> out;
  for (int64_t done = 0; done < total; done += block) {
    const int n = static_cast<int>(std::min<int64_t>(total - done, block));
    std::vector<double> left(n, 1.0), right(n, 1.0);
    gate.Block(left, right);
    out.insert(out.end(), gate.outLeft.begin(), gate.outLeft.end());
  }
  return out;
}

// Step k from the origin starts k / 2 pairs in, plus the first step for an odd k.
int64_t StepStart(int64_t k, uint32_t pair, uint32_t first) {
  return k / 2 * pair + (k % 2 ? first : 0);
}

TEST(Swing, StepEdgesLandOnTheSwungGridAtEveryBlockSize) {
  const struct {
    double tempo, sampleRate;
    int swing;
    uint32_t pair, first;  // by hand: 2 x round(rate x 15 / tempo), round(pair x swing / 100)
    int64_t start;         // host position of the first sample
    int cycle;
    const char* times;  // pattern times, repeated over the cycle
  } rows[] = {
      {120, 44100, 62, 11026, 6836, 0, 32, "40"},
      {120, 44100, 62, 11026, 6836, 0, 32, "02"},
      {97, 48000, 75, 14846, 11135, 3 * 14846 + 11135 + 17, 32, "04"},  // 11134.5 rounds up
      {140, 96000, 55, 20572, 11315, 5, 3, "400"},  // pairs run on with the track, not the cycle
  };
  for (const auto& row : rows) {
    for (int block : {1, 64, 1000}) {
      TestGate gate;
      gate.tempo = row.tempo;
      gate.sampleRate = row.sampleRate;
      gate.position = row.start;
      gate.params[kSwing] = row.swing;
      OpenSharp(gate, row.cycle, row.times);
      const int64_t period = static_cast<int64_t>(std::char_traits<char>::length(row.times));
      const int64_t total = 5 * static_cast<int64_t>(row.pair);
      const std::vector<double> out = Render(gate, total, block);
      // Rises from 0 at open steps' first samples; releases from 1 where each
      // gate, its own step's length times its time, ends.
      std::vector<int64_t> expected, found;
      for (int64_t k = 0; StepStart(k, row.pair, row.first) < row.start + total; ++k) {
        const int64_t at = StepStart(k, row.pair, row.first) - row.start;
        const int time = row.times[(k % row.cycle) % period] - '0';
        const int64_t held = (k % 2 ? row.pair - row.first : row.first) * time / 4;
        if (time > 0 && at > 0) expected.push_back(at);
        if (time > 0 && at + held > 0 && at + held < total) expected.push_back(at + held);
      }
      for (int64_t i = 1; i < total; ++i) {
        if ((out[i] > 0 && out[i - 1] == 0) || (out[i] < 1 && out[i - 1] == 1)) found.push_back(i);
      }
      EXPECT_EQ(found, expected) << row.tempo << " BPM, swing " << row.swing << ", block " << block;
    }
  }
}

// Swing automated while playing takes over where the next pair begins: the
// pairs stay on the host's grid and a held gate never dips.
TEST(Swing, AChangeWhilePlayingTakesOverAtTheNextPairWithoutADip) {
  for (const int changeAt : {3 * 11026 + 100, 3 * 11026 + 6000, 4 * 11026 + 5}) {
    TestGate gate;
    gate.params[kMix] = 100;
    gate.params[kAttack] = 50;
    gate.params[kTieLock] = 1;  // every step full and locked: the envelope holds at 1
    gate.Open();
    for (int i = 0; i < kStepCountMax; ++i) gate.StepPattern[i] = 4;
    std::vector<int64_t> starts, expected;
    double lowest = 1.0;
    for (int64_t i = 0; i < 12 * 11026; ++i) {
      if (i == changeAt) gate.Set(kSwing, 62);
      const uint16_t step = gate.currentStep;
      std::vector<double> left(1, 1.0), right(1, 1.0);
      gate.Block(left, right);
      if (i > 0 && gate.currentStep != step) starts.push_back(i);
      if (i >= 2 * 11026) lowest = std::min(lowest, gate.outLeft[0]);
    }
    const int64_t swungFrom = (changeAt / 11026 + 1) * 11026;
    for (int64_t at = 5513; at < 12 * 11026; at += 5513) {
      if (at < swungFrom || at % 11026 == 0) expected.push_back(at);
      if (at >= swungFrom && at % 11026 == 0) expected.push_back(at + 6836);
    }
    EXPECT_EQ(lowest, 1.0) << "change at " << changeAt;
    EXPECT_EQ(starts, expected) << "change at " << changeAt;
  }
}

// Every step at one chance level (0-3 = 100/75/50/25 %): the open share stays
// within a binomial bound, and a render in other blocks is the same.
TEST(Chance, OpenShareIsBinomialAndTheSameInAnyBlocks) {
  const struct {
    int level, chance, swing;
    double share;
  } rows[] = {{0, 50, 50, 0.5},   {1, 100, 62, 0.75}, {2, 100, 50, 0.5},
              {3, 50, 62, 0.125}, {0, 0, 50, 0.0},    {2, 0, 62, 0.0}};
  constexpr int kSteps = 2000;
  for (const auto& row : rows) {
    const uint32_t first = row.swing == 50 ? 5513 : 6836;
    std::vector<double> outs[2];
    for (int pass = 0; pass < 2; ++pass) {
      TestGate gate;
      gate.params[kChance] = row.chance;
      gate.params[kSwing] = row.swing;
      gate.position = 777;
      OpenSharp(gate, 5, "4");
      // The three words as base-4 repdigits: 11, 11 and 10 digits.
      for (int g = 0; g < 3; ++g)
        gate.Set(kChanceWord0 + g, row.level * ((1 << (g < 2 ? 22 : 20)) - 1) / 3);
      outs[pass] = Render(gate, pass ? 200 * 5513 : int64_t{kSteps} * 5513 + 777, pass ? 7 : 4096);
    }
    EXPECT_TRUE(std::equal(outs[1].begin(), outs[1].end(), outs[0].begin()))
        << "level " << row.level << " chance " << row.chance << " swing " << row.swing;
    int open = 0;
    for (int k = 0; k < kSteps; ++k)
      open += outs[0][StepStart(k + 1, 11026, first) - 1 - 777] > 0.5;
    const double bound = 4.5 * std::sqrt(kSteps * row.share * (1 - row.share));
    EXPECT_LE(std::fabs(open - kSteps * row.share), bound)
        << "level " << row.level << " chance " << row.chance << ": " << open << " open";
  }
}

}  // namespace
