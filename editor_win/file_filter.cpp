#include "editor_win/file_filter.h"

FileFilter BuildFileFilter(const char* extensions) {
  FileFilter result;
  if (extensions == nullptr) return result;
  std::string pattern;
  const char* p = extensions;
  while (*p != '\0') {
    while (*p == ' ') ++p;
    const char* wordStart = p;
    while (*p != '\0' && *p != ' ') ++p;
    if (p == wordStart) continue;
    const std::string word(wordStart, static_cast<size_t>(p - wordStart));
    if (result.defaultExtension.empty()) result.defaultExtension = word;
    if (!pattern.empty()) pattern += ';';
    pattern += "*." + word;
  }
  if (pattern.empty()) return result;
  result.filter = pattern;
  result.filter += '\0';
  result.filter += pattern;
  result.filter += '\0';
  result.filter += '\0';
  return result;
}
