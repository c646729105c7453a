#include <windows.h>
// after windows.h
#include <shlobj.h>

#include <cstdio>

#include "gui/user_settings.h"

namespace {

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string Utf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], length, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(length - 1));
  return utf8;
}

}  // namespace

std::string UserSettingsFolder(bool create) {
  wchar_t appData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) {
    return std::string();
  }
  const std::wstring folder = std::wstring(appData) + L"\\Quorvel";
  if (create) CreateDirectoryW(folder.c_str(), nullptr);
  return Utf8(folder.c_str()) + "\\";
}

std::FILE* OpenSettingsFile(const std::string& path, bool write) {
  return _wfopen(Wide(path).c_str(), write ? L"wb" : L"rb");
}
