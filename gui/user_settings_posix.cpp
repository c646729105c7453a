#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "gui/user_settings.h"

std::string UserSettingsFolder(bool create) {
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return std::string();
    base = std::string(home) + "/.config";
  }
  const std::string folder = base + "/Quorvel";
  if (create) {
    mkdir(base.c_str(), 0700);
    mkdir(folder.c_str(), 0700);
  }
  return folder + "/";
}

std::FILE* OpenSettingsFile(const std::string& path, bool write) {
  return std::fopen(path.c_str(), write ? "wb" : "rb");
}
