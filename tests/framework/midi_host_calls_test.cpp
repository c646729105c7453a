// What a VST 2 host hears because the effect takes MIDI: audioMasterWantMidi
// once per resume (never from the audio callbacks), and a program a note-on
// selected while a block rendered announced with audioMasterUpdateDisplay
// from the next idle call, never from the audio thread.
#include <gtest/gtest.h>

#include <vector>

#include "framework/recursive_lock.h"
#include "support/fake_host.h"
#include "support/framework_test_plug.h"

using namespace vst2;

namespace {

// Selects a program from inside its next block, as a note-on would.
class ProgramSwitcher : public FrameworkTestPlug {
 public:
  explicit ProgramSwitcher(AudioMasterCallback audioMaster) : FrameworkTestPlug(audioMaster) {}
  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    if (switchTo >= 0) SelectPreset(switchTo);
    switchTo = -1;
    FrameworkTestPlug::ProcessBlock(inputs, outputs, frames);
  }
  int switchTo = -1;
};

AEffect* VST2_CALL CreateProgramSwitcher(AudioMasterCallback audioMaster) {
  auto* plug = new ProgramSwitcher(audioMaster);
  plug->EnsureOnePreset();
  return plug->Effect();
}

enum class Callback { kReplacing, kDouble, kAccumulating };

void ProcessOnce(AEffect* effect, Callback callback, int32_t frames) {
  std::vector<float> in32(64, 0.25f), out32(64, 0.0f);
  std::vector<double> in64(64, 0.25), out64(64, 0.0);
  float* in32s[2] = {in32.data(), in32.data()};
  float* out32s[2] = {out32.data(), out32.data()};
  double* in64s[2] = {in64.data(), in64.data()};
  double* out64s[2] = {out64.data(), out64.data()};
  switch (callback) {
    case Callback::kReplacing:
      effect->processReplacing(effect, in32s, out32s, frames);
      break;
    case Callback::kDouble:
      effect->processDoubleReplacing(effect, in64s, out64s, frames);
      break;
    case Callback::kAccumulating:
      effect->process(effect, in32s, out32s, frames);
      break;
  }
}

}  // namespace

TEST(MidiHostCalls, WantMidiIsAskedOncePerResumeAndNeverFromTheAudioCallbacks) {
  struct Case {
    FakeHost::EffectEntry entry;
    size_t perResume;  // the gate takes MIDI; the framework's test effect does not
  };
  for (const Case& c : {Case{&VSTPluginMain, 1}, Case{&CreateFrameworkTestPlug, 0}}) {
    for (Callback callback : {Callback::kReplacing, Callback::kDouble, Callback::kAccumulating}) {
      SCOPED_TRACE(testing::Message() << c.perResume << " " << static_cast<int>(callback));
      FakeHost host(c.entry);
      host.Dispatch(effOpen);
      host.Dispatch(effMainsChanged, 0, 1);
      EXPECT_EQ(host.CallsOf(audioMasterWantMidi).size(), c.perResume);
      for (int32_t frames : {64, 0, 17, 64}) ProcessOnce(host.effect(), callback, frames);
      EXPECT_EQ(host.CallsOf(audioMasterWantMidi).size(), c.perResume);
      host.Dispatch(effMainsChanged, 0, 0);
      host.Dispatch(effMainsChanged, 0, 1);
      ProcessOnce(host.effect(), callback, 64);
      const std::vector<HostCall> calls = host.CallsOf(audioMasterWantMidi);
      ASSERT_EQ(calls.size(), 2 * c.perResume);
      for (const HostCall& call : calls) EXPECT_EQ(call.value, 1);
    }
  }
}

TEST(MidiHostCalls, AProgramSelectedWhileRenderingIsAnnouncedFromTheNextIdleCall) {
  struct Case {
    Callback callback;
    int32_t idle;  // the idle request that follows the block
    int switchTo;  // -1: the block selects nothing
    size_t announced;
  };
  const Case cases[] = {
      {Callback::kReplacing, effIdle, 2, 1},    {Callback::kDouble, effEditIdle, 3, 1},
      {Callback::kAccumulating, effIdle, 1, 1}, {Callback::kReplacing, effEditIdle, 0, 0},
      {Callback::kDouble, effIdle, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << static_cast<int>(c.callback) << " " << c.idle << " " << c.switchTo);
    FakeHost host(&CreateProgramSwitcher);
    auto* plug = static_cast<ProgramSwitcher*>(host.plug());
    host.Dispatch(effOpen);
    host.Dispatch(effMainsChanged, 0, 1);
    ProcessOnce(host.effect(), c.callback, 64);
    host.ClearCalls();
    plug->switchTo = c.switchTo;
    ProcessOnce(host.effect(), c.callback, 64);
    if (c.switchTo >= 0) {
      ASSERT_EQ(plug->CurrentPresetIndex(), c.switchTo);
    }
    // Never from the audio thread.
    EXPECT_TRUE(host.CallsOf(audioMasterUpdateDisplay).empty());
    host.Dispatch(c.idle);
    EXPECT_EQ(host.CallsOf(audioMasterUpdateDisplay).size(), c.announced);
    // Announced once: the next idle calls of either kind have nothing to say.
    host.Dispatch(effIdle);
    host.Dispatch(effEditIdle);
    ProcessOnce(host.effect(), c.callback, 64);
    host.Dispatch(c.idle);
    EXPECT_EQ(host.CallsOf(audioMasterUpdateDisplay).size(), c.announced);
  }
}
