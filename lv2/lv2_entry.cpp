// The module's two exported entries: the host lists the plug-in and its UI
// by index. [any thread]
#include "lv2/lv2_descriptor.h"

extern "C" {

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? Lv2GateDescriptor() : nullptr;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? Lv2GateUiDescriptor() : nullptr;
}

}  // extern "C"
