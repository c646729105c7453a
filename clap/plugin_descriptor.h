// The one plug-in the module's factory makes, as hosts list it. [any thread]
#pragma once

#include "clap/clap_api.h"

extern const char kGatePluginId[];
extern const clap_plugin_descriptor_t kGateDescriptor;

// The module's entry record: the factory behind clap.plugin-factory.
extern const clap_plugin_entry_t kGateEntry;
