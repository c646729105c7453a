// The CLAP state against the VST 3 component state, over seeded random
// parameter sets (QUORVEL_SEED replays another seed; the seed is printed):
// the same plain values, program and bypass give the same bytes, whose
// program and bypass the test decodes itself (int32 version 10000, 17
// doubles, "QRVX" at 140, program at 152, bypass at 156); every byte string
// loads or is refused as the VST 3 glue answers it (ours, cut anywhere,
// with bytes after it, foreign), leaving the same state behind; a refused
// foreign state changes nothing. Streams that move a few bytes a call
// carry the same bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "clap_test_host.h"
#include "instance/effect_instance.h"
#include "support/fake_host.h"
#include "vst3/gate_plugin.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Int32At(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | bytes[at + static_cast<size_t>(i)];
  return value;
}

Bytes Vst3Save(GatePlugin& v) {
  MemoryStream stream;
  EXPECT_EQ(v3_cpp_obj(v.component)->get_state(v.component, stream.Stream()), kResultOk);
  const std::vector<char>& bytes = stream.Bytes();
  return Bytes(bytes.begin(), bytes.end());
}

bool Vst3Load(GatePlugin& v, const Bytes& bytes) {
  MemoryStream stream(std::vector<char>(bytes.begin(), bytes.end()));
  return v3_cpp_obj(v.component)->set_state(v.component, stream.Stream()) == kResultOk;
}

bool ClapLoad(ClapPlugin& p, const Bytes& bytes, size_t piece = 1 << 20) {
  ByteStreams streams(bytes, piece);
  return p.State()->load(p.plugin, &streams.in);
}

// The same plain values for both: the CLAP plug-in through a flush, the
// VST 3 controller through its own plain-to-normalized conversion.
void SetBoth(ClapPlugin& p, GatePlugin& v, clap_id id, double plain) {
  InputEvents in;
  in.Value(0, id, plain);
  p.Params()->flush(p.plugin, in.List(), nullptr);
  v.SetParam(id, v3_cpp_obj(v.controller)->plain_parameter_to_normalised(v.controller, id, plain));
}

// A program, maybe moved values (pattern words too) and a bypass.
void RandomSet(std::mt19937& random, ClapPlugin& p, GatePlugin& v) {
  const int programs = p.Object()->Instance()->ProgramCount();
  SetBoth(p, v, GateClap::kProgramParamId, static_cast<double>(random() % programs));
  if (random() % 2) {
    std::uniform_real_distribution<double> position(0.0, 1.0);
    for (uint32_t i = 0; i < GateClap::kVisibleParams; ++i) {
      if (random() % 3 == 0) continue;
      clap_param_info_t info;
      p.Params()->get_info(p.plugin, i, &info);
      SetBoth(p, v, info.id, info.min_value + (info.max_value - info.min_value) * position(random));
    }
  }
  SetBoth(p, v, GateClap::kBypassParamId, static_cast<double>(random() % 2));
}

unsigned Seed() {
  const char* text = std::getenv("QUORVEL_SEED");
  const unsigned seed = text ? static_cast<unsigned>(std::strtoul(text, nullptr, 0)) : 20261208u;
  std::printf("seed %u (QUORVEL_SEED replays it)\n", seed);
  return seed;
}

TEST(ClapState, SameValuesSaveTheVst3Bytes) {
  std::mt19937 random(Seed());
  HostContext vst3Host;
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    TestHost host;
    ClapPlugin p(host);
    GatePlugin v = GatePlugin::Create();
    v.Start(vst3Host, V3_SAMPLE_32, 256, 48000.0);
    RandomSet(random, p, v);
    const Bytes expected = Vst3Save(v);
    // Written a few bytes a call, as a host's stream may take them.
    ByteStreams streams({}, 1 + random() % 9);
    ASSERT_TRUE(p.State()->save(p.plugin, &streams.out));
    EXPECT_EQ(streams.bytes, expected);
    ASSERT_GE(streams.bytes.size(), 160u);
    EXPECT_EQ(Int32At(streams.bytes, 0), 10000u);
    EXPECT_EQ(std::string(streams.bytes.begin() + 140, streams.bytes.begin() + 144), "QRVX");
    EXPECT_EQ(Int32At(streams.bytes, 152),
              static_cast<uint32_t>(p.Value(GateClap::kProgramParamId)));
    EXPECT_EQ(Int32At(streams.bytes, 156),
              static_cast<uint32_t>(p.Value(GateClap::kBypassParamId)));
    v.Stop();
    v.Release();
  }
}

TEST(ClapState, LoadsAndRefusesWhatTheVst3GlueDoes) {
  std::mt19937 random(Seed());
  HostContext vst3Host;
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    // The state to load, made in a pair of its own.
    TestHost sourceHost;
    ClapPlugin source(sourceHost);
    GatePlugin sourceV = GatePlugin::Create();
    sourceV.Start(vst3Host, V3_SAMPLE_32, 256, 48000.0);
    RandomSet(random, source, sourceV);
    const Bytes state = source.Save();
    sourceV.Stop();
    sourceV.Release();

    Bytes foreign(random() % 300);
    for (uint8_t& byte : foreign) byte = static_cast<uint8_t>(random());
    if (foreign.size() >= 4 && Int32At(foreign, 0) == 10000u) foreign[0] ^= 1;
    Bytes longer = state;
    longer.resize(state.size() + 1 + random() % 64, static_cast<uint8_t>(random()));
    const size_t cut = random() % state.size();
    const Bytes candidates[] = {state, Bytes(state.begin(), state.begin() + static_cast<long>(cut)),
                                longer, foreign, Bytes()};
    for (const Bytes& bytes : candidates) {
      SCOPED_TRACE(testing::Message() << bytes.size() << " bytes (state " << state.size()
                                      << ", cut at " << cut << ")");
      TestHost host;
      ClapPlugin p(host);
      GatePlugin v = GatePlugin::Create();
      v.Start(vst3Host, V3_SAMPLE_32, 256, 48000.0);
      RandomSet(random, p, v);
      const Bytes before = p.Save();
      ASSERT_EQ(before, Vst3Save(v));
      const bool vst3Took = Vst3Load(v, bytes);
      // Read a few bytes a call, as a host's stream may give them.
      const bool clapTook = ClapLoad(p, bytes, 1 + random() % 9);
      EXPECT_EQ(clapTook, vst3Took);
      EXPECT_EQ(p.Save(), Vst3Save(v));
      // The host reads the values again after a load that took.
      EXPECT_EQ(host.rescans > 0, clapTook);
      if (&bytes == &candidates[0]) {
        EXPECT_TRUE(clapTook);
      }
      if (&bytes == &candidates[3] || &bytes == &candidates[4]) {
        EXPECT_EQ(p.Save(), before);
      }
      v.Stop();
      v.Release();
    }
  }
}

// A host stream that takes nothing, or fails, makes the save fail; one that
// gives nothing loads nothing.
TEST(ClapState, StreamsThatFailMakeTheCallFail) {
  TestHost host;
  ClapPlugin p(host);
  clap_ostream_t refusing = {
      nullptr, [](const clap_ostream_t*, const void*, uint64_t) -> int64_t { return 0; }};
  EXPECT_FALSE(p.State()->save(p.plugin, &refusing));
  clap_ostream_t failing = {
      nullptr, [](const clap_ostream_t*, const void*, uint64_t) -> int64_t { return -1; }};
  EXPECT_FALSE(p.State()->save(p.plugin, &failing));
  clap_istream_t failingIn = {nullptr,
                              [](const clap_istream_t*, void*, uint64_t) -> int64_t { return -1; }};
  EXPECT_FALSE(p.State()->load(p.plugin, &failingIn));
  EXPECT_FALSE(p.State()->save(p.plugin, nullptr));
  EXPECT_FALSE(p.State()->load(p.plugin, nullptr));
}

}  // namespace
