// The module's entry: builds one effect instance per call and hands the host
// the effect record inside it. Exported as VSTPluginMain and as main
// (module_exports.def in the Windows build; natively module_exports.map, with
// `main` aliased at link time, since a global `main` here would clash with
// the test programs' own).
#include <cstdlib>

#include "engine/gate_plug.h"
#include "framework/recursive_lock.h"
#include "framework/vst2_interface.h"

#if defined(_WIN32)
#define QUORVEL_EXPORT
#else
#define QUORVEL_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// Serialises instance construction across host threads. Created on first use
// and kept until module unload.
RecursiveLock& ModuleLock() {
  static RecursiveLock* lock = new RecursiveLock();
  static const bool registered = [] {
    atexit([] { delete lock; });
    return true;
  }();
  (void)registered;
  return *lock;
}

}  // namespace

// [any host thread] No exception may unwind into the host: a failure anywhere
// in construction (a failed allocation, say) is answered with the null the
// host takes as "the effect could not be created".
extern "C" QUORVEL_EXPORT vst2::AEffect* VST2_CALL
VSTPluginMain(vst2::AudioMasterCallback audioMaster) {
  VSTCLASS* plug = nullptr;
  try {
    ScopedLock lock(ModuleLock());
    plug = new VSTCLASS(audioMaster);
    plug->EnsureOnePreset();
    vst2::AEffect* effect = plug->Effect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    return effect;
  } catch (...) {
    delete plug;
    return nullptr;
  }
}
