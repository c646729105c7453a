// The plug-in descriptor: each entry forwards to the Lv2Gate the handle
// holds, and nothing thrown inside reaches the host.
#include <cstring>

#include <lv2/state/state.h>

#include "lv2/lv2_descriptor.h"
#include "lv2/lv2_gate.h"
#include "lv2/lv2_ports.h"
#include "framework/no_throw.h"

namespace {

Lv2Gate* Gate(LV2_Handle handle) { return static_cast<Lv2Gate*>(handle); }

// [host main thread]
LV2_Handle Instantiate(const LV2_Descriptor* /*descriptor*/, double rate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
  return Guarded<LV2_Handle>(nullptr, [&] { return Lv2Gate::Create(rate, features); });
}

// [audio thread class]
void ConnectPort(LV2_Handle handle, uint32_t port, void* data) {
  Gate(handle)->ConnectPort(port, data);
}

// [host main thread]
void Activate(LV2_Handle handle) {
  Guarded(0, [&] {
    Gate(handle)->Activate();
    return 0;
  });
}

// [audio thread]
void Run(LV2_Handle handle, uint32_t frames) {
  Guarded(0, [&] {
    Gate(handle)->Run(frames);
    return 0;
  });
}

// [host main thread]
void Deactivate(LV2_Handle handle) {
  Guarded(0, [&] {
    Gate(handle)->Deactivate();
    return 0;
  });
}

// [host main thread]
void Cleanup(LV2_Handle handle) {
  Guarded(0, [&] {
    delete Gate(handle);
    return 0;
  });
}

// [host main thread, never during run]
LV2_State_Status SaveState(LV2_Handle handle, LV2_State_Store_Function store,
                           LV2_State_Handle state, uint32_t /*flags*/,
                           const LV2_Feature* const* /*features*/) {
  return Guarded(LV2_STATE_ERR_UNKNOWN, [&] { return Gate(handle)->Save(store, state); });
}

// [host main thread, never during run]
LV2_State_Status RestoreState(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle state, uint32_t /*flags*/,
                              const LV2_Feature* const* /*features*/) {
  return Guarded(LV2_STATE_ERR_UNKNOWN, [&] { return Gate(handle)->Restore(retrieve, state); });
}

const LV2_State_Interface kStateInterface = {SaveState, RestoreState};

// [any thread]
const void* ExtensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {kLv2PluginUri, Instantiate, ConnectPort, Activate,
                                    Run,           Deactivate,  Cleanup,     ExtensionData};

}  // namespace

const LV2_Descriptor* Lv2GateDescriptor() { return &kDescriptor; }
