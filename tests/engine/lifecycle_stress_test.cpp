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

// One cycle as a host runs it, touching everything that allocates: opening,
// a program switch, blocks, state saved and restored, names, closing.
void OneLifecycle(const StereoSignal& input, int cycle) {
  LiveGate live(48000.0, 100.0 + cycle % 50, 256);
  ASSERT_NE(live.effect(), nullptr);
  FakeHost& host = live.host;
  live.SetProgram(1 + cycle % 24);
  live.Run(input, 64);
  void* chunk = nullptr;
  const intptr_t size = host.Dispatch(effGetChunk, 0, 0, &chunk);
  ASSERT_GT(size, 0);
  std::vector<char> saved(static_cast<char*>(chunk), static_cast<char*>(chunk) + size);
  host.Dispatch(effSetChunk, 0, size, saved.data());
  char name[64] = {};
  host.Dispatch(effGetProgramName, 0, 0, name);
  live.Set(kGate, 0.5f);
  live.Run(input, 256);
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
  static constexpr int32_t kBlock = 64;
  const StereoSignal input = SineSignal(kBlock * 300);
  // Factory programs 1-24 and user programs, the odd ones on the band targets.
  auto makeInstance = [](int i) {
    auto live = std::make_unique<LiveGate>(44100.0, 90.0 + i * 3.0, kBlock);
    live->SetProgram(1 + i % 40);
    if (i % 2) live->Set(kTarget, static_cast<float>(1 + i % 3) / 3.0f);
    return live;
  };
  std::vector<std::unique_ptr<LiveGate>> crowd;
  std::vector<StereoSignal> rendered(kInstances, input);
  for (int i = 0; i < kInstances; ++i) crowd.push_back(makeInstance(i));
  // Every instance takes its next block in turn.
  for (int32_t offset = 0; offset < static_cast<int32_t>(input.left.size()); offset += kBlock) {
    for (int i = 0; i < kInstances; ++i) {
      crowd[static_cast<size_t>(i)]->RunBlock(input, offset, kBlock,
                                              rendered[static_cast<size_t>(i)]);
    }
  }
  // Different programs and tempos make different renders.
  EXPECT_NE(rendered[0].left, rendered[1].left);
  for (int i = 0; i < kInstances; ++i) {
    SCOPED_TRACE(i);
    const StereoSignal expected = makeInstance(i)->Run(input, kBlock);
    EXPECT_EQ(expected.left, rendered[static_cast<size_t>(i)].left);
    EXPECT_EQ(expected.right, rendered[static_cast<size_t>(i)].right);
  }
}
