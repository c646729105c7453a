#include <windows.h>

#include <cstdio>

#include "tools/host/plugin_module.h"

void* PluginModule::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

bool PluginModule::LoadLibraryOnly(const std::string& path) {
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
  return true;
}

void PluginModule::Unload() {
  entry_ = nullptr;
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

namespace {
bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
}  // namespace

std::string Vst3BundleBinary(const std::string& bundle) {
  std::string folder = bundle;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  if (!IsFolder(folder)) return bundle;
  const size_t slash = folder.find_last_of("/\\");
  std::string name = folder.substr(slash == std::string::npos ? 0 : slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return folder + "/Contents/x86_64-win/" + name + ".vst3";
}
