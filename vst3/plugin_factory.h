// The module's one factory: names the vendor and the one audio effect class,
// and creates GateVst3 objects. A process-wide object that lives as long as
// the module; its reference count is kept so hosts and tests can see it
// return to zero. [any host thread]
#pragma once

#include <cstdint>

#include "vst3/vst3_api.h"

// The effect's class id, our own.
extern const v3_tuid kGateClassId;

// The factory's interface pointer with one more reference.
void* AcquirePluginFactory();
// References the factory currently holds (for leak checks).
uint32_t PluginFactoryReferences();
