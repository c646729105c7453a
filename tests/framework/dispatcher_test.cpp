// The effect record and the dispatcher's answers as a host sees them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/gate_plug.h"
#include "support/fake_host.h"

using namespace vst2;

TEST(EffectRecord, HoldsTheEffectsIdentity) {
  FakeHost host;
  AEffect* effect = host.effect();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->magic, 0x56737450);
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->numParams, 24);
  EXPECT_EQ(effect->numPrograms, 50);
  EXPECT_EQ(effect->flags, 0x1019);  // with its editor
  EXPECT_EQ(effect->version, 10000);
  EXPECT_EQ(effect->uniqueID, 0x6F77746B);
  EXPECT_EQ(effect->initialDelay, 0);
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_EQ(effect->object, static_cast<void*>(host.plug()));
  EXPECT_NE(effect->processReplacing, nullptr);
  EXPECT_NE(effect->processDoubleReplacing, nullptr);
  EXPECT_NE(effect->process, nullptr);
  EXPECT_EQ(host.plug()->MakerId(), 0x4B656C76);  // "Kelv"
  EXPECT_EQ(host.plug()->BlockSize(), 1024);
  EXPECT_EQ(host.plug()->SampleRate(), 44100.0);
  char version[16];
  host.plug()->VersionText(version, sizeof version);
  EXPECT_STREQ(version, "v1.00");
}

TEST(Dispatcher, AnswersFixedQueries) {
  FakeHost host;
  EXPECT_EQ(host.Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(host.Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(host.Dispatch(effGetVendorVersion), 10000);
  EXPECT_EQ(host.Dispatch(effGetPlugCategory), 1);
  EXPECT_EQ(host.Dispatch(effCanBeAutomated, 5), 1);
  EXPECT_EQ(host.Dispatch(effGetProgram), 0);
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, nullptr), 0);  // nowhere to write
  EXPECT_EQ(host.Dispatch(effEditOpen), 0);                    // no window to open in
  EXPECT_EQ(host.Dispatch(effEditIdle), 0);                    // a closed editor ignores it
  EXPECT_EQ(host.Dispatch(effEditClose), 1);
  EXPECT_EQ(host.Dispatch(9999), 0);
  EXPECT_EQ(host.effect()->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);

  char text[80];
  EXPECT_EQ(host.Dispatch(effGetEffectName, 0, 0, text), 1);
  EXPECT_STREQ(text, "Quorvel");
  EXPECT_EQ(host.Dispatch(effGetVendorString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Kelvo");
  EXPECT_EQ(host.Dispatch(effGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(host.Dispatch(effGetEffectName, 0, 0, nullptr), 0);
}

TEST(Dispatcher, CanDoAnswers) {
  FakeHost host;
  auto canDo = [&](const char* text) {
    return host.Dispatch(effCanDo, 0, 0, const_cast<char*>(text));
  };
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
  EXPECT_EQ(canDo("sendVstEvents"), 0);
  EXPECT_EQ(canDo("sendVstMidiEvent"), 0);
  EXPECT_EQ(canDo("receiveVstEvents"), 1);
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(canDo("hasCockosExtensions"), static_cast<intptr_t>(0xBEEF0000u));
  EXPECT_EQ(canDo("hasCockosViewAsConfig"), static_cast<intptr_t>(0xBEEF0000u));
  EXPECT_EQ(canDo("receivevsttimeinfo"), 0);
  EXPECT_EQ(canDo("bypass"), 0);
  EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST(Dispatcher, PinPropertiesForEachChannel) {
  FakeHost host;
  VstPinProperties pin = {};
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 3);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 1);
  EXPECT_STREQ(pin.label, "Input 2");
  EXPECT_EQ(host.Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 1");
  EXPECT_EQ(pin.flags, 3);

  memset(&pin, 0x55, sizeof pin);
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(host.Dispatch(effGetOutputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(pin.flags, 0x55555555);  // untouched
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 0, 0, nullptr), 0);
}

TEST(Dispatcher, VendorSpecificRequests) {
  FakeHost host;
  char text[64];
  // 7: format a normalised value.
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 7, kSplitFreq, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "5015");
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 7, kRate, text, 1.0f), 0xBEEF);
  EXPECT_STREQ(text, "4/1");
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 7, 40, text, 0.5f), 0xBEEF);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 7, kRate, nullptr, 0.5f), 0);

  // 8: two-state parameters.
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 8, kTieLock), 0xBEEF);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 8, kStepEdited), 0xBEEF);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 8, kTarget), 0);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 8, -1), 0);

  // 27: parse a text into a normalised value, 17 decimals.
  strcpy(text, "5015");
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 27, kSplitFreq, text), 0xBEEF);
  EXPECT_STREQ(text, "0.50000000000000000");
  strcpy(text, "Yes");
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 27, kTieLock, text), 0xBEEF);
  EXPECT_STREQ(text, "1.00000000000000000");
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 27, kGateParamCount, text), 0);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 27, kGate, nullptr), 0);

  // The wheel request needs an editor.
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 0x73744341, 0x57686565, nullptr, 1.0f), 0);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 99, 0, text), 0);
}

TEST(Dispatcher, TextAnswersStayWithinTheInterfaceLimits) {
  FakeHost host;
  char buffer[300];
  auto filledLength = [&](int32_t opcode, int32_t index) {
    memset(buffer, '#', sizeof buffer);
    host.Dispatch(opcode, index, 0, buffer);
    return strnlen(buffer, sizeof buffer);
  };
  // Parameter texts are whole up to 24 characters, and nothing is written
  // past the terminator.
  EXPECT_EQ(filledLength(effGetParamName, kSplitFreq), strlen("Split Freq"));
  EXPECT_EQ(buffer[strlen("Split Freq") + 1], '#');
  const std::string longText(40, 'q');
  host.plug()->GetParam(kTimesNudge)->SetupInt(longText.c_str(), 0, -5, 5, longText.c_str());
  host.plug()->GetParam(kTimesNudge)->AddDisplayText(0, longText.c_str());
  for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
    EXPECT_EQ(filledLength(opcode, kTimesNudge), kMaxParamStrLen) << opcode;
    EXPECT_EQ(buffer[kMaxParamStrLen + 1], '#') << opcode;
  }
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 7, kTimesNudge, buffer, 0.5f), 0xBEEF);
  EXPECT_EQ(strnlen(buffer, sizeof buffer), kMaxParamStrLen);

  const std::string longName(200, 'p');
  char name[256];
  strcpy(name, longName.c_str());
  host.Dispatch(effSetProgramName, 0, 0, name);
  EXPECT_EQ(filledLength(effGetProgramName, 0), kMaxProgNameLen);
  EXPECT_EQ(buffer[kMaxProgNameLen + 1], '#');
  EXPECT_EQ(filledLength(effGetProgramNameIndexed, 0), kMaxProgNameLen);
  EXPECT_LE(filledLength(effGetEffectName, 0), kMaxEffectNameLen);
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 50, 0, buffer), 0);
  EXPECT_STREQ(buffer, "");
}

TEST(Dispatcher, SpeakerArrangementsConnectOnlyChannelsThatExist) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  VstSpeakerArrangement* input = nullptr;
  VstSpeakerArrangement* output = nullptr;
  EXPECT_EQ(host.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input), &output),
            1);
  ASSERT_NE(input, nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(input->numChannels, 2);
  EXPECT_EQ(input->type, 1);
  EXPECT_EQ(output->type, 1);

  VstSpeakerArrangement mono = {};
  mono.numChannels = 1;
  VstSpeakerArrangement many = {};
  many.numChannels = 64;  // more than the effect has
  EXPECT_EQ(host.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &many),
            1);
  EXPECT_TRUE(plug->IsInputConnected(0));
  EXPECT_FALSE(plug->IsInputConnected(1));
  EXPECT_TRUE(plug->IsOutputConnected(0));
  EXPECT_TRUE(plug->IsOutputConnected(1));
  EXPECT_FALSE(plug->IsOutputConnected(2));

  VstSpeakerArrangement negative = {};
  negative.numChannels = -3;
  EXPECT_EQ(
      host.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&negative), nullptr),
      1);
  EXPECT_FALSE(plug->IsInputConnected(0));
  EXPECT_TRUE(plug->IsOutputConnected(0));  // no output arrangement given
}

TEST(Dispatcher, EventsMidiKeyNamesAndIgnoredRequests) {
  FakeHost host;
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, nullptr), 0);
  VstMidiEvent midi = {};
  midi.type = kVstMidiType;
  midi.byteSize = sizeof midi;
  VstEvents events = {};
  events.numEvents = 2;
  events.events[0] = reinterpret_cast<VstEvent*>(&midi);
  events.events[1] = nullptr;
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, &events), 1);

  MidiKeyName key = {};
  strcpy(key.keyName, "C3");
  EXPECT_EQ(host.Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
  EXPECT_EQ(host.Dispatch(effGetMidiKeyName, 0, 0, nullptr), 0);

  // Sample rate and block size changes; nonsense values are not taken.
  EXPECT_EQ(host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
  EXPECT_EQ(host.plug()->SampleRate(), 48000.0);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, -1.0f);
  EXPECT_EQ(host.plug()->SampleRate(), 48000.0);
  host.Dispatch(effSetBlockSize, 0, 256);
  EXPECT_EQ(host.plug()->BlockSize(), 256);
  host.Dispatch(effSetBlockSize, 0, -5);
  EXPECT_EQ(host.plug()->BlockSize(), 256);
  for (int32_t op : {effMainsChanged, effSetBypass, effStartProcess, effStopProcess, effEditIdle,
                     effIdle, effBeginSetProgram, effEndSetProgram, effProcessVarIo}) {
    EXPECT_EQ(host.Dispatch(op, 0, 1), 0) << op;
  }
}
