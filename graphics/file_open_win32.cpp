#include <windows.h>

#include "graphics/file_open.h"

std::FILE* OpenFileForReading(const char* utf8Path) {
  wchar_t widePath[2048];
  int converted =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, widePath, 2048);
  if (converted > 0) {
    std::FILE* file = _wfopen(widePath, L"rb");
    if (file != nullptr) return file;
  }
  return std::fopen(utf8Path, "rb");
}
