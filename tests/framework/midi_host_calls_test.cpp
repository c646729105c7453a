// What a VST 2 host hears because the effect takes MIDI: audioMasterWantMidi
// once per resume, and a program a note-on selected announced once from the
// next idle call, never from the audio thread.
#include <gtest/gtest.h>

#include <vector>

#include "engine/gate_params.h"
#include "support/fake_host.h"
#include "support/framework_test_plug.h"

using namespace vst2;

namespace {

enum class Callback { kReplacing, kDouble, kAccumulating };

// In place, as some hosts do.
void ProcessOnce(AEffect* effect, Callback callback, int32_t frames) {
  std::vector<float> f(64, 0.25f);
  std::vector<double> d(64, 0.25);
  float* fs[2] = {f.data(), f.data()};
  double* ds[2] = {d.data(), d.data()};
  if (callback == Callback::kReplacing) effect->processReplacing(effect, fs, fs, frames);
  if (callback == Callback::kDouble) effect->processDoubleReplacing(effect, ds, ds, frames);
  if (callback == Callback::kAccumulating) effect->process(effect, fs, fs, frames);
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

TEST(MidiHostCalls, AProgramANoteSelectedIsAnnouncedFromTheNextIdleCall) {
  struct Case {
    Callback callback;
    int32_t idle;  // the idle request that follows the block
    int32_t note;
    double switchMode;  // normalised
    int program;        // selected after the block
    bool suspended;     // between the notes and the block
  };
  const Case cases[] = {
      {Callback::kReplacing, effIdle, 38, 1.0 / 3.0, 2, false},
      {Callback::kDouble, effEditIdle, 85, 1.0 / 3.0, 49, false},
      {Callback::kAccumulating, effIdle, 37, 1.0 / 3.0, 1, false},
      {Callback::kReplacing, effEditIdle, 38, 0.0, 0, false},  // switching off
      {Callback::kDouble, effIdle, 38, 1.0 / 3.0, 0, true},    // notes die with a suspend
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.note << " " << c.idle << " " << c.switchMode);
    FakeHost host;
    AEffect* effect = host.effect();
    host.Dispatch(effOpen);
    host.Dispatch(effMainsChanged, 0, 1);
    effect->setParameter(effect, kMidiSwitch, static_cast<float>(c.switchMode));
    ProcessOnce(effect, c.callback, 64);
    VstMidiEvent on = {};
    on.type = kVstMidiType;
    on.byteSize = sizeof on;
    on.deltaFrames = 10;
    on.midiData[0] = static_cast<char>(0x90);
    on.midiData[1] = static_cast<char>(c.note);
    on.midiData[2] = 100;
    VstEvents events = {1, 0, {reinterpret_cast<VstEvent*>(&on), nullptr}};
    host.Dispatch(effProcessEvents, 0, 0, &events);
    if (c.suspended) {
      host.Dispatch(effMainsChanged, 0, 0);
      host.Dispatch(effMainsChanged, 0, 1);
    }
    host.ClearCalls();
    ProcessOnce(effect, c.callback, 64);
    EXPECT_EQ(host.Dispatch(effGetProgram), c.program);
    EXPECT_TRUE(host.CallsOf(audioMasterUpdateDisplay).empty());
    host.Dispatch(c.idle);
    const size_t announced = c.program != 0 ? 1 : 0;
    EXPECT_EQ(host.CallsOf(audioMasterUpdateDisplay).size(), announced);
    host.Dispatch(effIdle);
    host.Dispatch(effEditIdle);
    ProcessOnce(effect, c.callback, 64);
    host.Dispatch(c.idle);
    EXPECT_EQ(host.CallsOf(audioMasterUpdateDisplay).size(), announced);
  }
}
