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

bool ReadSmallFile(const std::string& path, std::string* text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[256];
  const size_t length = std::fread(buffer, 1, sizeof(buffer), file);
  std::fclose(file);
  text->assign(buffer, length);
  return true;
}

bool WriteSmallFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}
