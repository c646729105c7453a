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
  v3_edit_controller** controller = plugin.controller;

  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0}, badSamples{0};
  std::thread audio([&] {
    StereoBlock block(V3_SAMPLE_32, 0.5, kFrames, 44100.0);
    ParamChangeList changes;
    changes.QueueFor(kTarget)->Add(17, 1.0);
    changes.QueueFor(kTarget)->Add(90, 0.0);
    while (!stop.load()) {
      block.Process(plugin, &changes, nullptr);
      for (const std::vector<float>& channel : block.out32) {
        for (float sample : channel) badSamples += std::isfinite(sample) ? 0 : 1;
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
