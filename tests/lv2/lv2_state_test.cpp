// The plug-in's state: one property of type atom:Chunk holding exactly the
// instance's saved bytes (decoded here: the 140-byte chunk of version and
// 17 values, then the extension with program, bypass 0 and the later
// values); restoring them brings the values back and keeps control ports
// that had not yet been applied from overwriting them; foreign, truncated,
// mistyped or missing properties are refused and change nothing.
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/gate_params.h"
#include "framework/state_buffer.h"
#include "lv2/lv2_gate.h"
#include "lv2_fixture.h"

namespace {

using lv2_test::Direct;
using lv2_test::Plugin;
using lv2_test::UridMap;

struct Stored {
  uint32_t key = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  std::vector<uint8_t> bytes;
  int stores = 0;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                       uint32_t type, uint32_t flags) {
  Stored* stored = static_cast<Stored*>(handle);
  const auto* bytes = static_cast<const uint8_t*>(value);
  *stored = {key, type, flags, std::vector<uint8_t>(bytes, bytes + size), stored->stores + 1};
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  const Stored* stored = static_cast<const Stored*>(handle);
  if (key != stored->key) return nullptr;
  *size = stored->bytes.size();
  *type = stored->type;
  *flags = stored->flags;
  // An empty value is still there.
  return stored->bytes.empty() ? static_cast<const void*>(stored) : stored->bytes.data();
}

const LV2_State_Interface* StateOf(const Plugin& plugin) {
  return static_cast<const LV2_State_Interface*>(
      plugin.Descriptor()->extension_data(LV2_STATE__interface));
}

Stored Save(Plugin& plugin) {
  Stored stored;
  EXPECT_EQ(StateOf(plugin)->save(plugin.Handle(), Store, &stored, 0, nullptr), LV2_STATE_SUCCESS);
  EXPECT_EQ(stored.stores, 1);
  return stored;
}

double DoubleAt(const std::vector<uint8_t>& bytes, size_t at) {
  double value = 0.0;
  if (at + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

int32_t IntAt(const std::vector<uint8_t>& bytes, size_t at) {
  int32_t value = -1;
  if (at + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

void RunOnce(Plugin& plugin) {
  std::vector<float> in(64, 0.25f), outL(64), outR(64);
  plugin.Run(in.data(), in.data(), outL.data(), outR.data(), 64);
}

std::vector<uint8_t> InstanceBytes(Plugin& plugin) {
  StateBuffer buffer;
  EXPECT_TRUE(static_cast<Lv2Gate*>(plugin.Handle())->Instance()->SaveState(buffer, false));
  return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

double PlainOf(Plugin& plugin, int param) {
  EffectInstance* instance = static_cast<Lv2Gate*>(plugin.Handle())->Instance();
  return instance->ParamPlain(param, instance->ParamNormalized(param));
}

TEST(Lv2State, SavesTheInstancesBytesAndRestoresThemOverPortsNotYetApplied) {
  UridMap map;
  Plugin source(&map);
  source.Start(Direct().PortValues());
  source.Port(kCycle) = 7.0f;
  source.Port(kSwing) = 60.0f;
  RunOnce(source);
  const Stored saved = Save(source);
  EXPECT_EQ(saved.key, map.Id(kLv2StateKeyUri));
  EXPECT_EQ(saved.type, map.Id(LV2_ATOM__Chunk));
  EXPECT_EQ(saved.flags, static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
  EXPECT_EQ(saved.bytes, InstanceBytes(source));
  // Decoded: 140 bytes of version and 17 values, then "QRVX", its version,
  // 68 payload bytes, program 0, bypass 0, 7 later values.
  ASSERT_EQ(saved.bytes.size(), 220u);
  EXPECT_EQ(DoubleAt(saved.bytes, 4 + 8 * kCycle), 7.0);
  EXPECT_EQ(std::string(saved.bytes.begin() + 140, saved.bytes.begin() + 144), "QRVX");
  EXPECT_EQ(IntAt(saved.bytes, 148), 68);
  EXPECT_EQ(IntAt(saved.bytes, 156), 0);        // no bypass
  EXPECT_EQ(DoubleAt(saved.bytes, 164), 60.0);  // swing, the first later value

  Plugin target(&map);
  target.Start(Direct().PortValues());
  RunOnce(target);
  // The host moved a port, then restores before the next block.
  target.Port(kCycle) = 3.0f;
  Stored offered = saved;
  EXPECT_EQ(StateOf(target)->restore(target.Handle(), Retrieve, &offered, 0, nullptr),
            LV2_STATE_SUCCESS);
  RunOnce(target);
  EXPECT_EQ(PlainOf(target, kCycle), 7.0);
  EXPECT_EQ(InstanceBytes(target), saved.bytes);
  // A port moved after the restore applies as ever.
  target.Port(kCycle) = 9.0f;
  RunOnce(target);
  EXPECT_EQ(PlainOf(target, kCycle), 9.0);
}

TEST(Lv2State, RefusesWhatIsNotItsOwnState) {
  UridMap map;
  Plugin source(&map);
  source.Start(Direct().PortValues());
  source.Port(kCycle) = 7.0f;
  RunOnce(source);
  const Stored saved = Save(source);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* type;
    bool keyed;
    LV2_State_Status expected;
    bool unchanged;  // a truncated state of ours may supply what it holds
  };
  const Case cases[] = {
      {"foreign bytes", std::vector<uint8_t>(400, 'x'), LV2_ATOM__Chunk, true,
       LV2_STATE_ERR_UNKNOWN, true},
      {"empty", {}, LV2_ATOM__Chunk, true, LV2_STATE_ERR_UNKNOWN, true},
      {"truncated", std::vector<uint8_t>(saved.bytes.begin(), saved.bytes.begin() + 60),
       LV2_ATOM__Chunk, true, LV2_STATE_ERR_UNKNOWN, false},
      {"another type", saved.bytes, LV2_ATOM__String, true, LV2_STATE_ERR_BAD_TYPE, true},
      {"no property", saved.bytes, LV2_ATOM__Chunk, false, LV2_STATE_ERR_NO_PROPERTY, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Plugin target(&map);
    target.Start(Direct().PortValues());
    RunOnce(target);
    const std::vector<uint8_t> before = InstanceBytes(target);
    Stored offered = {c.keyed ? map.Id(kLv2StateKeyUri) : map.Id("urn:elsewhere"), map.Id(c.type),
                      LV2_STATE_IS_POD, c.bytes, 0};
    EXPECT_EQ(StateOf(target)->restore(target.Handle(), Retrieve, &offered, 0, nullptr),
              c.expected);
    RunOnce(target);
    if (!c.unchanged) continue;
    EXPECT_EQ(InstanceBytes(target), before);
    EXPECT_EQ(PlainOf(target, kCycle), 16.0);
  }
}

}  // namespace
