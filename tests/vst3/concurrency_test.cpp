// The VST 3 object with its audio thread processing while the host's other
// thread uses the controller: parameters set and read, texts, bypass toggled,
// programs switched and states saved and loaded. Every sample stays finite,
// and the thread sanitizer pass (tools/ci.d/tsan.sh) sees no race.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "engine/gate_params.h"
#include "gate_plugin.h"

namespace {

TEST(Vst3Concurrency, ProcessingWhileTheControllerIsBusy) {
  constexpr int32_t kFrames = 128;
  HostContext host;
  GatePlugin plugin = GatePlugin::Create();
  plugin.Start(host, V3_SAMPLE_32, kFrames, 44100.0);
  v3_component** component = plugin.component;
  v3_audio_processor** processor = plugin.processor;
  v3_edit_controller** controller = plugin.controller;

  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0}, badSamples{0};
  std::thread audio([&] {
    std::vector<float> channels[4];
    float* pointers[4];
    for (int c = 0; c < 4; ++c) {
      channels[c].assign(kFrames, c < 2 ? 0.5f : 0.0f);
      pointers[c] = channels[c].data();
    }
    v3_audio_bus_buffers in = {}, out = {};
    in.num_channels = out.num_channels = 2;
    in.channel_buffers_32 = pointers;
    out.channel_buffers_32 = pointers + 2;
    v3_process_context context = {};
    context.state = V3_PROCESS_CTX_PLAYING | V3_PROCESS_CTX_TEMPO_VALID;
    context.bpm = 128.0;
    ParamChangeList changes;
    changes.QueueFor(kTarget)->Add(17, 1.0);
    changes.QueueFor(kTarget)->Add(90, 0.0);
    v3_process_data data = {};
    data.symbolic_sample_size = V3_SAMPLE_32;
    data.nframes = kFrames;
    data.num_input_buses = data.num_output_buses = 1;
    data.inputs = &in;
    data.outputs = &out;
    data.input_params = changes.Changes();
    data.ctx = &context;
    while (!stop.load()) {
      v3_cpp_obj(processor)->process(processor, &data);
      context.project_time_in_samples += kFrames;
      for (int c = 2; c < 4; ++c) {
        for (float sample : channels[c]) badSamples += std::isfinite(sample) ? 0 : 1;
      }
      ++blocks;
    }
  });

  for (int round = 0; round < 300 || blocks.load() < 200; ++round) {
    const v3_param_id id = static_cast<v3_param_id>(round % GateVst3::kVisibleParams);
    v3_cpp_obj(controller)->set_parameter_normalised(controller, id, (round % 7) / 6.0);
    v3_str_128 text = {};
    v3_cpp_obj(controller)
        ->get_parameter_string_for_value(
            controller, id, v3_cpp_obj(controller)->get_parameter_normalised(controller, id), text);
    v3_cpp_obj(controller)
        ->set_parameter_normalised(controller, GateVst3::kBypassParamId, round % 2);
    if (round % 25 == 0) {
      v3_cpp_obj(controller)
          ->set_parameter_normalised(controller, GateVst3::kProgramParamId, (round % 49) / 49.0);
    }
    if (round % 10 == 0) {
      MemoryStream saved;
      v3_cpp_obj(component)->get_state(component, saved.Stream());
      MemoryStream again(saved.Bytes());
      v3_cpp_obj(component)->set_state(component, again.Stream());
    }
  }
  stop = true;
  audio.join();
  EXPECT_EQ(badSamples.load(), 0);

  plugin.Stop();
  plugin.Release();
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
}

}  // namespace
