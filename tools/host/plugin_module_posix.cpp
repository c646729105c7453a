#include <dlfcn.h>

#include "tools/host/plugin_module.h"

PluginModule::~PluginModule() { Unload(); }

bool PluginModule::Load(const std::string& path) {
  Unload();
  // A bare file name would make dlopen search the library path, not the
  // current directory.
  std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : "dlopen failed";
    return false;
  }
  void* symbol = dlsym(handle_, "VSTPluginMain");
  if (symbol == nullptr) symbol = dlsym(handle_, "main");
  if (symbol == nullptr) {
    error_ = "no VSTPluginMain or main export";
    Unload();
    return false;
  }
  entry_ = reinterpret_cast<vst2::PluginEntryProc>(symbol);
  return true;
}

void PluginModule::Unload() {
  entry_ = nullptr;
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}
