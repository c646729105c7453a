// Instance creation: two hosts' threads creating effects at once, the
// channel configuration parsing and the record's lifetime.
#include <gtest/gtest.h>

#include <thread>

#include "engine/gate_plug.h"
#include "support/fake_host.h"

using namespace vst2;

namespace {

// A framework instance with a configurable channel string.
class ConfigPlug : public IPlugVST {
 public:
  explicit ConfigPlug(const char* config)
      : IPlugVST(nullptr, 1, config, 0, "Test", "", "Vendor", 0x00020304, 1, 2, 0, 0, false,
                 false) {}
};

}  // namespace

TEST(Instance, TwoThreadsCreateIndependentInstances) {
  AEffect* first = nullptr;
  AEffect* second = nullptr;
  std::thread a([&] { first = VSTPluginMain(&FakeHost::Callback); });
  std::thread b([&] { second = VSTPluginMain(&FakeHost::Callback); });
  a.join();
  b.join();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_NE(first, second);
  EXPECT_NE(first->object, second->object);

  first->setParameter(first, kGate, 0.25f);
  EXPECT_FLOAT_EQ(first->getParameter(first, kGate), 0.25f);
  EXPECT_FLOAT_EQ(second->getParameter(second, kGate), 1.0f);

  first->dispatcher(first, effClose, 0, 0, nullptr, 0.0f);
  EXPECT_FLOAT_EQ(second->getParameter(second, kGate), 1.0f);
  second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
}

TEST(Instance, ChannelConfigurationStrings) {
  ConfigPlug stereoOnly("2-2");
  EXPECT_EQ(stereoOnly.NInChannels(), 2);
  EXPECT_EQ(stereoOnly.NOutChannels(), 2);
  EXPECT_EQ(stereoOnly.Effect()->flags & effFlagsMono, 0);
  EXPECT_FALSE(stereoOnly.MatchesChannelConfig(1, -1));

  ConfigPlug mixed("1-1 2-2");
  EXPECT_TRUE(mixed.MatchesChannelConfig(1, -1));
  EXPECT_TRUE(mixed.MatchesChannelConfig(-1, 2));
  EXPECT_FALSE(mixed.MatchesChannelConfig(1, 2));
  EXPECT_EQ(mixed.Effect()->flags, 0x1018);

  ConfigPlug none(nullptr);
  EXPECT_EQ(none.NInChannels(), 0);
  EXPECT_EQ(none.Effect()->numOutputs, 0);

  ConfigPlug wide("1-2 4-6");
  EXPECT_EQ(wide.NInChannels(), 4);
  EXPECT_EQ(wide.NOutChannels(), 6);
  VstPinProperties pin = {};
  AEffect* effect = wide.Effect();
  effect->dispatcher(effect, effGetOutputProperties, 4, 0, &pin, 0.0f);
  EXPECT_EQ(pin.flags, 3);
  effect->dispatcher(effect, effGetOutputProperties, 5, 0, &pin, 0.0f);
  EXPECT_EQ(pin.flags, 1);

  // Version forms.
  EXPECT_EQ(wide.VersionDecimal(), 2 * 10000 + 3 * 100 + 4);
  EXPECT_EQ(effect->version, 20304);
}

TEST(Instance, EnsureOnePresetGivesAnEmptyBankADefault) {
  ConfigPlug plug("1-1");
  EXPECT_EQ(plug.NPresets(), 0);
  plug.EnsureOnePreset();
  ASSERT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.PresetName(0), "Default");
  EXPECT_TRUE(plug.Preset(0)->inUse);
}
