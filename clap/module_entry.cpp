// The module's one exported symbol, the entry record hosts look up by name
// (clap/exports.map natively; dllexport on Windows).
#include "clap/plugin_descriptor.h"

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry = kGateEntry;
