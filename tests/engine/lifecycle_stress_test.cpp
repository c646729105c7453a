// Lifecycles as hosts run them, many times over: create, open, process and
// close one instance a thousand times with the live heap flat between the
// 100th and the 1,000th cycle; and 32 instances alive at once, processed in
// turn, each rendering exactly what it renders alone.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/gate_params.h"
#include "support/live_gate.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer runtimes count what they have handed out; the compiler ships
// no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace vst2;

namespace {

// Bytes the process holds allocated right now, as its allocator counts them.
size_t LiveHeapBytes() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

// One cycle as a host runs it, touching everything that allocates: state
// saved and restored, a program switch, names, a few blocks.
void OneLifecycle(const StereoSignal& input, int cycle) {
  FakeHost host;
  host.recordCalls = false;
  host.giveTimeInfo = true;
  host.timeInfo.sampleRate = 48000;
  host.timeInfo.tempo = 100 + cycle % 50;
  host.timeInfo.flags = kVstTransportPlaying | kVstTempoValid;
  AEffect* effect = host.effect();
  ASSERT_NE(effect, nullptr);
  host.Dispatch(effOpen);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  host.Dispatch(effSetBlockSize, 0, 256);
  host.Dispatch(effSetProgram, 0, 1 + cycle % 24);
  host.Dispatch(effMainsChanged, 0, 1);
  std::vector<float> outLeft(256), outRight(256);
  float* in[2] = {const_cast<float*>(input.left.data()), const_cast<float*>(input.right.data())};
  float* out[2] = {outLeft.data(), outRight.data()};
  for (int block = 0; block < 4; ++block) effect->processReplacing(effect, in, out, 256);
  void* chunk = nullptr;
  const intptr_t size = host.Dispatch(effGetChunk, 0, 0, &chunk);
  ASSERT_GT(size, 0);
  std::vector<char> saved(static_cast<char*>(chunk), static_cast<char*>(chunk) + size);
  host.Dispatch(effSetChunk, 0, size, saved.data());
  char name[64] = {};
  host.Dispatch(effGetProgramName, 0, 0, name);
  effect->setParameter(effect, kGate, 0.5f);
  effect->processReplacing(effect, in, out, 256);
  host.Dispatch(effMainsChanged, 0, 0);
  host.Close();
}

}  // namespace

TEST(LifecycleStress, AThousandLifecyclesHoldTheHeapFlat) {
  const StereoSignal input = SineSignal(256);
  size_t atCycle100 = 0;
  for (int cycle = 1; cycle <= 1000; ++cycle) {
    ASSERT_NO_FATAL_FAILURE(OneLifecycle(input, cycle));
    if (cycle == 100) atCycle100 = LiveHeapBytes();
  }
  const size_t atCycle1000 = LiveHeapBytes();
  std::printf("live heap: %zu bytes at cycle 100, %zu at cycle 1000\n", atCycle100, atCycle1000);
  // A leak of a single byte a cycle would show as 900 bytes.
  EXPECT_LE(atCycle1000, atCycle100 + 512)
      << "heap at cycle 100: " << atCycle100 << ", at cycle 1000: " << atCycle1000;
#if defined(__SANITIZE_ADDRESS__)
  EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

TEST(LifecycleStress, ThirtyTwoInstancesInterleavedEachRenderAsAlone) {
  constexpr int kInstances = 32;
  constexpr int kBlock = 64;
  const StereoSignal input = SineSignal(kBlock * 300);
  std::vector<std::unique_ptr<LiveGate>> crowd;
  std::vector<StereoSignal> rendered(kInstances);
  for (int i = 0; i < kInstances; ++i) {
    crowd.push_back(std::make_unique<LiveGate>(44100.0, 90.0 + i * 3.0, kBlock));
    // Factory programs 1-24 and user programs, the odd ones on the band targets.
    crowd.back()->SetProgram(1 + i % 40);
    if (i % 2) crowd.back()->Set(kTarget, static_cast<float>(1 + i % 3) / 3.0f);
    rendered[static_cast<size_t>(i)] = input;
  }
  // Every instance takes its next block in turn.
  for (size_t offset = 0; offset < input.left.size(); offset += kBlock) {
    StereoSignal slice{
        std::vector<float>(input.left.begin() + static_cast<std::ptrdiff_t>(offset),
                           input.left.begin() + static_cast<std::ptrdiff_t>(offset + kBlock)),
        std::vector<float>(input.right.begin() + static_cast<std::ptrdiff_t>(offset),
                           input.right.begin() + static_cast<std::ptrdiff_t>(offset + kBlock))};
    for (int i = 0; i < kInstances; ++i) {
      const StereoSignal out = crowd[static_cast<size_t>(i)]->Run(slice, kBlock);
      std::copy(
          out.left.begin(), out.left.end(),
          rendered[static_cast<size_t>(i)].left.begin() + static_cast<std::ptrdiff_t>(offset));
      std::copy(
          out.right.begin(), out.right.end(),
          rendered[static_cast<size_t>(i)].right.begin() + static_cast<std::ptrdiff_t>(offset));
    }
  }
  // Different programs and tempos make different renders.
  EXPECT_NE(rendered[0].left, rendered[1].left);
  for (int i = 0; i < kInstances; ++i) {
    SCOPED_TRACE(i);
    LiveGate alone(44100.0, 90.0 + i * 3.0, kBlock);
    alone.SetProgram(1 + i % 40);
    if (i % 2) alone.Set(kTarget, static_cast<float>(1 + i % 3) / 3.0f);
    const StereoSignal expected = alone.Run(input, kBlock);
    EXPECT_EQ(expected.left, rendered[static_cast<size_t>(i)].left);
    EXPECT_EQ(expected.right, rendered[static_cast<size_t>(i)].right);
  }
}
