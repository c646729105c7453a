// The gate's VST 3 object as a test host holds it: its component, processor,
// controller and unit-info faces, made by the module's factory, started and
// stopped in the order hosts use, and released face by face.
#pragma once

#include <cstdint>

#include "tools/host/vst3_host_objects.h"
#include "vst3/gate_vst3.h"
#include "vst3/plugin_factory.h"

struct GatePlugin {
  v3_component** component = nullptr;
  v3_audio_processor** processor = nullptr;
  v3_edit_controller** controller = nullptr;
  v3_unit_information** units = nullptr;

  GateVst3* Object() const { return FaceOwner<GateVst3>(component); }

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
