// Placeholder until the instance code exists: the module loads but creates no effect.
#include "framework/vst2_interface.h"

extern "C" __attribute__((visibility("default"))) vst2::AEffect* VSTPluginMain(
    vst2::AudioMasterCallback /*audioMaster*/) {
  return nullptr;
}
