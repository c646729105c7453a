// The bundle's entry points on Windows: the factory and the module's load and
// unload calls, exported by name through vst3/module_exports.def.
#include "vst3/plugin_factory.h"

extern "C" void* __stdcall GetPluginFactory() { return AcquirePluginFactory(); }
extern "C" bool __stdcall InitDll() { return true; }
extern "C" bool __stdcall ExitDll() { return true; }
