// The preset bank: names, free slots becoming user presets, capture before a
// program change, rename, factory presets and the bank image, on the
// framework's own test effect; then the gate's bank as a host sees it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "engine/gate_plug.h"
#include "support/fake_host.h"
#include "support/framework_test_plug.h"

using namespace vst2;

namespace {

using P = FrameworkTestPlug;

std::string ProgramName(FakeHost& host, int index) {
  char name[64] = {};
  host.Dispatch(effGetProgramNameIndexed, index, 0, name);
  return name;
}

// A host bound to the framework's test effect.
struct TestHost : FakeHost {
  TestHost() : FakeHost(&CreateFrameworkTestPlug) {}
};

void PutInt32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> 8 * i));
}
void PutDouble(std::vector<uint8_t>& bytes, double value) {
  uint64_t bits;
  memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(bits >> 8 * i));
}

// Parameters 17-23: defaults, then maxima.
constexpr double kGrooveDefaults[7] = {50, 100, 0, 0, 0, 0, 0};
constexpr double kGrooveMaxima[7] = {75, 100, 2, 3, 4194303, 4194303, 1048575};

}  // namespace

TEST(Presets, StartNamedAndFreeExceptTheDefault) {
  TestHost host;
  EXPECT_EQ(host.effect()->numPrograms, 10);
  EXPECT_EQ(ProgramName(host, 0), "---- default ----");
  EXPECT_EQ(ProgramName(host, 1), "- 2 -");
  EXPECT_EQ(ProgramName(host, 9), "- 10 -");
  EXPECT_TRUE(host.plug()->Preset(0)->inUse);
  EXPECT_FALSE(host.plug()->Preset(1)->inUse);
  EXPECT_FALSE(host.plug()->Preset(9)->inUse);
  EXPECT_EQ(host.plug()->Preset(0)->state.Size(), 0);
}

TEST(Presets, SelectingFreeSlotsMakesNumberedUserPresetsWithCurrentValues) {
  TestHost host;
  IPlugVST* plug = host.plug();
  plug->GetParam(P::kLevel)->SetValue(47);
  host.Dispatch(effSetProgram, 0, 7);
  EXPECT_EQ(host.Dispatch(effGetProgram), 7);
  EXPECT_EQ(ProgramName(host, 7), "user preset 1");
  EXPECT_EQ(plug->GetParam(P::kLevel)->Value(), 47);
  host.Dispatch(effSetProgram, 0, 8);
  EXPECT_EQ(ProgramName(host, 8), "user preset 2");
  EXPECT_EQ(plug->GetParam(P::kLevel)->Value(), 47);

  // Out of range: nothing changes.
  host.Dispatch(effSetProgram, 0, 10);
  host.Dispatch(effSetProgram, 0, -1);
  EXPECT_EQ(host.Dispatch(effGetProgram), 8);
}

TEST(Presets, CurrentValuesAreCapturedBeforeAProgramChange) {
  TestHost host;
  IPlugVST* plug = host.plug();
  host.effect()->setParameter(host.effect(), P::kLevel, 0.25f);  // 25 in the default slot
  host.Dispatch(effSetProgram, 0, 4);                            // free: keeps 25
  host.effect()->setParameter(host.effect(), P::kLevel, 1.0f);   // 100 in preset 4
  host.Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(plug->GetParam(P::kLevel)->Value(), 25);
  host.Dispatch(effSetProgram, 0, 4);
  EXPECT_EQ(plug->GetParam(P::kLevel)->Value(), 100);
}

TEST(Presets, ProgramNumbersOutsideTheBankAreRefused) {
  TestHost host;
  IPlugVST* plug = host.plug();
  for (intptr_t value : {intptr_t{-1}, intptr_t{P::kPresetCount}}) {
    host.Dispatch(effSetProgram, 0, value);
    EXPECT_EQ(host.Dispatch(effGetProgram), 0) << value;
  }
  // A value past 32 bits must not wrap onto slot 3.
  if (sizeof(intptr_t) == 8) {
    host.Dispatch(effSetProgram, 0, static_cast<intptr_t>((uint64_t{1} << 32) | 3u));
    EXPECT_EQ(host.Dispatch(effGetProgram), 0);
    EXPECT_FALSE(plug->Preset(3)->inUse);
    EXPECT_EQ(ProgramName(host, 3), "- 4 -");
  }
}

TEST(Presets, AnInUsePresetWithoutValuesIsRefused) {
  TestHost host;
  IPlugVST* plug = host.plug();
  plug->NameFirstFreePresets("Empty", 1);  // preset 1, in use, no values
  EXPECT_EQ(ProgramName(host, 1), "Empty");
  plug->GetParam(P::kSteps)->SetValue(4);
  EXPECT_FALSE(plug->SelectPreset(1));
  EXPECT_EQ(plug->CurrentPresetIndex(), 0);
  EXPECT_EQ(plug->GetParam(P::kSteps)->Value(), 4);  // nothing invented
}

TEST(Presets, RenameStoresTheCurrentValuesToo) {
  TestHost host;
  IPlugVST* plug = host.plug();
  plug->GetParam(P::kSteps)->SetValue(7);
  char name[] = "My groove";
  host.Dispatch(effSetProgramName, 0, 0, name);
  EXPECT_EQ(ProgramName(host, 0), "My groove");
  plug->GetParam(P::kSteps)->SetValue(3);
  EXPECT_TRUE(plug->SelectPreset(0));
  EXPECT_EQ(plug->GetParam(P::kSteps)->Value(), 7);
  char empty[] = "";
  host.Dispatch(effSetProgramName, 0, 0, empty);
  EXPECT_EQ(ProgramName(host, 0), "My groove");
}

TEST(Presets, NamingMoreThanTheFreeSlotsStopsAtTheEnd) {
  TestHost host;
  IPlugVST* plug = host.plug();
  plug->NameFirstFreePresets(nullptr, 100);
  EXPECT_EQ(ProgramName(host, 0), "---- default ----");
  for (int i = 1; i < 10; ++i) EXPECT_EQ(ProgramName(host, i), "Default") << i;
  plug->AddFactoryPreset("No room", 1, 2, 3, 0.5, 0);  // no free slot: nothing happens
  for (int i = 0; i < 10; ++i) EXPECT_NE(ProgramName(host, i), "No room");
}

TEST(Presets, FactoryPresetsStoreOneValuePerParameterAndRecallTheSavedOnes) {
  TestHost host;
  IPlugVST* plug = host.plug();
  // One value per parameter object, the real one as a double.
  plug->AddFactoryPreset("Factory", 12, 8, 3, 0.25, 2);
  EXPECT_EQ(ProgramName(host, 1), "Factory");
  EXPECT_TRUE(plug->Preset(1)->inUse);
  // The announced parameters, then an extension with none after them.
  EXPECT_EQ(plug->Preset(1)->state.Size(), P::kAnnouncedParams * 8 + 24);
  double stored = 0;
  EXPECT_EQ(plug->Preset(1)->state.ReadDouble(8 * P::kAmount, &stored), 8 * (P::kAmount + 1));
  EXPECT_EQ(stored, 0.25);

  plug->GetParam(P::kNudge)->SetValue(-4);
  EXPECT_TRUE(plug->SelectPreset(1));
  EXPECT_EQ(plug->GetParam(P::kLevel)->Value(), 12);
  EXPECT_EQ(plug->GetParam(P::kSteps)->Value(), 8);
  EXPECT_EQ(plug->GetParam(P::kMode)->Value(), 3);
  EXPECT_EQ(plug->GetParam(P::kAmount)->Value(), 0.25);
  EXPECT_EQ(plug->GetParam(P::kNudge)->Value(), -4);  // never part of the state
  // The next factory preset takes the next free slot.
  plug->AddFactoryPreset("Second", 1, 1, 0, 1.0, 0);
  EXPECT_EQ(ProgramName(host, 2), "Second");
}

TEST(Presets, BankImageRoundTrip) {
  TestHost source;
  source.plug()->GetParam(P::kLevel)->SetValue(33);
  source.plug()->CaptureCurrentPreset("Thirty-three");
  source.plug()->SelectPreset(5);  // becomes user preset 1
  StateBuffer bank;
  ASSERT_TRUE(source.plug()->SavePresetBank(bank));

  TestHost target;
  EXPECT_EQ(target.plug()->LoadPresetBank(bank, 0), bank.Size());
  EXPECT_EQ(ProgramName(target, 0), "Thirty-three");
  EXPECT_EQ(ProgramName(target, 5), "user preset 1");
  EXPECT_EQ(ProgramName(target, 6), "- 7 -");
  EXPECT_FALSE(target.plug()->Preset(6)->inUse);
  EXPECT_EQ(target.plug()->GetParam(P::kLevel)->Value(), 33);

  StateBuffer cut;
  cut.AppendBytes(bank.Data(), 10);
  EXPECT_EQ(target.plug()->LoadPresetBank(cut, 0), -1);
}

// The gate's own bank: the starting slot, the 24 factory patterns, then
// free slots with the framework's numbered names. A factory slot holds the
// 17 chunk values, then the extension with its own number and the groove
// and control defaults.
TEST(Presets, TheEffectsBankAsAHostSeesIt) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  ASSERT_EQ(host.effect()->numPrograms, 50);
  EXPECT_EQ(ProgramName(host, 0), "---- default ----");
  EXPECT_EQ(plug->Preset(0)->state.Size(), 0);
  EXPECT_EQ(ProgramName(host, 1), "Mini Gate");
  for (int i = 1; i <= kFactoryPresetCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ProgramName(host, i), kFactoryPresets[i - 1].name);
    EXPECT_TRUE(plug->Preset(i)->inUse);
    // After the 17 values: "QRVX", version 2, 68 payload bytes, its own
    // number, no bypass, then the seven defaults.
    std::vector<uint8_t> extension = {'Q', 'R', 'V', 'X'};
    for (uint32_t word : {2u, 68u, static_cast<uint32_t>(i), 0u, 7u}) PutInt32(extension, word);
    for (double value : kGrooveDefaults) PutDouble(extension, value);
    const StateBuffer& state = plug->Preset(i)->state;
    ASSERT_EQ(state.Size(), 136 + 80);
    EXPECT_EQ(std::vector<uint8_t>(state.Data() + 136, state.Data() + 216), extension);
  }
  EXPECT_EQ(ProgramName(host, 25), "- 26 -");
  EXPECT_EQ(ProgramName(host, 49), "- 50 -");
  EXPECT_FALSE(plug->Preset(25)->inUse);
  EXPECT_FALSE(plug->Preset(49)->inUse);
}

// An older build's bank (per slot: int32 name length, the name, a byte "in
// use", then its 17 values) gives every program its values and the groove
// defaults; saved again after each program got other groove values (captured
// by the program change), it carries them into another instance.
TEST(Presets, AnOlderBuildsBankLoadsEveryProgramAndRoundTripsWithItsExtensions) {
  std::mt19937 random(20261207u);
  std::vector<uint8_t> image;
  std::vector<std::vector<double>> values(50);
  for (int slot = 0; slot < 50; ++slot) {
    const std::string name = "old " + std::to_string(slot);
    PutInt32(image, static_cast<uint32_t>(name.size()));
    image.insert(image.end(), name.begin(), name.end());
    const bool inUse = slot % 7 != 6;
    image.push_back(inUse ? 1 : 0);
    if (!inUse) continue;
    // Cycle, Gate and Mix vary; the rest stay at their defaults.
    values[slot] = {9,  16,      5,       100,     1,       30,      5,       1000, 0,
                    80, 4882812, 4882812, 4882812, 5078124, 9765624, 9765624, 624};
    values[slot][kCycle] = 1 + random() % 32;
    values[slot][kGate] = random() % 101;
    values[slot][kMix] = random() % 101;
    for (double value : values[slot]) PutDouble(image, value);
  }
  StateBuffer bank;
  bank.AppendBytes(image.data(), static_cast<int32_t>(image.size()));

  FakeHost host;
  IPlugVST* plug = host.plug();
  for (int i = 17; i < 24; ++i) host.effect()->setParameter(host.effect(), i, 0.6f);
  ASSERT_EQ(plug->LoadPresetBank(bank, 0), bank.Size());
  auto expectPrograms = [&](FakeHost& h, const double* groove) {
    for (int slot = 0; slot < 50; ++slot) {
      SCOPED_TRACE(slot);
      if (values[slot].empty()) {
        EXPECT_FALSE(h.plug()->Preset(slot)->inUse);
        continue;
      }
      h.Dispatch(effSetProgram, 0, slot);
      EXPECT_EQ(ProgramName(h, slot), "old " + std::to_string(slot));
      for (int i = 0; i < 17; ++i) EXPECT_EQ(h.plug()->GetParam(i)->Value(), values[slot][i]) << i;
      for (int i = 17; i < 24; ++i) EXPECT_EQ(h.plug()->GetParam(i)->Value(), groove[i - 17]) << i;
    }
  };
  expectPrograms(host, kGrooveDefaults);

  // Every program in use given the groove maxima, then saved as a bank.
  for (int slot = 0; slot < 50; ++slot) {
    if (values[slot].empty()) continue;
    host.Dispatch(effSetProgram, 0, slot);
    for (int i = 17; i < 24; ++i) host.effect()->setParameter(host.effect(), i, 1.0f);
  }
  host.Dispatch(effSetProgram, 0, 0);
  StateBuffer saved;
  ASSERT_TRUE(plug->SavePresetBank(saved));
  int inUse = 0;
  for (const std::vector<double>& v : values) inUse += v.empty() ? 0 : 1;
  EXPECT_EQ(saved.Size(), bank.Size() + inUse * 80);
  FakeHost other;
  ASSERT_EQ(other.plug()->LoadPresetBank(saved, 0), saved.Size());
  expectPrograms(other, kGrooveMaxima);
}
