// The gate's VST 3 object as a test host holds it: its component, processor,
// controller and unit-info faces, made by the module's factory, started and
// stopped in the order hosts use, and released face by face.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/gate_plug.h"
#include "instance/vst2_effect_instance.h"
#include "tools/host/vst3_host_objects.h"
#include "vst3/gate_vst3.h"
#include "vst3/plugin_factory.h"

struct GatePlugin {
  v3_component** component = nullptr;
  v3_audio_processor** processor = nullptr;
  v3_edit_controller** controller = nullptr;
  v3_unit_information** units = nullptr;

  GateVst3* Object() const { return FaceOwner<GateVst3>(component); }
  // The effect behind the seam, for what a test inspects directly.
  VSTCLASS* Plug() const { return static_cast<Vst2EffectInstance*>(Object()->Instance())->Plug(); }

  // Every face null when the factory makes nothing.
  static GatePlugin Create() {
    GatePlugin p;
    auto** factory = static_cast<v3_plugin_factory**>(AcquirePluginFactory());
    void* object = nullptr;
    v3_cpp_obj(factory)->create_instance(factory, kGateClassId, v3_component_iid, &object);
    v3_cpp_obj_unref(factory);
    if (!object) return p;
    p.component = static_cast<v3_component**>(object);
    v3_cpp_obj_query_interface(p.component, v3_audio_processor_iid, &p.processor);
    v3_cpp_obj_query_interface(p.component, v3_edit_controller_iid, &p.controller);
    v3_cpp_obj_query_interface(p.component, v3_unit_information_iid, &p.units);
    return p;
  }

  void Release() {
    for (void* face : {static_cast<void*>(units), static_cast<void*>(controller),
                       static_cast<void*>(processor), static_cast<void*>(component)}) {
      if (face) static_cast<v3_funknown*>(*static_cast<void**>(face))->unref(face);
    }
    *this = GatePlugin();
  }

  void Initialise(HostContext& host) {
    v3_cpp_obj_initialize(component, host.Context());
    v3_cpp_obj(controller)->set_component_handler(controller, host.Handler());
  }

  void Activate(int32_t sampleSize, int32_t blockFrames, double rate) {
    v3_process_setup setup = {V3_REALTIME, sampleSize, blockFrames, rate};
    v3_cpp_obj(processor)->setup_processing(processor, &setup);
    v3_cpp_obj(component)->set_active(component, true);
    v3_cpp_obj(processor)->set_processing(processor, true);
  }

  void Start(HostContext& host, int32_t sampleSize, int32_t blockFrames, double rate) {
    Initialise(host);
    Activate(sampleSize, blockFrames, rate);
  }

  void Stop() {
    v3_cpp_obj(processor)->set_processing(processor, false);
    v3_cpp_obj(component)->set_active(component, false);
    v3_cpp_obj(controller)->set_component_handler(controller, nullptr);
    v3_cpp_obj_terminate(component);
  }

  void SetParam(v3_param_id id, double value) {
    v3_cpp_obj(controller)->set_parameter_normalised(controller, id, value);
  }
  double Param(v3_param_id id) {
    return v3_cpp_obj(controller)->get_parameter_normalised(controller, id);
  }
};

// One block of stereo audio in 32- or 64-bit samples at 120 BPM, with the
// transport playing (or stopped) at `position`, which each block advances,
// and the host's events for it when given.
struct StereoBlock {
  int32_t sampleSize;
  int32_t frames;
  double rate;
  std::vector<float> in32[2], out32[2];
  std::vector<double> in64[2], out64[2];
  float* in32Pointers[2];
  float* out32Pointers[2];
  double* in64Pointers[2];
  double* out64Pointers[2];
  int64_t position = 0;

  StereoBlock(int32_t size, double level, int32_t blockFrames, double sampleRate)
      : sampleSize(size), frames(blockFrames), rate(sampleRate) {
    for (int c = 0; c < 2; ++c) {
      in32[c].assign(frames, static_cast<float>(level));
      out32[c].assign(frames, 0.0f);
      in64[c].assign(frames, level);
      out64[c].assign(frames, 0.0);
      in32Pointers[c] = in32[c].data();
      out32Pointers[c] = out32[c].data();
      in64Pointers[c] = in64[c].data();
      out64Pointers[c] = out64[c].data();
    }
  }

  double Out(int c, int i) const { return sampleSize == V3_SAMPLE_64 ? out64[c][i] : out32[c][i]; }
  double In(int c, int i) const { return sampleSize == V3_SAMPLE_64 ? in64[c][i] : in32[c][i]; }

  void Process(GatePlugin& p, ParamChangeList* input, ParamChangeList* output, bool playing = true,
               EventList* events = nullptr) {
    v3_audio_bus_buffers inBus = {}, outBus = {};
    inBus.num_channels = outBus.num_channels = 2;
    if (sampleSize == V3_SAMPLE_64) {
      inBus.channel_buffers_64 = in64Pointers;
      outBus.channel_buffers_64 = out64Pointers;
    } else {
      inBus.channel_buffers_32 = in32Pointers;
      outBus.channel_buffers_32 = out32Pointers;
    }
    v3_process_context context = {};
    context.state = (playing ? V3_PROCESS_CTX_PLAYING : 0) | V3_PROCESS_CTX_TEMPO_VALID |
                    V3_PROCESS_CTX_PROJECT_TIME_VALID;
    context.sample_rate = rate;
    context.bpm = 120.0;
    context.project_time_in_samples = position;
    context.project_time_quarters = position / rate * 2.0;
    v3_process_data data = {};
    data.symbolic_sample_size = sampleSize;
    data.nframes = frames;
    data.num_input_buses = data.num_output_buses = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.input_params = input ? input->Changes() : nullptr;
    data.output_params = output ? output->Changes() : nullptr;
    data.input_events = events ? events->List() : nullptr;
    data.ctx = &context;
    v3_cpp_obj(p.processor)->process(p.processor, &data);
    position += frames;
  }
};
