// The preset bank: names, free slots becoming user presets, capture before a
// program change, rename, and the bank image.
#include <gtest/gtest.h>

#include <string>

#include "engine/gate_plug.h"
#include "support/fake_host.h"

using namespace vst2;

namespace {
std::string ProgramName(FakeHost& host, int index) {
  char name[64] = {};
  host.Dispatch(effGetProgramNameIndexed, index, 0, name);
  return name;
}
}  // namespace

TEST(Presets, StartNamedAndFreeExceptTheDefault) {
  FakeHost host;
  EXPECT_EQ(ProgramName(host, 0), "---- default ----");
  EXPECT_EQ(ProgramName(host, 1), "- 2 -");
  EXPECT_EQ(ProgramName(host, 49), "- 50 -");
  EXPECT_TRUE(host.plug()->Preset(0)->inUse);
  EXPECT_FALSE(host.plug()->Preset(49)->inUse);
  EXPECT_EQ(host.plug()->Preset(0)->state.Size(), 0);
}

TEST(Presets, SelectingFreeSlotsMakesNumberedUserPresetsWithCurrentValues) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  plug->GetParam(kGate)->SetValue(47);
  host.Dispatch(effSetProgram, 0, 40);
  EXPECT_EQ(host.Dispatch(effGetProgram), 40);
  EXPECT_EQ(ProgramName(host, 40), "user preset 1");
  EXPECT_EQ(plug->GetParam(kGate)->Value(), 47);
  host.Dispatch(effSetProgram, 0, 41);
  EXPECT_EQ(ProgramName(host, 41), "user preset 2");
  EXPECT_EQ(plug->GetParam(kGate)->Value(), 47);

  // Out of range: nothing changes.
  host.Dispatch(effSetProgram, 0, 50);
  host.Dispatch(effSetProgram, 0, -1);
  EXPECT_EQ(host.Dispatch(effGetProgram), 41);
}

TEST(Presets, CurrentValuesAreCapturedBeforeAProgramChange) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  host.effect()->setParameter(host.effect(), kMix, 0.25f);  // Mix 25 in the default slot
  host.Dispatch(effSetProgram, 0, 10);                      // free: keeps 25
  host.effect()->setParameter(host.effect(), kMix, 1.0f);   // Mix 100 in preset 10
  host.Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(plug->GetParam(kMix)->Value(), 25);
  host.Dispatch(effSetProgram, 0, 10);
  EXPECT_EQ(plug->GetParam(kMix)->Value(), 100);
}

TEST(Presets, AnInUsePresetWithoutValuesIsRefused) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  plug->NameFirstFreePresets("Empty", 1);  // preset 1, in use, no values
  plug->GetParam(kRate)->SetValue(4);
  EXPECT_FALSE(plug->SelectPreset(1));
  EXPECT_EQ(plug->CurrentPresetIndex(), 0);
  EXPECT_EQ(plug->GetParam(kRate)->Value(), 4);  // nothing invented
}

TEST(Presets, RenameStoresTheCurrentValuesToo) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  plug->GetParam(kCycle)->SetValue(7);
  char name[] = "My groove";
  host.Dispatch(effSetProgramName, 0, 0, name);
  EXPECT_EQ(ProgramName(host, 0), "My groove");
  plug->GetParam(kCycle)->SetValue(3);
  EXPECT_TRUE(plug->SelectPreset(0));
  EXPECT_EQ(plug->GetParam(kCycle)->Value(), 7);
  char empty[] = "";
  host.Dispatch(effSetProgramName, 0, 0, empty);
  EXPECT_EQ(ProgramName(host, 0), "My groove");
}

TEST(Presets, NamingMoreThanTheFreeSlotsStopsAtTheEnd) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  plug->NameFirstFreePresets(nullptr, 100);
  for (int i = 1; i < 50; ++i) EXPECT_EQ(ProgramName(host, i), "Default") << i;
  plug->AddFactoryPreset("No room", 1, 2, 3);  // no free slot: nothing happens
  for (int i = 0; i < 50; ++i) EXPECT_NE(ProgramName(host, i), "No room");
}

TEST(Presets, FactoryPresetsStoreOneValuePerParameterAndRecallTheSavedOnes) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  plug->AddFactoryPreset("Factory", 12, 8, 5, 100, 1, 30, 5, 1000, 3, 100, 6023437, 4882812,
                         4882812, 4882812, 9765624, 9765624, 624, 1, 2, 3);
  EXPECT_EQ(ProgramName(host, 1), "Factory");
  EXPECT_EQ(plug->Preset(1)->state.Size(), 20 * 8);
  plug->GetParam(kTimesNudge)->SetValue(-4);
  EXPECT_TRUE(plug->SelectPreset(1));
  EXPECT_EQ(plug->GetParam(kRate)->Value(), 12);
  EXPECT_EQ(plug->GetParam(kTarget)->Value(), 3);
  EXPECT_EQ(plug->GetParam(kPatternWord0)->Value(), 6023437);
  EXPECT_EQ(plug->GetParam(kTimesNudge)->Value(), -4);  // never part of the state
}

TEST(Presets, BankImageRoundTrip) {
  FakeHost source;
  source.plug()->GetParam(kGate)->SetValue(33);
  source.plug()->CaptureCurrentPreset("Thirty-three");
  source.plug()->SelectPreset(5);  // becomes user preset 1
  StateBuffer bank;
  ASSERT_TRUE(source.plug()->SavePresetBank(bank));

  FakeHost target;
  EXPECT_EQ(target.plug()->LoadPresetBank(bank, 0), bank.Size());
  EXPECT_EQ(ProgramName(target, 0), "Thirty-three");
  EXPECT_EQ(ProgramName(target, 5), "user preset 1");
  EXPECT_EQ(ProgramName(target, 6), "- 7 -");
  EXPECT_EQ(target.plug()->GetParam(kGate)->Value(), 33);

  StateBuffer cut;
  cut.AppendBytes(bank.Data(), 10);
  EXPECT_EQ(target.plug()->LoadPresetBank(cut, 0), -1);
}
