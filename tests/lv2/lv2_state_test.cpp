// The plug-in's state: one portable plain-data property of type atom:Chunk
// holding exactly the instance's saved bytes; foreign, truncated, mistyped
// or missing properties are refused and change nothing. (The bytes across
// formats, and a restore over ports not yet applied, are checked through
// the test host in tests/module/lv2_formats.sh.)
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

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
  int stores = 0;  // how many properties were stored
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

void RunOnce(Plugin& plugin) {
  std::vector<float> in(64, 0.25f), outL(64), outR(64);
  plugin.Run(in.data(), in.data(), outL.data(), outR.data(), 64);
}

std::vector<uint8_t> InstanceBytes(Plugin& plugin) {
  StateBuffer buffer;
  EXPECT_TRUE(static_cast<Lv2Gate*>(plugin.Handle())->Instance()->SaveState(buffer, false));
  return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

TEST(Lv2State, SavesTheInstancesBytesAndRefusesWhatIsNotItsOwnState) {
  UridMap map;
  Plugin source(&map);
  source.Start(Direct().PortValues());
  source.Port(kCycle) = 7.0f;
  RunOnce(source);
  const LV2_State_Interface* state = static_cast<const LV2_State_Interface*>(
      source.Descriptor()->extension_data(LV2_STATE__interface));
  Stored saved;
  EXPECT_EQ(state->save(source.Handle(), Store, &saved, 0, nullptr), LV2_STATE_SUCCESS);
  EXPECT_EQ(saved.stores, 1);
  EXPECT_EQ(saved.key, map.Id(kLv2StateKeyUri));
  EXPECT_EQ(saved.type, map.Id(LV2_ATOM__Chunk));
  EXPECT_EQ(saved.flags, static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
  EXPECT_EQ(saved.bytes, InstanceBytes(source));
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
    EXPECT_EQ(state->restore(target.Handle(), Retrieve, &offered, 0, nullptr), c.expected);
    RunOnce(target);
    if (c.unchanged) {
      EXPECT_EQ(InstanceBytes(target), before);
    }
  }
}

}  // namespace
