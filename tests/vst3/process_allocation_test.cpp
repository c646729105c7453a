// Allocation at the VST 3 boundary. The process call allocates nothing: a
// counting global operator new watches blocks split by parameter changes,
// the bypass crossfade, the parameters taken from the input queues, note-ons
// in every slice and program changes into slots never used before, in 32- and
// 64-bit samples.
// And nothing a failed allocation throws reaches the host: the same operator
// new, armed, fails each allocation of createInstance and of setupProcessing
// in turn; the host gets an error, nothing leaks, and the object or the next
// call works.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/gate_params.h"
#include "gate_plugin.h"

#include "support/counting_new.h"

namespace {

TEST(Vst3ProcessAllocation, SplitBlocksBypassAndReportsAllocateNothing) {
  constexpr int32_t kFrames = 512;
  for (int32_t size : {V3_SAMPLE_32, V3_SAMPLE_64}) {
    HostContext host;
    GatePlugin plugin = GatePlugin::Create();
    plugin.Start(host, size, kFrames, 48000.0);

    StereoBlock block(size, 0.25, kFrames, 48000.0);
    ParamChangeList changes;
    changes.QueueFor(kTarget)->Add(100, 1.0);
    changes.QueueFor(kTarget)->Add(300, 0.0);
    changes.QueueFor(kPatternWord3)->Add(7, 0.0);
    changes.QueueFor(GateVst3::kBypassParamId)->Add(200, 1.0);
    block.Process(plugin, &changes, nullptr);  // first block: engine start-up

    // Programs 41..44: free slots, each captured for the first time.
    std::vector<std::unique_ptr<ParamChangeList>> programs;
    for (int i = 0; i < 4; ++i) {
      programs.push_back(std::make_unique<ParamChangeList>());
      programs.back()->QueueFor(GateVst3::kProgramParamId)->Add(50, (41.0 + i) / 49.0);
    }

    EventList notes;  // before the block, in each slice and past the block
    for (int32_t at : {-5, 0, 99, 100, 250, 511, 900}) notes.AddNoteOn(at, 60, 0.8f);

    const long before = allocations.load();
    for (int i = 0; i < 8; ++i) {
      block.Process(plugin, i % 2 == 0 ? &changes : programs[i / 2].get(), nullptr, true, &notes);
    }
    EXPECT_EQ(allocations.load() - before, 0) << "sample size " << size;

    plugin.Stop();
    plugin.Release();
    EXPECT_EQ(GateVst3::LiveObjects(), 0);
  }
}

TEST(Vst3EntryFailure, AFailedAllocationAnywhereInCreateInstanceAnswersAnError) {
  auto** factory = static_cast<v3_plugin_factory**>(AcquirePluginFactory());
  int failures = 0;
  for (long before = 0;; ++before) {
    allocationFailed = false;
    allocationsBeforeFailure = before;
    void* object = &object;
    const v3_result result =
        v3_cpp_obj(factory)->create_instance(factory, kGateClassId, v3_component_iid, &object);
    allocationsBeforeFailure = -1;
    if (!allocationFailed) {
      // Creation needed fewer allocations than `before`: it must work.
      ASSERT_EQ(result, kResultOk) << "after " << failures << " failing creations";
      ASSERT_NE(object, nullptr);
      v3_cpp_obj_unref(static_cast<v3_component**>(object));
      break;
    }
    ++failures;
    ASSERT_NE(result, kResultOk) << "allocation " << before << " failed, yet creation succeeded";
    ASSERT_EQ(object, nullptr) << "allocation " << before;
    ASSERT_EQ(GateVst3::LiveObjects(), 0) << "allocation " << before;
  }
  EXPECT_GE(failures, 50 + 27);  // at least one per preset and parameter object
  v3_cpp_obj_unref(factory);
  EXPECT_EQ(PluginFactoryReferences(), 0u);

  // The next creation makes a working object.
  HostContext host;
  GatePlugin plugin = GatePlugin::Create();
  ASSERT_NE(plugin.component, nullptr);
  plugin.Start(host, V3_SAMPLE_32, 256, 44100.0);
  EXPECT_EQ(v3_cpp_obj(plugin.controller)->get_parameter_count(plugin.controller), 26);
  plugin.Stop();
  plugin.Release();
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
}

// A set-up the object cannot take (a huge block, or any of its allocations
// failing) answers an error and leaves it rendering at its old size, sample
// for sample as a twin that never saw the attempt.
TEST(Vst3EntryFailure, AFailedSetupLeavesTheOldSizeWorking) {
  constexpr int32_t kFrames = 256;
  HostContext host;
  GatePlugin plugin = GatePlugin::Create(), twin = GatePlugin::Create();
  plugin.Start(host, V3_SAMPLE_32, kFrames, 44100.0);
  twin.Start(host, V3_SAMPLE_32, kFrames, 44100.0);
  StereoBlock block(V3_SAMPLE_32, 0.5, kFrames, 44100.0), twinBlock = block;
  for (StereoBlock* b : {&block, &twinBlock}) {
    for (int c = 0; c < 2; ++c) {
      b->in32Pointers[c] = b->in32[c].data();
      b->out32Pointers[c] = b->out32[c].data();
    }
  }
  auto expectSameBlock = [&](long attempt) {
    block.Process(plugin, nullptr, nullptr);
    twinBlock.Process(twin, nullptr, nullptr);
    for (int c = 0; c < 2; ++c) ASSERT_EQ(block.out32[c], twinBlock.out32[c]) << attempt;
  };

  v3_process_setup huge = {V3_REALTIME, V3_SAMPLE_32, 1 << 28, 44100.0};
  EXPECT_NE(v3_cpp_obj(plugin.processor)->setup_processing(plugin.processor, &huge), kResultOk);
  expectSameBlock(-1);

  int failures = 0;
  for (long before = 0;; ++before) {
    allocationFailed = false;
    allocationsBeforeFailure = before;
    v3_process_setup larger = {V3_REALTIME, V3_SAMPLE_32, 4096, 44100.0};
    const v3_result result =
        v3_cpp_obj(plugin.processor)->setup_processing(plugin.processor, &larger);
    allocationsBeforeFailure = -1;
    if (!allocationFailed) {
      EXPECT_EQ(result, kResultOk);
      break;
    }
    ++failures;
    EXPECT_NE(result, kResultOk) << before;
    expectSameBlock(before);
  }
  EXPECT_GE(failures, 2);  // the two channels' dry buffers at least
  for (GatePlugin* p : {&plugin, &twin}) {
    p->Stop();
    p->Release();
  }
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
  EXPECT_EQ(host.References(), 0u);
}

}  // namespace
