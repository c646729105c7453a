// Building an instance for a glue that answers its host services itself:
// the effect is built as its VST 2 glue builds it, with a callback that
// answers only the version, and its host services go to the glue's host.
#include <new>

#include "engine/gate_plug.h"
#include "framework/recursive_lock.h"
#include "instance/effect_instance.h"
#include "instance/vst2_effect_instance.h"

namespace {

intptr_t VST2_CALL VersionOnly(vst2::AEffect* /*effect*/, int32_t opcode, int32_t /*index*/,
                               intptr_t /*value*/, void* /*ptr*/, float /*opt*/) {
  return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

// Serialises instance construction, as the VST 2 entry does.
RecursiveLock& ConstructionLock() {
  static RecursiveLock lock;
  return lock;
}

}  // namespace

EffectInstance* CreateEffectInstance(InstanceHost* host) {
  VSTCLASS* plug = nullptr;
  try {
    ScopedLock lock(ConstructionLock());
    plug = new VSTCLASS(&VersionOnly);
  } catch (...) {
    return nullptr;  // what the construction could not allocate it freed
  }
  Vst2EffectInstance* instance = new (std::nothrow) Vst2EffectInstance(plug);
  if (!instance) {
    delete plug;
    return nullptr;
  }
  plug->EnsureOnePreset();
  plug->SetInstanceHost(host);
  return instance;
}
