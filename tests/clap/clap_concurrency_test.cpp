// The CLAP plug-in with its audio thread processing timed values while the
// host's main thread reads values and texts, saves and loads states and the
// editor makes gestures faster than any hand. Every sample stays finite,
// the gestures reach the host whole and in order (begin, values, end; a
// flood the blocks cannot carry drops whole gestures, never half of one),
// and the thread sanitizer pass (tools/ci.d/tsan.sh) sees no race.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "clap_test_host.h"
#include "engine/gate_params.h"

namespace {

TEST(ClapConcurrency, ProcessingWhileTheMainThreadIsBusy) {
  constexpr uint32_t kFrames = 128;
  TestHost host;
  ClapPlugin p(host);
  p.Start(44100.0, kFrames);
  EffectInstance& instance = *p.Object()->Instance();

  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0}, badSamples{0};
  std::vector<OutputEvent> told;  // the audio thread's alone until it is joined
  std::thread audio([&] {
    ClapBlock block(false, kFrames, 0.5);
    while (!stop.load()) {
      InputEvents in;
      in.Value(17, kTarget, 1.0);
      in.Value(90, kTarget, 0.0);
      in.Value(100, GateClap::kBypassParamId, blocks % 2 ? 1.0 : 0.0);
      OutputEvents out;
      block.Run(p, &in, &out);
      told.insert(told.end(), out.events.begin(), out.events.end());
      for (const std::vector<float>& channel : block.out32) {
        for (float sample : channel) badSamples += std::isfinite(sample) ? 0 : 1;
      }
      ++blocks;
    }
  });

  const std::vector<uint8_t> state = p.Save();
  int gestures = 0;
  for (int round = 0; round < 300 || blocks.load() < 50; ++round) {
    const clap_id id = static_cast<clap_id>(round % GateClap::kVisibleParams);
    double value = 0.0;
    p.Params()->get_value(p.plugin, id, &value);
    char text[64];
    p.Params()->value_to_text(p.plugin, id, value, text, sizeof text);
    if (round % 25 == 0) {
      ByteStreams streams(state);
      p.State()->load(p.plugin, &streams.in);
      p.Save();
    }
    // The editor's gesture on the Rate knob.
    p.Object()->BeginEdit(kRate);
    instance.SetParamNormalized(kRate, (round % 10) / 10.0);
    p.Object()->PerformEdit(kRate, (round % 10) / 10.0);
    p.Object()->EndEdit(kRate);
    ++gestures;
  }
  // Every gesture has gone out once the audio thread has run a block after it.
  const long lastBlocks = blocks.load();
  while (blocks.load() < lastBlocks + 2) std::this_thread::yield();
  stop = true;
  audio.join();

  EXPECT_GT(blocks.load(), 0);
  EXPECT_EQ(badSamples.load(), 0);
  EXPECT_EQ(host.flushRequests, 0);  // processing: the blocks carry them
  int begins = 0, ends = 0;
  bool open = false;
  for (const OutputEvent& e : told) {
    if (e.id != static_cast<clap_id>(kRate)) continue;
    if (e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN) {
      EXPECT_FALSE(open);
      open = true;
      ++begins;
    } else if (e.type == CLAP_EVENT_PARAM_GESTURE_END) {
      EXPECT_TRUE(open);
      open = false;
      ++ends;
    }
  }
  EXPECT_FALSE(open);
  EXPECT_EQ(begins, ends);
  EXPECT_GT(begins, 0);
  EXPECT_LE(begins, gestures);
}

}  // namespace
