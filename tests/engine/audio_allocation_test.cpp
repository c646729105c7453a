// The audio path must not allocate: a counting global operator new watches
// whole blocks of every target, including realignment, step starts and the
// packing of an edited pattern.
#include <gtest/gtest.h>

#include "engine/gate_plug.h"
#include "engine/test_gate.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

#include "support/counting_new.h"

namespace {

TEST(AudioAllocation, GateBlocksAllocateNothing) {
  TestGate gate;
  gate.Open();
  std::vector<double> left(512, 0.3), right(512, -0.3), outLeft(512), outRight(512);
  double* in[2] = {left.data(), right.data()};
  double* out[2] = {outLeft.data(), outRight.data()};
  gate.stored.reserve(64);
  for (int target = 0; target < 4; ++target) {
    gate.Set(kTarget, target);
    gate.EditBar(3, 1);  // packed by the next block
    const long before = allocations.load();
    for (int block = 0; block < 40; ++block) {
      gate.clock += block == 20 ? 600 : 11;  // one pause: realignment
      gate.ProcessGateBlock(in, out, 512);
    }
    EXPECT_EQ(allocations.load() - before, 0) << "target " << target;
  }
  EXPECT_EQ(gate.stored.size(), 28u);  // the probe itself saw each packing
}

vst2::VstTimeInfo hostTime{};

intptr_t VST2_CALL TimeHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(&hostTime);
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

TEST(AudioAllocation, EffectCallbacksAllocateNothing) {
  hostTime.tempo = 120;
  hostTime.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
  vst2::AEffect* effect = VSTPluginMain(TimeHost);
  ASSERT_NE(effect, nullptr);
  effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, vst2::effSetBlockSize, 0, 512, nullptr, 0);
  effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0);
  effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0);
  auto* plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
  std::vector<float> left(512, 0.5f), right(512, 0.5f), outLeft(512), outRight(512);
  std::vector<double> dLeft(512, 0.5), dRight(512, 0.5), dOutLeft(512), dOutRight(512);
  float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  double* dIn[2] = {dLeft.data(), dRight.data()};
  double* dOut[2] = {dOutLeft.data(), dOutRight.data()};
  for (int target = 0; target < 4; ++target) {
    plug->GetParam(kTarget)->SetValueClamped(target);
    plug->OnParamChanged(kTarget);
    plug->editedIndex = 40;
    plug->editedValue = 1;
    plug->StepPattern[40] = 1;
    plug->GetParam(kStepEdited)->SetValueClamped(1);
    plug->OnParamChanged(kStepEdited);  // packed by the next block
    hostTime.samplePos = 3e9 + target;  // and a realignment far out
    const long before = allocations.load();
    effect->processReplacing(effect, in, out, 512);
    effect->process(effect, in, out, 512);
    effect->processDoubleReplacing(effect, dIn, dOut, 512);
    effect->processReplacing(effect, in, out, 300);
    EXPECT_EQ(allocations.load() - before, 0) << "target " << target;
  }
  EXPECT_EQ(plug->GetParam(kPatternWord4)->Value(), 9765624 - 3 * 1953125);  // 4144444444
  effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0);
}

// Notes that restart the pattern and switch programs, swung and with chances
// drawn: a switch loads a whole program on the audio thread.
TEST(AudioAllocation, NoteRestartsAndProgramSwitchesAllocateNothing) {
  hostTime = {};
  hostTime.tempo = 120;
  hostTime.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
  vst2::AEffect* effect = VSTPluginMain(TimeHost);
  effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, vst2::effSetBlockSize, 0, 512, nullptr, 0);
  effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0);
  effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0);
  auto* plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
  std::vector<float> left(512, 0.5f), right(512, 0.5f);
  float* io[2] = {left.data(), right.data()};
  vst2::VstMidiEvent notes[2] = {};
  struct {
    int32_t numEvents;
    intptr_t reserved;
    vst2::VstEvent* events[2];
  } list = {
      2,
      0,
      {reinterpret_cast<vst2::VstEvent*>(&notes[0]), reinterpret_cast<vst2::VstEvent*>(&notes[1])}};
  for (int round = 0; round < 30; ++round) {
    const double settings[][2] = {{kSwing, 62},
                                  {kChance, 50},
                                  {kRestartMode, kRestartMidiNote},
                                  {kMidiSwitch, kSwitchImmediate + round % 3 + 0.0}};
    for (const auto& setting : settings) {
      plug->GetParam(static_cast<int>(setting[0]))->SetValueClamped(setting[1]);
      plug->OnParamChanged(static_cast<int>(setting[0]));
    }
    for (int k = 0; k < 2; ++k) {
      notes[k] = vst2::VstMidiEvent{};
      notes[k].type = vst2::kVstMidiType;
      notes[k].byteSize = sizeof notes[k];
      notes[k].deltaFrames = 100 + 300 * k;
      notes[k].midiData[0] = static_cast<char>(0x90);
      notes[k].midiData[1] = static_cast<char>(kFirstSwitchNote + (round * 7 + k) % 24);
      notes[k].midiData[2] = 90;
    }
    const long before = allocations.load();
    effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, &list, 0);
    for (int block = 0; block < 12; ++block) effect->processReplacing(effect, io, io, 512);
    EXPECT_EQ(allocations.load() - before, 0) << "round " << round;
  }
  EXPECT_GE(plug->midiProgramSwitches, 30u);
  effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0);
}

TEST(AudioAllocation, CounterSeesAllocations) {
  const long before = allocations.load();
  std::vector<int>* v = new std::vector<int>(10);
  delete v;
  EXPECT_GE(allocations.load() - before, 2);
}

}  // namespace
