// What each dispatcher request does to the effect: the activity and reset
// hooks it calls, in order, and the events it hands over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/framework_test_plug.h"

using namespace vst2;

namespace {

class HookRecorder : public FrameworkTestPlug {
 public:
  HookRecorder() : FrameworkTestPlug(nullptr) {}
  void OnActiveChanged(bool active) override { log.push_back(active ? "on" : "off"); }
  void OnReset() override { log.push_back("reset"); }
  void OnMidiMessage(const MidiMessage& m) override {
    log.push_back("midi " + std::to_string(m.offset) + " " + std::to_string(m.status) + " " +
                  std::to_string(m.data1) + " " + std::to_string(m.data2));
  }
  void OnSysEx(const SysExMessage& m) override {
    log.push_back("sysex " + std::to_string(m.offset) + " " + std::to_string(m.size) + " " +
                  std::to_string(m.data ? m.data[0] : -1));
  }

  // The hooks one request called, and its answer.
  std::vector<std::string> Run(int32_t opcode, intptr_t value, void* ptr = nullptr,
                               float opt = 0.0f, intptr_t* answer = nullptr) {
    log.clear();
    const intptr_t result = Effect()->dispatcher(Effect(), opcode, 0, value, ptr, opt);
    if (answer) *answer = result;
    return log;
  }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(DispatcherActions, ActivityAndResetHooksFollowEachRequest) {
  HookRecorder plug;
  EXPECT_EQ(plug.Run(effMainsChanged, 0), (Log{"off", "reset"}));
  EXPECT_EQ(plug.Run(effMainsChanged, 1), (Log{"on"}));
  EXPECT_EQ(plug.Run(effSetBypass, 1), (Log{"off"}));
  EXPECT_EQ(plug.Run(effSetBypass, 0), (Log{"on"}));
  EXPECT_EQ(plug.Run(effSetSampleRate, 0, nullptr, 96000.0f), (Log{"reset"}));
  EXPECT_EQ(plug.SampleRate(), 96000.0);
  EXPECT_EQ(plug.Run(effSetBlockSize, 512), (Log{"reset"}));
  EXPECT_EQ(plug.BlockSize(), 512);
  EXPECT_EQ(plug.Run(effStopProcess, 0), (Log{"off"}));
  for (int32_t op : {62, 63, 64, 65, 67, 68, 71}) {
    intptr_t answer = -1;
    EXPECT_EQ(plug.Run(op, 0, nullptr, 0.0f, &answer), (Log{"on"})) << op;
    EXPECT_EQ(answer, 0) << op;
  }
  // Requests this effect does not handle: no hook, answer 0.
  for (int32_t op : {9,  16, 17, 18, 19, 20, 21, 28, 30, 31, 32, 36, 37, 38, 39, 40,
                     41, 43, 46, 52, 53, 54, 55, 56, 57, 59, 60, 61, 70, 73, 100}) {
    intptr_t answer = -1;
    EXPECT_EQ(plug.Run(op, 1, nullptr, 0.0f, &answer), Log{}) << op;
    EXPECT_EQ(answer, 0) << op;
  }
}

TEST(DispatcherActions, EventListIsHandedOverInOrderSkippingUnknownTypes) {
  HookRecorder plug;
  VstMidiEvent noteOn = {};
  noteOn.type = kVstMidiType;
  noteOn.byteSize = sizeof noteOn;
  noteOn.deltaFrames = 7;
  noteOn.midiData[0] = static_cast<char>(0x90);
  noteOn.midiData[1] = 60;
  noteOn.midiData[2] = 100;
  char dump[3] = {static_cast<char>(0xF0), 0x41, static_cast<char>(0xF7)};
  VstMidiSysexEvent sysex = {};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  sysex.deltaFrames = 9;
  sysex.dumpBytes = 3;
  sysex.sysexDump = dump;
  VstEvent other = {};
  other.type = 3;

  struct {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[4];
  } list = {
      4,
      0,
      {reinterpret_cast<VstEvent*>(&sysex), &other, nullptr, reinterpret_cast<VstEvent*>(&noteOn)}};
  intptr_t answer = 0;
  EXPECT_EQ(plug.Run(effProcessEvents, 0, &list, 0.0f, &answer),
            (Log{"sysex 9 3 240", "midi 7 144 60 100"}));
  EXPECT_EQ(answer, 1);
}
