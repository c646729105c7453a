// Cost per stereo frame of the gate at 44.1 kHz in 512-frame blocks, per
// "Target": the engine's block routine alone (straight, and swung at 62 %
// with every step's chance at 50 %), the whole processReplacing
// callback of the effect, and beside them the framework's pass-through
// callback (an instance without a block routine of its own).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/gate_plug.h"
#include "engine/test_gate.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace {

constexpr int kFrames = 512;

vst2::VstTimeInfo benchTime = [] {
  vst2::VstTimeInfo time{};
  time.tempo = 120;
  time.sampleRate = 44100;
  time.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
  return time;
}();

intptr_t VST2_CALL BenchHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(&benchTime);
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

class PassThrough : public IPlugVST {
 public:
  explicit PassThrough(vst2::AudioMasterCallback audioMaster)
      : IPlugVST(audioMaster, 1, "1-1 2-2", 1, "pass", "", "bench", 0x10000, 1, 1, 0, 0, false,
                 false) {}
};

struct FloatBlock {
  std::vector<float> left = std::vector<float>(kFrames), right = std::vector<float>(kFrames);
  std::vector<float> outLeft = std::vector<float>(kFrames), outRight = std::vector<float>(kFrames);
  float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  FloatBlock() {
    for (int i = 0; i < kFrames; ++i) {
      left[i] = static_cast<float>(std::sin(i * 0.05));
      right[i] = static_cast<float>(std::cos(i * 0.07));
    }
  }
};

void Start(vst2::AEffect* effect) {
  effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, vst2::effSetBlockSize, 0, kFrames, nullptr, 0);
  effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0);
  effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0);
}

// The engine's block routine on an opened test gate, the clock moving on as a host's would.
void RunEngineBlocks(benchmark::State& state, TestGate& gate) {
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
}

void EngineBlock(benchmark::State& state) {
  TestGate gate;
  gate.params[kTarget] = static_cast<double>(state.range(0));
  RunEngineBlocks(state, gate);
}
BENCHMARK(EngineBlock)->ArgName("target")->DenseRange(0, 3);

void EngineBlockSwingAndChance(benchmark::State& state) {
  TestGate gate;
  gate.params[kTarget] = static_cast<double>(state.range(0));
  gate.params[kSwing] = 62;
  gate.params[kChance] = 50;
  RunEngineBlocks(state, gate);
}
BENCHMARK(EngineBlockSwingAndChance)->ArgName("target")->DenseRange(0, 3);

void EffectProcessReplacing(benchmark::State& state) {
  vst2::AEffect* effect = VSTPluginMain(BenchHost);
  Start(effect);
  auto* plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
  plug->GetParam(kTarget)->SetValueClamped(static_cast<double>(state.range(0)));
  plug->OnParamChanged(kTarget);
  FloatBlock block;
  for (auto _ : state) {
    effect->processReplacing(effect, block.in, block.out, kFrames);
    benchmark::DoNotOptimize(block.outLeft.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0);
}
BENCHMARK(EffectProcessReplacing)->ArgName("target")->DenseRange(0, 3);

void FrameworkPassThrough(benchmark::State& state) {
  auto* plug = new PassThrough(BenchHost);
  vst2::AEffect* effect = plug->Effect();
  Start(effect);
  FloatBlock block;
  for (auto _ : state) {
    effect->processReplacing(effect, block.in, block.out, kFrames);
    benchmark::DoNotOptimize(block.outLeft.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0);
}
BENCHMARK(FrameworkPassThrough);

}  // namespace
