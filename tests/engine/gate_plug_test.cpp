// The effect through its VST 2 record: created by the module entry, driven
// by the dispatcher and processReplacing, with a fake host that answers time
// info and records edit gestures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "engine/gate_plug.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace {

struct FakeHost {
  vst2::VstTimeInfo time{};
  bool hasTime = true;
  std::vector<std::string> requests;
};
FakeHost* host = nullptr;

intptr_t VST2_CALL HostCallback(vst2::AEffect*, int32_t opcode, int32_t index, intptr_t, void*,
                                float) {
  if (!host) return 0;
  switch (opcode) {
    case vst2::audioMasterVersion:
      return 2400;
    case vst2::audioMasterGetTime:
      host->requests.push_back("time");
      return host->hasTime ? reinterpret_cast<intptr_t>(&host->time) : 0;
    case vst2::audioMasterBeginEdit:
      host->requests.push_back("begin " + std::to_string(index));
      return 1;
    case vst2::audioMasterEndEdit:
      host->requests.push_back("end " + std::to_string(index));
      return 1;
    default:
      return 0;
  }
}

class GatePlugTest : public testing::Test {
 protected:
  void SetUp() override {
    host = &fake;
    fake.time.tempo = 120;
    fake.time.sampleRate = 44100;
    fake.time.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
    effect = VSTPluginMain(HostCallback);
    ASSERT_NE(effect, nullptr);
    plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
  }
  void TearDown() override {
    if (effect) Dispatch(vst2::effClose);
    host = nullptr;
  }
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  void OpenAndStart() {
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(vst2::effSetBlockSize, 0, 512);
    Dispatch(vst2::effOpen);
    Dispatch(vst2::effMainsChanged, 0, 1);
  }
  // One replacing block of constant input; returns the left output.
  std::vector<float> Block(int frames, float value = 1.0f) {
    std::vector<float> inLeft(frames, value), inRight(frames, value);
    std::vector<float> outLeft(frames, -9.0f), outRight(frames, -9.0f);
    float* in[2] = {inLeft.data(), inRight.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, in, out, frames);
    return outLeft;
  }
  std::string ProgramName() {
    char name[64] = {};
    Dispatch(vst2::effGetProgramName, 0, 0, name);
    return name;
  }

  FakeHost fake;
  vst2::AEffect* effect = nullptr;
  VSTCLASS* plug = nullptr;
};

TEST_F(GatePlugTest, RecordAndEngineStartState) {
  EXPECT_EQ(effect->numParams, 24);
  EXPECT_EQ(effect->numPrograms, 50);
  EXPECT_EQ(plug->NParams(), 27);
  EXPECT_EQ(ProgramName(), "---- default ----");
  EXPECT_FALSE(plug->processingEnabled);
  for (int32_t applied : plug->lastApplied) EXPECT_EQ(applied, -101);
  EXPECT_EQ(plug->unappliedCount, 27);
  OpenAndStart();
  EXPECT_TRUE(plug->processingEnabled);
  EXPECT_EQ(plug->stepCount, 16);
  EXPECT_EQ(plug->samplesPerStep, 0u);  // no tempo until the first block
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(plug->StepPattern[i], 2);
    EXPECT_EQ(plug->StepPattern[32 + i], 4);
  }
}

TEST_F(GatePlugTest, FirstBlockTakesTempoAndPositionFromTheHost) {
  OpenAndStart();
  fake.time.samplePos = 3 * 5513 + 10;
  fake.requests.clear();
  const std::vector<float> out = Block(64);
  EXPECT_EQ(plug->samplesPerStep, 5513u);
  EXPECT_EQ(plug->currentStep, 3);
  EXPECT_EQ(plug->stepSampleCounter, 10u + 64u);
  EXPECT_EQ(fake.requests, (std::vector<std::string>{"time", "time", "time"}));
  // Volume target, Mix 80: (dry + wet x level x envelope) x input, attack from 0.
  const double slope = plug->attackIncrement;
  for (int j = 0; j < 64; ++j) {
    const double envelope = (j + 1) * slope;
    EXPECT_NEAR(out[j], 0.2 + 0.8 * envelope, 1e-6) << "sample " << j;
  }
  fake.requests.clear();
  Block(64);
  EXPECT_EQ(fake.requests.size(), 2u);  // tempo and transport only
}

TEST_F(GatePlugTest, HostWithoutTimeInfoGetsTheDrySignal) {
  OpenAndStart();
  fake.hasTime = false;
  const std::vector<float> out = Block(32, 0.5f);
  EXPECT_NEAR(out[5], 0.1, 1e-6);
  EXPECT_TRUE(plug->resyncPending);
}

TEST_F(GatePlugTest, PositionsPastTwoToTheThirtyFirstRealign) {
  OpenAndStart();
  fake.time.samplePos = 5513.0 * (16 * 1000000 + 7) + 21;  // about 8.8e10 samples
  Block(1);
  EXPECT_EQ(plug->currentStep, 7);
  EXPECT_EQ(plug->stepSampleCounter, 22u);
}

TEST_F(GatePlugTest, EveryFactoryPresetRecallsItsTable) {
  OpenAndStart();
  for (int p = 1; p <= kFactoryPresetCount; ++p) {
    const FactoryPreset& preset = kFactoryPresets[p - 1];
    SCOPED_TRACE(preset.name);
    Dispatch(vst2::effSetProgram, 0, p);
    EXPECT_EQ(ProgramName(), preset.name);
    int values[kGateParamCount];
    ASSERT_TRUE(FactoryPresetValues(preset, values));
    for (int i = 0; i < kGateParamCount; ++i) {
      EXPECT_EQ(plug->GetParam(i)->Value(), values[i]) << "parameter " << i;
    }
    std::string times, volumes;
    for (int i = 0; i < 32; ++i) {
      if (i > 0 && i % 8 == 0) times += ' ', volumes += ' ';
      times += static_cast<char>('0' + plug->StepPattern[i]);
      volumes += static_cast<char>('0' + plug->StepPattern[32 + i]);
    }
    EXPECT_EQ(times, preset.times);
    EXPECT_EQ(volumes, preset.volumes);
    EXPECT_EQ(plug->stepCount, preset.cycle);
    EXPECT_FLOAT_EQ(plug->gateFraction, preset.gate * 0.01f);
    EXPECT_EQ(plug->target, preset.target);
  }
  // "Mini Gate" word from its digits 3020222222.
  Dispatch(vst2::effSetProgram, 0, 1);
  EXPECT_EQ(plug->GetParam(kPatternWord0)->Value(), 6023437);
}

TEST_F(GatePlugTest, FreeSlotBecomesUserPresetWithoutChangingParameters) {
  OpenAndStart();
  Dispatch(vst2::effSetProgram, 0, 5);
  const double gate = plug->GetParam(kGate)->Value();
  Dispatch(vst2::effSetProgram, 0, 30);
  EXPECT_EQ(ProgramName(), "user preset 1");
  EXPECT_EQ(plug->GetParam(kGate)->Value(), gate);
  EXPECT_EQ(plug->stepCount, 8);
}

TEST_F(GatePlugTest, StepEditIsPackedIntoTheWordsAtTheNextBlock) {
  OpenAndStart();
  Block(16);
  // What a bar edit does: write the entry, note it, raise StepEdited.
  plug->StepPattern[4] = 3;
  plug->editedIndex = 4;
  plug->editedValue = 3;
  plug->GetParam(kStepEdited)->SetValueClamped(1);
  plug->OnParamChanged(kStepEdited);
  EXPECT_EQ(plug->GetParam(kStepEdited)->Value(), 0);
  EXPECT_EQ(plug->lastApplied[kStepEdited], 0);
  fake.requests.clear();
  Block(16);
  std::vector<std::string> expected = {"time", "time"};
  for (int g = 0; g < 7; ++g) {
    expected.push_back("begin " + std::to_string(10 + g));
    expected.push_back("end " + std::to_string(10 + g));
  }
  EXPECT_EQ(fake.requests, expected);
  EXPECT_EQ(plug->GetParam(kPatternWord0)->Value(), 4882812 + 3125);  // 2222322222: +5^5
  const double unchanged[] = {4882812, 4882812, 5078124, 9765624, 9765624, 624};
  for (int g = 1; g < 7; ++g) {
    EXPECT_EQ(plug->GetParam(kPatternWord0 + g)->Value(), unchanged[g - 1]) << "word " << g;
  }
}

TEST_F(GatePlugTest, SampleRateChangeRecomputesCrossover) {
  OpenAndStart();
  Block(8);
  Dispatch(vst2::effMainsChanged, 0, 0);
  Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Dispatch(vst2::effMainsChanged, 0, 1);
  Block(8);
  EXPECT_EQ(plug->sampleRateSeen, 48000);
  EXPECT_DOUBLE_EQ(plug->lowpassCoefficient, std::exp(-6.283185307179586 * 1000 / 48000));
}

}  // namespace
