// libFuzzer target for the VST 3 object: a component state of arbitrary
// bytes, then process calls whose input parameter queues hold arbitrary ids,
// offsets (negative, past the block, out of order) and values (NaN,
// infinities), in 32- or 64-bit samples and block lengths past the set-up's
// maximum. The object must stay sane: a load that succeeds or fails as the
// target's own decoding says (JudgeChunk) and changes nothing when foreign,
// every parameter's position in 0..1, a whole state after any load,
// finite audio, and nothing left alive once the host lets go.
#include <cmath>
#include <cstdint>
#include <vector>

#include "fuzz_host.h"
#include "fuzz_input.h"
#include "tests/vst3/gate_plugin.h"

namespace {

constexpr int32_t kMaxBlock = 512;
constexpr size_t kMaxPoints = 64;

v3_param_id ChooseId(FuzzInput& in) {
  switch (in.Choose(4)) {
    case 0:
      return GateVst3::kProgramParamId;
    case 1:
      return GateVst3::kBypassParamId;
    case 2:
      return in.Raw<uint32_t>();
    default:
      return in.Choose(GateVst3::kVisibleParams + 3);  // a few past the last
  }
}

template <typename Sample>
void RunBlocks(FuzzInput& in, v3_audio_processor** processor, int32_t sampleSize) {
  std::vector<Sample> channels[4];
  Sample* pointers[4];
  for (int c = 0; c < 4; ++c) {
    channels[c].assign(2 * kMaxBlock, static_cast<Sample>(c < 2 ? 0.5 : 0.0));
    pointers[c] = channels[c].data();
  }
  v3_audio_bus_buffers inputs = {}, outputs = {};
  inputs.num_channels = outputs.num_channels = 2;
  if constexpr (sizeof(Sample) == 8) {
    inputs.channel_buffers_64 = pointers;
    outputs.channel_buffers_64 = pointers + 2;
  } else {
    inputs.channel_buffers_32 = pointers;
    outputs.channel_buffers_32 = pointers + 2;
  }
  for (int block = 0; block < 3 && !in.Empty(); ++block) {
    ParamChangeList changes, reported;
    const size_t points = in.Choose(kMaxPoints);
    for (size_t i = 0; i < points; ++i) {
      const v3_param_id id = ChooseId(in);
      const int32_t offset = in.Raw<int16_t>();
      changes.QueueFor(id)->Add(offset, in.Raw<double>());
    }
    v3_process_context context = {};
    context.state = in.Raw<uint32_t>();
    context.bpm = in.Choose(4) == 0 ? in.Raw<double>() : 30.0 + in.Byte();
    context.project_time_in_samples = in.Raw<int32_t>();
    context.sample_rate = 44100.0;
    v3_process_data data = {};
    data.symbolic_sample_size = sampleSize;
    data.nframes = static_cast<int32_t>(in.Choose(4) == 0 ? 2 * kMaxBlock : in.Byte() * 2);
    data.num_input_buses = data.num_output_buses = 1;
    data.inputs = &inputs;
    data.outputs = &outputs;
    data.input_params = changes.Changes();
    data.output_params = reported.Changes();
    data.ctx = in.Choose(8) == 0 ? nullptr : &context;
    v3_cpp_obj(processor)->process(processor, &data);
    for (int c = 2; c < 4; ++c) {
      for (int32_t i = 0; i < data.nframes; ++i) {
        FUZZ_CHECK(std::isfinite(static_cast<double>(channels[c][static_cast<size_t>(i)])),
                   "the output is not finite");
      }
    }
    for (const auto& queue : reported.Queues()) {
      for (const ParamQueue::Point& point : queue->Points()) {
        FUZZ_CHECK(point.value >= 0.0 && point.value <= 1.0, "a reported value is out of range");
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int32_t sampleSize = in.Choose(2) == 0 ? V3_SAMPLE_32 : V3_SAMPLE_64;
  std::vector<char> state(in.Choose(256));
  in.Take(state.data(), state.size());

  HostContext host;
  GatePlugin plugin = GatePlugin::Create();
  FUZZ_CHECK(plugin.component != nullptr, "no component");
  v3_component** component = plugin.component;
  v3_audio_processor** processor = plugin.processor;
  v3_edit_controller** controller = plugin.controller;
  plugin.Initialise(host);

  MemoryStream before;
  v3_cpp_obj(component)->get_state(component, before.Stream());
  MemoryStream stream(state);
  const v3_result loaded = v3_cpp_obj(component)->set_state(component, stream.Stream());
  const ChunkVerdict verdict =
      JudgeChunk(reinterpret_cast<const uint8_t*>(state.data()), state.size());
  FUZZ_CHECK((loaded == kResultOk) == verdict.succeeds, "set_state reports the wrong result");
  if (verdict.foreign) {
    MemoryStream after;
    v3_cpp_obj(component)->get_state(component, after.Stream());
    FUZZ_CHECK(after.Bytes() == before.Bytes(), "a foreign state changed the object");
  }
  plugin.Activate(sampleSize, kMaxBlock, 44100.0);
  if (sampleSize == V3_SAMPLE_64) {
    RunBlocks<double>(in, processor, sampleSize);
  } else {
    RunBlocks<float>(in, processor, sampleSize);
  }

  const int32_t count = v3_cpp_obj(controller)->get_parameter_count(controller);
  for (int32_t i = 0; i < count; ++i) {
    v3_param_info info = {};
    v3_cpp_obj(controller)->get_parameter_info(controller, i, &info);
    const double position =
        v3_cpp_obj(controller)->get_parameter_normalised(controller, info.param_id);
    FUZZ_CHECK(position >= 0.0 && position <= 1.0, "a parameter left 0..1");
  }
  MemoryStream saved;
  v3_cpp_obj(component)->get_state(component, saved.Stream());
  FUZZ_CHECK(saved.Bytes().size() == static_cast<size_t>(kChunkBytes),
             "the state is not a whole chunk and extension");
  FUZZ_CHECK(
      JudgeChunk(reinterpret_cast<const uint8_t*>(saved.Bytes().data()), kChunkBytes).succeeds,
      "the saved state is not a whole one of ours");

  plugin.Stop();
  plugin.Release();
  FUZZ_CHECK(GateVst3::LiveObjects() == 0, "an object outlived its references");
  FUZZ_CHECK(host.References() == 0, "the plug-in kept a host reference");
  return 0;
}
