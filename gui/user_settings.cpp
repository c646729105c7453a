#include "gui/user_settings.h"

#include <cstdio>
#include <cstdlib>

#include "gui/editor_scale.h"

namespace {

constexpr const char* kSettingsFileName = "editor.txt";
constexpr const char* kSizeKey = "size=";

std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

std::string SettingsPath(bool create) {
  const std::string& chosen = FolderOverride();
  const std::string folder = chosen.empty() ? UserSettingsFolder(create) : chosen + "/";
  return folder.empty() ? std::string() : folder + kSettingsFileName;
}

}  // namespace

bool ReadSmallFile(const std::string& path, std::string* text) {
  std::FILE* file = OpenSettingsFile(path, false);
  if (file == nullptr) return false;
  char buffer[256];
  const size_t length = std::fread(buffer, 1, sizeof(buffer), file);
  std::fclose(file);
  text->assign(buffer, length);
  return true;
}

bool WriteSmallFile(const std::string& path, const std::string& text) {
  std::FILE* file = OpenSettingsFile(path, true);
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

void SetUserSettingsFolder(const std::string& folder) { FolderOverride() = folder; }

int LoadEditorSizeSetting() {
  std::string text;
  const std::string path = SettingsPath(false);
  if (path.empty() || !ReadSmallFile(path, &text)) return 0;
  const size_t at = text.find(kSizeKey);
  if (at == std::string::npos) return 0;
  const long percent =
      std::strtol(text.c_str() + at + std::char_traits<char>::length(kSizeKey), nullptr, 10);
  for (int32_t size : kEditorSizes) {
    if (size == percent) return size;
  }
  return 0;
}

bool SaveEditorSizeSetting(int percent) {
  const std::string path = SettingsPath(true);
  if (path.empty()) return false;
  return WriteSmallFile(path, kSizeKey + std::to_string(ValidEditorSize(percent)) + "\n");
}
