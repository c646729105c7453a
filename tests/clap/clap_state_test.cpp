// The CLAP state against the VST 3 component state, over seeded random
// parameter sets (QUORVEL_SEED replays another seed; the seed is printed):
// the same plain values, program and bypass save the same bytes, whose
// program and bypass the test decodes itself (int32 version 10000, 17
// doubles, "QRVX" at 140, program at 152, bypass at 156); every byte string
// loads or is refused as the VST 3 glue answers it (ours, cut anywhere,
// with bytes after it, foreign), leaving the same state behind; a refused
// foreign state changes nothing. Streams that move a few bytes a call
// carry the same bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "clap_vst3_pair.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Int32At(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | bytes[at + static_cast<size_t>(i)];
  return value;
}

// A program, maybe moved values (pattern words too) and a bypass; then the
// state saved a few bytes a call, as a host's stream may take them, which
// must be the VST 3 component's and say what the plug-in holds.
Bytes RandomSetAndSave(std::mt19937& random, ClapVst3Pair& pair) {
  ClapPlugin& p = pair.clap;
  const int programs = p.Object()->Instance()->ProgramCount();
  pair.SetBoth(GateClap::kProgramParamId, static_cast<double>(random() % programs));
  if (random() % 2) {
    std::uniform_real_distribution<double> position(0.0, 1.0);
    for (uint32_t i = 0; i < GateClap::kVisibleParams; ++i) {
      if (random() % 3 == 0) continue;
      const clap_param_info_t info = p.Info(i);
      pair.SetBoth(info.id, info.min_value + (info.max_value - info.min_value) * position(random));
    }
  }
  pair.SetBoth(GateClap::kBypassParamId, static_cast<double>(random() % 2));
  const Bytes saved = p.Save(1 + random() % 9);
  EXPECT_EQ(saved, pair.Vst3Save());
  if (saved.size() < 160) {
    ADD_FAILURE() << "state of " << saved.size() << " bytes";
    return saved;
  }
  EXPECT_EQ(Int32At(saved, 0), 10000u);
  EXPECT_EQ(std::string(saved.begin() + 140, saved.begin() + 144), "QRVX");
  EXPECT_EQ(Int32At(saved, 152), static_cast<uint32_t>(p.Value(GateClap::kProgramParamId)));
  EXPECT_EQ(Int32At(saved, 156), static_cast<uint32_t>(p.Value(GateClap::kBypassParamId)));
  return saved;
}

TEST(ClapState, SavesAndLoadsAsTheVst3GlueDoes) {
  std::mt19937 random(TestSeed(20261208u));
  Bytes state;  // the last state saved: the next round's to load
  {
    ClapVst3Pair source;
    state = RandomSetAndSave(random, source);
  }
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
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
      ClapVst3Pair pair;
      ClapPlugin& p = pair.clap;
      const Bytes before = RandomSetAndSave(random, pair);
      const bool vst3Took = pair.Vst3Load(bytes);
      // Read a few bytes a call, as a host's stream may give them.
      ByteStreams streams(bytes, 1 + random() % 9);
      const bool clapTook = p.State()->load(p.plugin, &streams.in);
      EXPECT_EQ(clapTook, vst3Took);
      EXPECT_EQ(p.Save(), pair.Vst3Save());
      // The host reads the values again after a load that took.
      EXPECT_EQ(pair.host.rescans > 0, clapTook);
      if (&bytes == &candidates[0]) {
        EXPECT_TRUE(clapTook);
      }
      if (&bytes >= &candidates[3]) {
        EXPECT_EQ(p.Save(), before);
      }
      if (&bytes == &candidates[4]) state = before;
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
