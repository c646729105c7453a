// What the effect asks of the host: identification, time info, automation
// and edit gestures, MIDI output.
#include <gtest/gtest.h>

#include <string>

#include "engine/gate_plug.h"
#include "framework/host_id.h"
#include "support/fake_host.h"
#include "support/framework_test_plug.h"

using namespace vst2;

namespace {

// Four channels each way, so the stereo limit some hosts get is visible.
class QuadPlug : public IPlugVST {
 public:
  explicit QuadPlug(AudioMasterCallback master)
      : IPlugVST(master, 1, "4-4", 1, "Quad", "", "Vendor", 0x00010000, 1, 2, 0, 0, false, false) {}
};

AEffect* VST2_CALL CreateQuadPlug(AudioMasterCallback master) {
  return (new QuadPlug(master))->Effect();
}

}  // namespace

TEST(HostId, TableOrderAndCase) {
  EXPECT_EQ(HostIdFromProductString("Cubase LE"), 3);
  EXPECT_EQ(HostIdFromProductString("REAPER"), 1);
  EXPECT_EQ(HostIdFromProductString("cubase live edition"), 3);  // cubase comes first
  EXPECT_EQ(HostIdFromProductString("Ableton Live"), 9);
  EXPECT_EQ(HostIdFromProductString("Acoustica Mixcraft"), 25);
  EXPECT_EQ(HostIdFromProductString("Ardour"), 27);
  EXPECT_EQ(HostIdFromProductString("Some Other Host"), 0);
  EXPECT_EQ(HostIdFromProductString(""), 0);
  EXPECT_EQ(HostIdFromProductString(nullptr), 0);

  const char* order[] = {"cubase",     "reaper",  "nuendo",     "cakewalk",  "samplitude",
                         "fruity",     "live",    "melodyne",   "vstmanlib", "aulab",
                         "forte",      "chainer", "audition",   "orion",     "sawstudio",
                         "logic",      "digital", "audiomulch", "presonus",  "acoustica",
                         "garageband", "ardour"};
  const int ids[] = {3,  1,  4,  5,  8,  7,  9,  12, 13, 14, 15,
                     16, 17, 18, 20, 21, 22, 23, 24, 25, 26, 27};
  ASSERT_EQ(kHostIdTableSize, 22);
  for (int i = 0; i < kHostIdTableSize; ++i) {
    EXPECT_STREQ(kHostIdTable[i].substring, order[i]);
    EXPECT_EQ(kHostIdTable[i].id, ids[i]);
  }
}

TEST(HostId, VersionConversionToPackedForm) {
  EXPECT_EQ(PackedVersionFromDecimal(50200), 5 * 65536 + 2 * 256);
  EXPECT_EQ(PackedVersionFromDecimal(10000), 0x00010000);
  EXPECT_EQ(PackedVersionFromDecimal(123456), 12 * 65536 + 34 * 256 + 56);
  EXPECT_EQ(PackedVersionFromDecimal(0), 0);
}

TEST(HostId, AskedOnceAtOpenAndCached) {
  FakeHost host;
  host.productString = "My REAPER build";
  host.vendorVersion = 50200;
  EXPECT_EQ(host.plug()->StoredHostId(), -1);
  host.Dispatch(effOpen);
  EXPECT_EQ(host.plug()->StoredHostId(), 1);
  EXPECT_EQ(host.plug()->HostVersion(), 5 * 65536 + 2 * 256);
  host.productString = "Cubase";
  EXPECT_EQ(host.plug()->HostId(), 1);
  EXPECT_EQ(host.productStringRequests, 1);

  FakeHost silent;  // no product string: id 0, version 0, vendor version not asked
  silent.vendorVersion = 1234;
  EXPECT_EQ(silent.plug()->HostId(), 0);
  EXPECT_EQ(silent.plug()->HostVersion(), 0);
  EXPECT_TRUE(silent.CallsOf(audioMasterGetVendorVersion).empty());
}

TEST(HostTime, NoTimeInfoMeansZeroEverywhere) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  EXPECT_EQ(plug->HostTempo(), 0.0);
  EXPECT_EQ(plug->SamplesPerBeat(), 0.0);
  EXPECT_EQ(plug->HostSamplePosition(), 0);
  EXPECT_EQ(plug->HostTransportState(), 0);
  int numerator = 7, denominator = 7;
  plug->HostTimeSignature(&numerator, &denominator);
  EXPECT_EQ(numerator, 0);
  EXPECT_EQ(denominator, 0);
}

TEST(HostTime, ReadsTempoPositionTransportAndSignature) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  host.giveTimeInfo = true;
  host.timeInfo.samplePos = 1234.5;
  host.timeInfo.tempo = 120.0;
  host.timeInfo.timeSigNumerator = 3;
  host.timeInfo.timeSigDenominator = 4;
  host.timeInfo.flags = kVstTransportPlaying;  // tempo not marked valid
  EXPECT_EQ(plug->HostTempo(), 0.0);
  EXPECT_EQ(plug->HostSamplePosition(), 1235);
  EXPECT_EQ(plug->HostTransportState(), 1);

  host.timeInfo.flags = kVstTempoValid | kVstTimeSigValid | kVstTransportRecording;
  EXPECT_EQ(plug->HostTempo(), 120.0);
  EXPECT_EQ(plug->SamplesPerBeat(), 44100.0 / 120.0 * 60.0);
  EXPECT_EQ(plug->HostTransportState(), 2);
  int numerator = 0, denominator = 0;
  plug->HostTimeSignature(&numerator, &denominator);
  EXPECT_EQ(numerator, 3);
  EXPECT_EQ(denominator, 4);

  host.timeInfo.samplePos = -10.0;
  EXPECT_EQ(plug->HostSamplePosition(), 0);
  const std::vector<HostCall> requests = host.CallsOf(audioMasterGetTime);
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests[0].value, kVstTempoValid);
  EXPECT_EQ(requests[1].value, 0);  // sample position asks with no filter
}

TEST(HostGestures, EditorChangeStoresAutomatesWithThePositionAndApplies) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  plug->ApplyEditorParamChange(kSplitFreq, 0.5);
  EXPECT_EQ(plug->GetParam(kSplitFreq)->Value(), 5015);
  const std::vector<HostCall> automate = host.CallsOf(audioMasterAutomate);
  ASSERT_EQ(automate.size(), 1u);
  EXPECT_EQ(automate[0].index, kSplitFreq);
  EXPECT_EQ(automate[0].opt, 0.5f);
  plug->ApplyEditorParamChange(40, 0.5);  // no such parameter: no host call
  EXPECT_EQ(host.CallsOf(audioMasterAutomate).size(), 1u);
}

TEST(HostGestures, WithoutAnEditorADeferredEndIsSentAtOnce) {
  FakeHost host(&CreateFrameworkTestPlug);
  IPlugVST* plug = host.plug();
  plug->ResumeParamEdit(kMix);
  plug->DeferParamEditEnd(kMix);
  plug->ResumeParamEdit(kMix);
  plug->DeferParamEditEnd(kMix);
  std::vector<int32_t> opcodes;
  for (const HostCall& call : host.calls) opcodes.push_back(call.opcode);
  EXPECT_EQ(opcodes, (std::vector<int32_t>{audioMasterBeginEdit, audioMasterEndEdit,
                                           audioMasterBeginEdit, audioMasterEndEdit}));
}

TEST(HostGestures, MidiOutputBuildsOneEventLists) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  EXPECT_TRUE(plug->SendMidiMessage({5, 0x90, 60, 100}));
  const MidiMessage pair[2] = {{0, 0x80, 60, 0}, {1, 0x80, 61, 0}};
  EXPECT_TRUE(plug->SendMidiMessages(pair, 2));
  const uint8_t dump[3] = {0xF0, 0x01, 0xF7};
  EXPECT_TRUE(plug->SendSysExMessage({2, 3, dump}));
  EXPECT_EQ(host.CallsOf(audioMasterProcessEvents).size(), 4u);
  host.processEventsAnswer = 0;
  EXPECT_FALSE(plug->SendMidiMessages(pair, 2));
}

TEST(HostSetup, HostsWithChannelTroubleGetTwoChannelsEachWayOnce) {
  struct Case {
    const char* product;
    bool limited;
  };
  const Case cases[] = {{"Forte 4", true},
                        {"Adobe Audition", true},
                        {"Orion Platinum", true},
                        {"SAWStudio64", true},
                        {"Cubase", false},
                        {"Acoustica", false},
                        {"", false}};
  for (const Case& c : cases) {
    FakeHost host(&CreateQuadPlug);
    host.productString = c.product;
    host.Dispatch(effOpen);
    IPlugVST* plug = host.plug();
    for (int i = 0; i < 4; ++i) {
      const bool expected = i < 2 || !c.limited;
      EXPECT_EQ(plug->IsInputConnected(i), expected) << c.product << " input " << i;
      EXPECT_EQ(plug->IsOutputConnected(i), expected) << c.product << " output " << i;
    }
    EXPECT_EQ(host.effect()->numInputs, 4) << c.product;
    EXPECT_EQ(host.effect()->numOutputs, 4) << c.product;

    // The setup runs once: channels the host connects later stay connected.
    VstSpeakerArrangement four = {};
    four.numChannels = 4;
    host.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&four), &four);
    host.Dispatch(effOpen);
    EXPECT_TRUE(plug->IsInputConnected(3)) << c.product;
    EXPECT_TRUE(plug->IsOutputConnected(3)) << c.product;
  }
}
