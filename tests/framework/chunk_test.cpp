// The state chunk handed to the host: layout, round trip between instances,
// what a short chunk may and may not do, and the foreign chunks it refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/gate_plug.h"
#include "support/fake_host.h"

using namespace vst2;

namespace {

std::vector<uint8_t> GetChunk(FakeHost& host, int index) {
  void* data = nullptr;
  const intptr_t size = host.Dispatch(effGetChunk, index, 0, &data);
  if (size <= 0 || !data) return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

// Decodes a little-endian double from its bytes without relying on the host's order.
double DecodeDouble(const uint8_t* bytes) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
  double value;
  memcpy(&value, &bits, sizeof value);
  return value;
}

std::vector<uint8_t> EncodeDouble(double value) {
  uint64_t bits;
  memcpy(&bits, &value, sizeof bits);
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  return bytes;
}

// Counts every change notification the framework sends.
class CountingGate : public VSTCLASS {
 public:
  CountingGate() : VSTCLASS(nullptr) {}
  void OnParamChanged(int index) override {
    VSTCLASS::OnParamChanged(index);
    notified.push_back(index);
  }
  std::vector<int> notified;
};

constexpr double kDefaults[17] = {9,  16,      5,       100,     1,       30,      5,       1000, 0,
                                  80, 4882812, 4882812, 4882812, 5078124, 9765624, 9765624, 624};

}  // namespace

TEST(Chunk, FreshInstanceChunkIsVersionThenSeventeenLittleEndianDoubles) {
  FakeHost host;
  for (int index : {0, 1}) {
    const std::vector<uint8_t> chunk = GetChunk(host, index);
    ASSERT_EQ(chunk.size(), 140u) << "chunk index " << index;
    // 10000 = 0x2710, least significant byte first.
    EXPECT_EQ(chunk[0], 0x10);
    EXPECT_EQ(chunk[1], 0x27);
    EXPECT_EQ(chunk[2], 0x00);
    EXPECT_EQ(chunk[3], 0x00);
    for (int i = 0; i < 17; ++i) {
      EXPECT_EQ(DecodeDouble(&chunk[4 + 8 * i]), kDefaults[i]) << "parameter " << i;
    }
  }
  // 1000.0 is 0x408F400000000000: check one value byte by byte as well.
  const std::vector<uint8_t> chunk = GetChunk(host, 1);
  const uint8_t splitFreq[8] = {0, 0, 0, 0, 0, 0x40, 0x8F, 0x40};
  EXPECT_EQ(memcmp(&chunk[4 + 8 * 7], splitFreq, 8), 0);
}

TEST(Chunk, SaveThenLoadRestoresEveryParameterInAnotherInstance) {
  FakeHost source;
  // Move every host-visible parameter away from its default.
  const float positions[17] = {0.9f, 0.1f, 0.7f, 0.3f, 0.0f,  0.5f, 0.8f,  0.25f, 1.0f,
                               0.4f, 0.0f, 0.2f, 0.6f, 0.33f, 0.1f, 0.75f, 0.5f};
  for (int i = 0; i < 17; ++i) source.effect()->setParameter(source.effect(), i, positions[i]);
  const std::vector<uint8_t> chunk = GetChunk(source, 1);
  ASSERT_EQ(chunk.size(), 140u);

  FakeHost target;
  std::vector<uint8_t> copy = chunk;
  EXPECT_EQ(target.Dispatch(effSetChunk, 1, static_cast<intptr_t>(copy.size()), copy.data()), 1);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(target.plug()->GetParam(i)->Value(), source.plug()->GetParam(i)->Value())
        << "parameter " << i;
    EXPECT_NE(target.plug()->GetParam(i)->Value(), kDefaults[i]) << "parameter " << i;
  }
  EXPECT_EQ(GetChunk(target, 0), chunk);
}

TEST(Chunk, LoadingNotifiesEveryParameterObjectAndLeavesUnsavedOnesAlone) {
  CountingGate gate;
  gate.GetParam(kTimesNudge)->SetValue(3);
  AEffect* effect = gate.Effect();
  void* data = nullptr;
  const intptr_t size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
  ASSERT_EQ(size, 140);
  std::vector<uint8_t> chunk(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);

  gate.notified.clear();
  EXPECT_EQ(effect->dispatcher(effect, effSetChunk, 1, size, chunk.data(), 0.0f), 1);
  std::vector<int> expected;
  for (int i = 0; i < 20; ++i) expected.push_back(i);
  EXPECT_EQ(gate.notified, expected);
  EXPECT_EQ(gate.GetParam(kTimesNudge)->Value(), 3);
}

TEST(Chunk, TruncatedChunkKeepsValuesItDoesNotCarryAndReportsFailure) {
  CountingGate gate;
  AEffect* effect = gate.Effect();
  gate.GetParam(kSplitFreq)->SetValue(5000);
  gate.GetParam(kMix)->SetValue(42);

  // Version + 7 doubles: parameters 0-6 only.
  std::vector<uint8_t> chunk = {0x10, 0x27, 0, 0};
  const double carried[7] = {3, 8, 150, 60, 0, 10, 90};
  for (double v : carried) {
    const std::vector<uint8_t> bytes = EncodeDouble(v);
    chunk.insert(chunk.end(), bytes.begin(), bytes.end());
  }
  ASSERT_EQ(chunk.size(), 60u);
  gate.notified.clear();
  EXPECT_EQ(effect->dispatcher(effect, effSetChunk, 1, 60, chunk.data(), 0.0f), 0);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(gate.GetParam(i)->Value(), carried[i]) << i;
  EXPECT_EQ(gate.GetParam(kSplitFreq)->Value(), 5000);  // its bytes are missing
  EXPECT_EQ(gate.GetParam(kMix)->Value(), 42);
  EXPECT_EQ(gate.notified.size(), 20u);

  // Three bytes: not even a version. Nothing changes, everything is notified.
  gate.notified.clear();
  const uint8_t three[3] = {1, 2, 3};
  EXPECT_EQ(effect->dispatcher(effect, effSetChunk, 1, 3, const_cast<uint8_t*>(three), 0.0f), 0);
  EXPECT_EQ(gate.GetParam(kRate)->Value(), 3);
  EXPECT_EQ(gate.notified.size(), 20u);

  // A value cut in the middle of its eight bytes is not read either.
  chunk.resize(4 + 8 + 5);
  gate.GetParam(kCycle)->SetValue(20);
  EXPECT_EQ(effect->dispatcher(effect, effSetChunk, 1, 17, chunk.data(), 0.0f), 0);
  EXPECT_EQ(gate.GetParam(kRate)->Value(), 3);
  EXPECT_EQ(gate.GetParam(kCycle)->Value(), 20);
}

TEST(Chunk, HostileSizesAndPointersAreRefused) {
  FakeHost host;
  EXPECT_EQ(host.Dispatch(effGetChunk, 1, 0, nullptr), 0);
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, 140, nullptr), 0);
  uint8_t bytes[8] = {};
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, -5, bytes), 0);
  EXPECT_EQ(host.plug()->GetParam(kRate)->Value(), 9);
}

TEST(Chunk, LoadedValuesAreClampedToTheirRange) {
  FakeHost host;
  std::vector<uint8_t> chunk = GetChunk(host, 1);
  const std::vector<uint8_t> tooHigh = EncodeDouble(99999.0);
  std::copy(tooHigh.begin(), tooHigh.end(), chunk.begin() + 4 + 8 * kCycle);
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, static_cast<intptr_t>(chunk.size()), chunk.data()), 1);
  EXPECT_EQ(host.plug()->GetParam(kCycle)->Value(), 32);
}

// Not ours: another version word, or after the parameters anything but the
// VST 3 state's extension (which this format skips). Refused before anything
// is touched: no value changes, no notification runs.
TEST(Chunk, ForeignChunksAreRefusedAndTheVst3ExtensionIsSkipped) {
  FakeHost source;
  for (int i = 0; i < 17; ++i) source.effect()->setParameter(source.effect(), i, 0.3f);
  const std::vector<uint8_t> chunk = GetChunk(source, 0);
  ASSERT_EQ(chunk.size(), 140u);
  auto withInt32 = [](std::vector<uint8_t> bytes, size_t at, uint32_t value) {
    if (bytes.size() < at + 4) bytes.resize(at + 4);
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> 8 * i);
    return bytes;
  };
  // "QRVX", version 1, 8 payload bytes, program 5, bypass on.
  std::vector<uint8_t> vst3State = chunk;
  for (char c : {'Q', 'R', 'V', 'X'}) vst3State.push_back(static_cast<uint8_t>(c));
  for (uint32_t word : {1u, 8u, 5u, 1u}) vst3State = withInt32(vst3State, vst3State.size(), word);
  ASSERT_EQ(vst3State.size(), 160u);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    intptr_t result;
    bool loads;
  };
  const Case cases[] = {
      {"VST 3 state", vst3State, 1, true},
      {"VST 3 state cut in its extension",
       std::vector<uint8_t>(vst3State.begin(), vst3State.begin() + 150), 0, true},
      {"text", std::vector<uint8_t>(400, 'x'), 0, false},
      {"version 9999", withInt32(chunk, 0, 9999), 0, false},
      {"version 10001", withInt32(chunk, 0, 10001), 0, false},
      {"bytes after the parameters", withInt32(chunk, 140, 0), 0, false},
      {"extension of program 50", withInt32(vst3State, 152, 50), 0, false},
      {"extension with bypass 2", withInt32(vst3State, 156, 2), 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingGate gate;
    AEffect* effect = gate.Effect();
    gate.notified.clear();
    std::vector<uint8_t> bytes = c.bytes;
    EXPECT_EQ(effect->dispatcher(effect, effSetChunk, 0, static_cast<intptr_t>(bytes.size()),
                                 bytes.data(), 0.0f),
              c.result);
    for (int i = 0; i < 17; ++i) {
      EXPECT_EQ(gate.GetParam(i)->Value(),
                c.loads ? source.plug()->GetParam(i)->Value() : kDefaults[i])
          << i;
    }
    EXPECT_EQ(gate.notified.size(), c.loads ? 20u : 0u);
  }
}
