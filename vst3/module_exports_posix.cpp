// The bundle's entry points on Linux: the factory and the module's load and
// unload calls, the only symbols the shared object exports (vst3/exports.map).
#include "vst3/plugin_factory.h"

#define QUORVEL_VST3_EXPORT extern "C" __attribute__((visibility("default")))

QUORVEL_VST3_EXPORT void* GetPluginFactory() { return AcquirePluginFactory(); }
QUORVEL_VST3_EXPORT bool ModuleEntry(void*) { return true; }
QUORVEL_VST3_EXPORT bool ModuleExit() { return true; }
