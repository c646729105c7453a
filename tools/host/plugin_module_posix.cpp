#include <dlfcn.h>
#include <sys/stat.h>

#include "tools/host/plugin_module.h"

void* PluginModule::Symbol(const char* name) const {
  return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

bool PluginModule::LoadLibraryOnly(const std::string& path) {
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
  return true;
}

void PluginModule::Unload() {
  entry_ = nullptr;
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

namespace {
bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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
  return folder + "/Contents/x86_64-linux/" + name + ".so";
}
