// The VST 3 process call allocates nothing: a counting global operator new
// watches blocks split by parameter changes, the bypass crossfade, the
// parameters taken from the input queues and program changes into slots
// never used before, in 32- and 64-bit samples.
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

    const long before = allocations.load();
    for (int i = 0; i < 8; ++i) {
      block.Process(plugin, i % 2 == 0 ? &changes : programs[i / 2].get(), nullptr);
    }
    EXPECT_EQ(allocations.load() - before, 0) << "sample size " << size;

    plugin.Stop();
    plugin.Release();
    EXPECT_EQ(GateVst3::LiveObjects(), 0);
  }
}

}  // namespace
