// The plug-in's own entries: each answers its failure value (false, an
// error status, null) instead of letting an exception reach the host.
#include "clap/plugin_entries.h"

#include <cstring>

#include "clap/gate_clap.h"
#include "clap/plugin_descriptor.h"
#include "framework/no_throw.h"
#include "instance/effect_instance.h"

namespace {

GateClap* Owner(const clap_plugin_t* plugin) { return GateClap::Of(plugin); }

bool CLAP_ABI Init(const clap_plugin_t* plugin) {  // [host main thread]
  return Guarded(false, [&] { return Owner(plugin)->Init(); });
}
void CLAP_ABI Destroy(const clap_plugin_t* plugin) {  // [host main thread]
  Guarded(0, [&] {
    Owner(plugin)->Destroy();
    return 0;
  });
}
bool CLAP_ABI Activate(const clap_plugin_t* plugin, double rate, uint32_t,
                       uint32_t maxFrames) {  // [host main thread]
  return Guarded(false, [&] { return Owner(plugin)->Activate(rate, maxFrames); });
}
void CLAP_ABI Deactivate(const clap_plugin_t* plugin) {  // [host main thread]
  Guarded(0, [&] {
    Owner(plugin)->Deactivate();
    return 0;
  });
}
bool CLAP_ABI StartProcessing(const clap_plugin_t* plugin) {  // [audio thread]
  return Guarded(false, [&] { return Owner(plugin)->StartProcessing(); });
}
void CLAP_ABI StopProcessing(const clap_plugin_t* plugin) {  // [audio thread]
  Guarded(0, [&] {
    Owner(plugin)->StopProcessing();
    return 0;
  });
}
void CLAP_ABI Reset(const clap_plugin_t* plugin) {  // [audio thread]
  Guarded(0, [&] {
    Owner(plugin)->Reset();
    return 0;
  });
}
clap_process_status CLAP_ABI Process(const clap_plugin_t* plugin,
                                     const clap_process_t* process) {  // [audio thread]
  return Guarded(static_cast<clap_process_status>(CLAP_PROCESS_ERROR),
                 [&] { return Owner(plugin)->Process(process); });
}
const void* CLAP_ABI GetExtension(const clap_plugin_t* plugin, const char* id) {  // [any thread]
  return Guarded(static_cast<const void*>(nullptr), [&] { return Owner(plugin)->Extension(id); });
}
// The glue asks for no main-thread callbacks.
void CLAP_ABI OnMainThread(const clap_plugin_t*) {}  // [host main thread]

}  // namespace

const clap_plugin_t kGatePluginEntries = {
    &kGateDescriptor, nullptr,        Init,  Destroy, Activate,     Deactivate,
    StartProcessing,  StopProcessing, Reset, Process, GetExtension, OnMainThread};

const void* GateClap::Extension(const char* id) const {
  if (!id) return nullptr;
  struct Entry {
    const char* id;
    const void* table;
  };
  const Entry entries[] = {
      {CLAP_EXT_PARAMS, &kGateParamsExtension},
      {CLAP_EXT_STATE, &kGateStateExtension},
      {CLAP_EXT_AUDIO_PORTS, &kGateAudioPortsExtension},
      {CLAP_EXT_NOTE_PORTS, &kGateNotePortsExtension},
      {CLAP_EXT_LATENCY, &kGateLatencyExtension},
      {CLAP_EXT_GUI, instance_->Editor() ? &kGateGuiExtension : nullptr},
      {CLAP_EXT_TIMER_SUPPORT, &kGateTimerExtension},
  };
  for (const Entry& entry : entries) {
    if (std::strcmp(entry.id, id) == 0) return entry.table;
  }
  return nullptr;
}
