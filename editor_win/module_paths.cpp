#include "editor_win/module_paths.h"

#include <cstring>

std::string DirectoryOfPath(const char* path) {
  if (path == nullptr) return std::string();
  const char* lastBackslash = std::strrchr(path, '\\');
  if (lastBackslash == nullptr || lastBackslash[1] == '\0') return std::string();
  return std::string(path, static_cast<size_t>(lastBackslash - path) + 1);
}

std::string DirectoryOfModule(HMODULE module) {
  char name[256] = {};
  const DWORD length = GetModuleFileNameA(module, name, sizeof(name));
  // A name that filled the buffer was cut short; its directory would be wrong.
  if (length == 0 || length >= sizeof(name)) return std::string();
  return DirectoryOfPath(name);
}
