// The plug-in's and the UI's descriptors, as the module's entry points hand
// them to the host (lv2_entry.cpp) and as tests drive them. [any thread]
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

const LV2_Descriptor* Lv2GateDescriptor();
const LV2UI_Descriptor* Lv2GateUiDescriptor();
