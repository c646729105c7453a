// An audio thread processing blocks while the host's other threads change
// parameters, switch programs and save and load state: every entry takes the
// instance lock, so the thread sanitizer build sees no data race and every
// block stays finite and in range.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "engine/gate_params.h"
#include "support/fake_host.h"

using namespace vst2;

TEST(Concurrency, AudioRunsWhileTheHostChangesParametersProgramsAndState) {
  FakeHost host;
  host.giveTimeInfo = true;
  host.timeInfo.sampleRate = 44100.0;
  host.timeInfo.tempo = 120.0;
  host.timeInfo.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
  AEffect* effect = host.effect();
  host.Dispatch(effOpen);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  host.Dispatch(effSetBlockSize, 0, 256);
  host.Dispatch(effMainsChanged, 0, 1);

  std::atomic<bool> stop{false};
  std::atomic<bool> outOfRange{false};
  std::thread audio([&] {
    std::vector<float> left(256, 0.5f), right(256, -0.5f), outLeft(256), outRight(256);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    while (!stop.load()) {
      effect->processReplacing(effect, inputs, outputs, 256);
      for (int i = 0; i < 256; ++i) {
        // The gate and the crossover never amplify a steady 0.5 beyond it.
        if (!(std::fabs(outLeft[i]) <= 0.5f + 1e-4f) || !(std::fabs(outRight[i]) <= 0.5f + 1e-4f)) {
          outOfRange.store(true);
        }
      }
    }
  });

  for (int round = 0; round < 200; ++round) {
    effect->setParameter(effect, kGate, static_cast<float>(round % 11) / 10.0f);
    effect->setParameter(effect, kTarget, static_cast<float>(round % 4) / 3.0f);
    host.Dispatch(effSetProgram, 0, 1 + round % 24);
    void* chunk = nullptr;
    const intptr_t size = host.Dispatch(effGetChunk, 1, 0, &chunk);
    ASSERT_EQ(size, 220);  // the chunk's 140 bytes and the extension's 80
    std::vector<char> copy(static_cast<const char*>(chunk), static_cast<const char*>(chunk) + size);
    EXPECT_EQ(host.Dispatch(effSetChunk, 1, size, copy.data()), 1);
    (void)effect->getParameter(effect, kMix);
  }
  stop.store(true);
  audio.join();
  EXPECT_FALSE(outOfRange.load());
  host.Dispatch(effMainsChanged, 0, 0);
}
