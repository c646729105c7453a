// The descriptor, the factory and the module's entry record. Name, vendor
// and version are the effect's own, from the one definition the effect
// record is built from. [any thread; create_plugin on the host main thread]
#include <cstring>

#include "clap/gate_clap.h"
#include "clap/plugin_descriptor.h"
#include "engine/version.h"
#include "framework/no_throw.h"

const char kGatePluginId[] = "quorvel.step-gate";

namespace {

const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_STEREO, nullptr};

uint32_t CLAP_ABI PluginCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* CLAP_ABI Descriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? &kGateDescriptor : nullptr;
}

const clap_plugin_t* CLAP_ABI CreatePlugin(const clap_plugin_factory_t*, const clap_host_t* host,
                                           const char* id) {
  return Guarded(static_cast<const clap_plugin_t*>(nullptr), [&]() -> const clap_plugin_t* {
    if (!host || !id || std::strcmp(id, kGatePluginId) != 0) return nullptr;
    if (!clap_version_is_compatible(host->clap_version)) return nullptr;
    GateClap* object = GateClap::Create(host);
    return object ? object->Plugin() : nullptr;
  });
}

const clap_plugin_factory_t kFactory = {PluginCount, Descriptor, CreatePlugin};

bool CLAP_ABI EntryInit(const char*) { return true; }
void CLAP_ABI EntryDeinit() {}
const void* CLAP_ABI Factory(const char* id) {
  return id && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace

const clap_plugin_descriptor_t kGateDescriptor = {CLAP_VERSION_INIT,
                                                  kGatePluginId,
                                                  QUORVEL_NAME,
                                                  QUORVEL_VENDOR,
                                                  "",
                                                  "",
                                                  "",
                                                  QUORVEL_VERSION_TEXT,
                                                  "Tempo-synchronised rhythmic step gate",
                                                  kFeatures};

const clap_plugin_entry_t kGateEntry = {CLAP_VERSION_INIT, EntryInit, EntryDeinit, Factory};
