#include <windows.h>

#include <cstdio>

#include "tools/host/plugin_module.h"

PluginModule::~PluginModule() { Unload(); }

bool PluginModule::Load(const std::string& path) {
  Unload();
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    char reason[64];
    std::snprintf(reason, sizeof reason, "LoadLibrary failed (error %lu)",
                  static_cast<unsigned long>(GetLastError()));
    error_ = reason;
    return false;
  }
  handle_ = module;
  FARPROC symbol = GetProcAddress(module, "VSTPluginMain");
  if (symbol == nullptr) symbol = GetProcAddress(module, "main");
  if (symbol == nullptr) {
    error_ = "no VSTPluginMain or main export";
    Unload();
    return false;
  }
  entry_ = reinterpret_cast<vst2::PluginEntryProc>(reinterpret_cast<void*>(symbol));
  return true;
}

void PluginModule::Unload() {
  entry_ = nullptr;
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}
