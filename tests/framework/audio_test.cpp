// The three audio callbacks: conversion, accumulation, direct double
// processing, disconnected channels and blocks longer than announced, on
// the framework's own pass-through test effect.
#include <gtest/gtest.h>

#include <vector>

#include "support/fake_host.h"
#include "support/framework_test_plug.h"

using namespace vst2;

namespace {

std::vector<float> Ramp(int frames, float start) {
  std::vector<float> samples(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) samples[static_cast<size_t>(i)] = start + 0.001f * i;
  return samples;
}

// Records the largest block ProcessBlock was handed and counts its calls.
class BlockRecorder : public FrameworkTestPlug {
 public:
  BlockRecorder() : FrameworkTestPlug(nullptr) {}
  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    ++calls;
    if (frames > largestBlock) largestBlock = frames;
    FrameworkTestPlug::ProcessBlock(inputs, outputs, frames);
  }
  int calls = 0;
  int largestBlock = 0;
};

}  // namespace

TEST(Audio, ReplacingAndAccumulatingPassThrough) {
  FakeHost host(&CreateFrameworkTestPlug);
  AEffect* effect = host.effect();
  const int frames = 37;  // not a multiple of four
  std::vector<float> left = Ramp(frames, 0.1f), right = Ramp(frames, -0.5f);
  std::vector<float> outLeft(frames, 9.0f), outRight(frames, 9.0f);
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  effect->processReplacing(effect, inputs, outputs, frames);
  EXPECT_EQ(outLeft, left);
  EXPECT_EQ(outRight, right);

  effect->process(effect, inputs, outputs, frames);
  for (int i = 0; i < frames; ++i) {
    EXPECT_FLOAT_EQ(outLeft[i], 2.0f * left[i]) << i;
    EXPECT_FLOAT_EQ(outRight[i], 2.0f * right[i]) << i;
  }
}

TEST(Audio, DoubleReplacingUsesTheHostArrays) {
  FakeHost host(&CreateFrameworkTestPlug);
  AEffect* effect = host.effect();
  std::vector<double> left = {1, 2, 3, 4, 5}, right = {-1, -2, -3, -4, -5};
  std::vector<double> outLeft(5, 0.0), outRight(5, 0.0);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  effect->processDoubleReplacing(effect, inputs, outputs, 5);
  EXPECT_EQ(outLeft, left);
  EXPECT_EQ(outRight, right);
}

TEST(Audio, DisconnectedInputIsSilentAndDisconnectedOutputUntouched) {
  FakeHost host(&CreateFrameworkTestPlug);
  AEffect* effect = host.effect();
  const int frames = 16;
  std::vector<float> left = Ramp(frames, 0.2f), right = Ramp(frames, 0.7f);
  std::vector<float> outLeft(frames, 5.0f), outRight(frames, 5.0f);
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  effect->processReplacing(effect, inputs, outputs, frames);  // fills the scratch buffers

  VstSpeakerArrangement mono = {};
  mono.numChannels = 1;
  host.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &mono);
  std::vector<float> second(frames, 5.0f), untouched(frames, 5.0f);
  float* monoOutputs[2] = {second.data(), untouched.data()};
  effect->processReplacing(effect, inputs, monoOutputs, frames);
  EXPECT_EQ(second, left);  // first input to first output
  EXPECT_EQ(untouched, std::vector<float>(frames, 5.0f));

  // A disconnected input reads zeros, not the samples it converted earlier.
  VstSpeakerArrangement stereo = {};
  stereo.numChannels = 2;
  host.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &stereo);
  effect->processReplacing(effect, inputs, outputs, frames);
  EXPECT_EQ(outLeft, left);
  EXPECT_EQ(outRight, std::vector<float>(frames, 0.0f));
}

TEST(Audio, BlocksLongerThanTheBlockSizeRunInSlices) {
  BlockRecorder plug;
  AEffect* effect = plug.Effect();
  effect->dispatcher(effect, effSetBlockSize, 0, 64, nullptr, 0.0f);
  const int frames = 200;  // 64 + 64 + 64 + 8
  std::vector<float> left = Ramp(frames, 0.0f), right = Ramp(frames, 1.0f);
  std::vector<float> outLeft(frames, 0.0f), outRight(frames, 0.0f);
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};

  effect->processReplacing(effect, inputs, outputs, frames);
  EXPECT_EQ(outLeft, left);
  EXPECT_EQ(outRight, right);
  EXPECT_EQ(plug.largestBlock, 64);
  EXPECT_EQ(plug.calls, 4);

  effect->process(effect, inputs, outputs, frames);
  EXPECT_FLOAT_EQ(outLeft[199], 2.0f * left[199]);

  // The double path slices too, so a disconnected output's buffer is safe.
  VstSpeakerArrangement mono = {};
  mono.numChannels = 1;
  effect->dispatcher(effect, effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &mono,
                     0.0f);
  std::vector<double> dIn(frames, 0.5), dOut(frames, 0.0);
  double* dInputs[2] = {dIn.data(), nullptr};
  double* dOutputs[2] = {dOut.data(), nullptr};
  plug.largestBlock = 0;
  effect->processDoubleReplacing(effect, dInputs, dOutputs, frames);
  EXPECT_EQ(dOut, dIn);
  EXPECT_EQ(plug.largestBlock, 64);
}

TEST(Audio, MissingHostArraysAreTreatedAsSilenceAndDiscarded) {
  // The framework alone and the gate on top of it: neither may touch a
  // missing array, and a missing input is silence for both.
  const FakeHost::EffectEntry entries[] = {&CreateFrameworkTestPlug, &VSTPluginMain};
  for (FakeHost::EffectEntry entry : entries) {
    FakeHost host(entry);
    AEffect* effect = host.effect();
    std::vector<float> out(8, 3.0f);
    float* outputs[2] = {out.data(), nullptr};
    float* inputs[2] = {nullptr, nullptr};
    effect->processReplacing(effect, inputs, outputs, 8);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f));
    effect->processReplacing(effect, nullptr, nullptr, 8);
    effect->processReplacing(effect, inputs, outputs, 0);
    effect->processReplacing(effect, inputs, outputs, -4);
  }
}

TEST(Audio, AnEmptyBlockStillReachesTheEffectOnce) {
  BlockRecorder plug;
  AEffect* effect = plug.Effect();
  std::vector<float> in(4, 0.5f), out(4, 2.0f);
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {out.data(), out.data()};
  effect->processReplacing(effect, inputs, outputs, 0);
  EXPECT_EQ(plug.calls, 1);
  effect->process(effect, inputs, outputs, -3);  // nonsense count: treated as empty
  EXPECT_EQ(plug.calls, 2);
  std::vector<double> dIn(4, 0.5), dOut(4, 2.0);
  double* dInputs[2] = {dIn.data(), dIn.data()};
  double* dOutputs[2] = {dOut.data(), dOut.data()};
  effect->processDoubleReplacing(effect, dInputs, dOutputs, 0);
  EXPECT_EQ(plug.calls, 3);
  EXPECT_EQ(plug.largestBlock, 0);
  EXPECT_EQ(out, std::vector<float>(4, 2.0f));  // nothing written
  EXPECT_EQ(dOut, std::vector<double>(4, 2.0));
}
