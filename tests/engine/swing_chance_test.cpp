// Swing and chance in the sample loop. Swung step edges are found in the
// output (a closed step silences the gate, an open one starts its attack
// at its first sample) and compared with edges computed by hand from the
// pair length and the rounded first step; chances are counted over many
// bars against a binomial bound, and chance renders must not depend on the
// block size.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/test_gate.h"

namespace {

// Mix 100, Volume, sharpest attack and release, full gates: the output is
// 0 exactly when the envelope is, and rises at an open step's first sample.
void OpenSharp(TestGate& gate, int cycle) {
  gate.params[kMix] = 100;
  gate.params[kAttack] = 0;
  gate.params[kRelease] = 0;
  gate.params[kTieLock] = 0;
  gate.params[kCycle] = cycle;
  gate.Open();
}

// Runs `total` samples in blocks of `block` and returns the left output.
std::vector<double> Render(TestGate& gate, int64_t total, int block) {
  std::vector<double> out;
  out.reserve(static_cast<size_t>(total));
  for (int64_t done = 0; done < total; done += block) {
    const int n = static_cast<int>(total - done < block ? total - done : block);
    std::vector<double> left(n, 1.0), right(n, 1.0);
    gate.Block(left, right);
    out.insert(out.end(), gate.outLeft.begin(), gate.outLeft.end());
  }
  return out;
}

struct SwingRow {
  double tempo, sampleRate;
  int swing;
  uint32_t pair, first;  // by hand: 2 x round(sampleRate x 15 / tempo), round(pair x swing / 100)
  int64_t start;         // host position of the first sample
  int cycle;
  const char* times;  // pattern times, repeated over the cycle
};

// The samples at which step k (from the origin) starts: k / 2 pairs, plus
// the first step's length for the second of a pair.
int64_t StepStart(const SwingRow& row, int64_t k) {
  return k / 2 * row.pair + (k % 2 ? row.first : 0);
}

TEST(Swing, StepEdgesLandOnTheSwungGridAtEveryBlockSize) {
  const SwingRow rows[] = {
      {120, 44100, 62, 11026, 6836, 0, 32, "40"},
      {120, 44100, 62, 11026, 6836, 0, 32, "04"},
      // 14846 x 0.75 = 11134.5 rounds away from zero.
      {97, 48000, 75, 14846, 11135, 3 * 14846 + 11135 + 17, 32, "04"},
      // An odd cycle: the pairs run on with the track, not with the pattern.
      {140, 96000, 55, 20572, 11315, 5, 3, "400"},
      {133, 44100, 67, 9948, 6665, 0, 3, "400"},
      {120, 44100, 50, 11026, 5513, 0, 32, "40"},
  };
  for (const SwingRow& row : rows) {
    for (int block : {1, 64, 1000}) {
      TestGate gate;
      gate.tempo = row.tempo;
      gate.sampleRate = row.sampleRate;
      gate.position = row.start;
      gate.params[kSwing] = row.swing;
      OpenSharp(gate, row.cycle);
      const int period = static_cast<int>(std::char_traits<char>::length(row.times));
      for (int i = 0; i < kStepCountMax; ++i) {
        gate.StepPattern[i] = static_cast<uint16_t>(row.times[i % period] - '0');
      }
      const int64_t total = 5 * static_cast<int64_t>(row.pair);
      const std::vector<double> out = Render(gate, total, block);

      std::vector<int64_t> expected, found;
      for (int64_t k = 0; StepStart(row, k) < row.start + total; ++k) {
        const int64_t at = StepStart(row, k) - row.start;
        if (at > 0 && row.times[(k % row.cycle) % period] == '4') expected.push_back(at);
      }
      for (int64_t i = 1; i < total; ++i) {
        if (out[i] > 0 && out[i - 1] == 0) found.push_back(i);
      }
      EXPECT_EQ(found, expected) << "tempo " << row.tempo << " rate " << row.sampleRate << " swing "
                                 << row.swing << " block " << block;
    }
  }
}

// The gate of a swung step is its own length times its time: a full gate
// lasts exactly the step, so it releases at the step's last sample.
TEST(Swing, GateLengthFollowsEachStepsOwnLength) {
  TestGate gate;
  gate.params[kSwing] = 62;
  OpenSharp(gate, 32);
  for (int i = 0; i < kStepCountMax; ++i) gate.StepPattern[i] = i % 4 == 1 ? 2 : 4;
  std::vector<uint32_t> gates;
  uint16_t step = 0xFFFF;
  for (int i = 0; i < 4 * 11026; ++i) {
    std::vector<double> left(1, 1.0), right(1, 1.0);
    gate.Block(left, right);
    if (gate.currentStep != step) gates.push_back(gate.gateLength);
    step = gate.currentStep;
  }
  // Steps 0-7: 6836, 4190 x 2/4 = 2095, 6836, 4190, then again.
  const std::vector<uint32_t> expected = {6836, 2095, 6836, 4190, 6836, 2095, 6836, 4190};
  EXPECT_EQ(gates, expected);
}

struct ChanceRow {
  int level;  // every step's chance level, 0-3 = 100/75/50/25 %
  int chance;
  double share;  // expected share of open steps
};

// Every step at one chance level: the three words as base-4 repdigits.
void SetAllLevels(TestGate& gate, int level) {
  gate.Set(kChanceWord0, level * ((1 << 22) - 1) / 3);  // 11 digits
  gate.Set(kChanceWord1, level * ((1 << 22) - 1) / 3);
  gate.Set(kChanceWord2, level * ((1 << 20) - 1) / 3);  // 10 digits
}

TEST(Chance, ShareOfOpenStepsIsWithinABinomialBound) {
  const ChanceRow rows[] = {{0, 50, 0.5},  {1, 100, 0.75}, {2, 100, 0.5}, {3, 50, 0.125},
                            {0, 100, 1.0}, {0, 0, 0.0},    {2, 0, 0.0}};
  constexpr int kSteps = 2000;
  constexpr uint32_t kStep = 5513;  // 120 BPM, 44100 Hz, "1/16"
  for (const ChanceRow& row : rows) {
    TestGate gate;
    gate.params[kChance] = row.chance;
    OpenSharp(gate, 16);
    for (int i = 0; i < kStepCountMax; ++i) gate.StepPattern[i] = 4;
    SetAllLevels(gate, row.level);
    const std::vector<double> out = Render(gate, int64_t{kSteps} * kStep, 4096);
    // An open step holds the envelope at 1 to its end; a closed one has
    // released to 0 long before.
    int open = 0;
    for (int k = 0; k < kSteps; ++k) open += out[(k + 1) * int64_t{kStep} - 1] > 0.5 ? 1 : 0;
    const double mean = kSteps * row.share;
    const double bound = 4.5 * std::sqrt(kSteps * row.share * (1 - row.share));
    EXPECT_LE(std::fabs(open - mean), bound)
        << "level " << row.level << " chance " << row.chance << ": " << open << " open";
  }
}

// The same host positions give the same gates whatever the blocks, swung or not.
TEST(Chance, RendersDoNotDependOnTheBlockSize) {
  for (int swing : {50, 62}) {
    std::vector<double> first;
    for (int block : {4096, 7, 64, 1000}) {
      TestGate gate;
      gate.params[kChance] = 50;
      gate.params[kSwing] = swing;
      gate.position = 777;
      OpenSharp(gate, 5);
      for (int i = 0; i < kStepCountMax; ++i) gate.StepPattern[i] = 4;
      const std::vector<double> out = Render(gate, 200 * 5513, block);
      if (first.empty()) {
        first = out;
        continue;
      }
      EXPECT_TRUE(out == first) << "swing " << swing << " block " << block;
    }
    // Not every step opened, and not every step stayed shut.
    int opens = 0;
    for (int k = 0; k < 200; ++k) opens += first[(k + 1) * 5513 - 1 - 777] > 0.5 ? 1 : 0;
    EXPECT_GT(opens, 50) << swing;
    EXPECT_LT(opens, 150) << swing;
  }
}

}  // namespace
