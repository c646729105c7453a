// The VST 3 process call allocates nothing: a counting global operator new
// watches blocks split by parameter changes, the bypass crossfade and the
// parameters taken from the input queues, in 32- and 64-bit samples.
#include <gtest/gtest.h>

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
    v3_audio_processor** processor = plugin.processor;

    std::vector<float> f[4];
    std::vector<double> d[4];
    float* fp[4];
    double* dp[4];
    for (int c = 0; c < 4; ++c) {
      f[c].assign(kFrames, 0.25f);
      d[c].assign(kFrames, 0.25);
      fp[c] = f[c].data();
      dp[c] = d[c].data();
    }
    v3_audio_bus_buffers in = {}, out = {};
    in.num_channels = out.num_channels = 2;
    if (size == V3_SAMPLE_64) {
      in.channel_buffers_64 = dp;
      out.channel_buffers_64 = dp + 2;
    } else {
      in.channel_buffers_32 = fp;
      out.channel_buffers_32 = fp + 2;
    }
    v3_process_context context = {};
    context.state = V3_PROCESS_CTX_PLAYING | V3_PROCESS_CTX_TEMPO_VALID;
    context.bpm = 140.0;
    ParamChangeList changes;
    changes.QueueFor(kTarget)->Add(100, 1.0);
    changes.QueueFor(kTarget)->Add(300, 0.0);
    changes.QueueFor(kPatternWord3)->Add(7, 0.0);
    changes.QueueFor(GateVst3::kBypassParamId)->Add(200, 1.0);
    v3_process_data data = {};
    data.symbolic_sample_size = size;
    data.nframes = kFrames;
    data.num_input_buses = data.num_output_buses = 1;
    data.inputs = &in;
    data.outputs = &out;
    data.input_params = changes.Changes();
    data.ctx = &context;
    v3_cpp_obj(processor)->process(processor, &data);  // first block: engine start-up

    const long before = allocations.load();
    for (int block = 0; block < 8; ++block) {
      context.project_time_in_samples += kFrames;
      v3_cpp_obj(processor)->process(processor, &data);
    }
    EXPECT_EQ(allocations.load() - before, 0) << "sample size " << size;

    plugin.Stop();
    plugin.Release();
    EXPECT_EQ(GateVst3::LiveObjects(), 0);
  }
}

}  // namespace
