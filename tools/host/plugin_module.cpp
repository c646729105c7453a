#include "tools/host/plugin_module.h"

PluginModule::~PluginModule() { Unload(); }

bool PluginModule::Load(const std::string& path) {
  if (!LoadLibraryOnly(path)) return false;
  void* symbol = Symbol("VSTPluginMain");
  if (symbol == nullptr) symbol = Symbol("main");
  if (symbol == nullptr) {
    error_ = "no VSTPluginMain or main export";
    Unload();
    return false;
  }
  entry_ = reinterpret_cast<vst2::PluginEntryProc>(symbol);
  return true;
}
