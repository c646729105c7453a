// Cost per stereo frame of the gate at 44.1 kHz in 512-frame blocks, per
// "Target", through the engine's block routine.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/test_gate.h"

namespace {

constexpr int kFrames = 512;

void GateBlock(benchmark::State& state) {
  TestGate gate;
  gate.params[kTarget] = static_cast<double>(state.range(0));
  gate.Open();
  std::vector<double> left(kFrames), right(kFrames), outLeft(kFrames), outRight(kFrames);
  for (int i = 0; i < kFrames; ++i) {
    left[i] = std::sin(i * 0.05);
    right[i] = std::cos(i * 0.07);
  }
  double* in[2] = {left.data(), right.data()};
  double* out[2] = {outLeft.data(), outRight.data()};
  for (auto _ : state) {
    gate.clock += 11;
    gate.ProcessGateBlock(in, out, kFrames);
    benchmark::DoNotOptimize(outLeft.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.SetLabel("items = stereo frames");
}
BENCHMARK(GateBlock)->ArgName("target")->DenseRange(0, 3);

}  // namespace
