// The editor on the Windows clipboard: text goes there as CF_UNICODETEXT
// (UTF-16) and CF_TEXT (the ANSI code page, for older readers) and comes
// back from CF_UNICODETEXT, else CF_TEXT, as UTF-8. Another program holding
// the clipboard open for a moment is waited for briefly.
#include <windows.h>

#include <cstring>
#include <string>

#include "editor_win/editor_window.h"
#include "gui/clipboard_text.h"

namespace {

constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenPauseMs = 10;

bool OpenClipboardFor(HWND window) {
  for (int attempt = 1;; ++attempt) {
    if (OpenClipboard(window)) return true;
    if (attempt == kOpenAttempts) return false;
    Sleep(kOpenPauseMs);
  }
}

// Moves `bytes` into memory the clipboard can own; null when out of memory.
HGLOBAL ToGlobal(const void* bytes, size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return nullptr;
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(memory);
  return memory;
}

// Hands the memory to the clipboard, or frees it when refused.
bool Place(UINT format, HGLOBAL memory) {
  if (memory == nullptr) return false;
  if (SetClipboardData(format, memory) != nullptr) return true;
  GlobalFree(memory);
  return false;
}

// The UTF-16 text up to its terminator (or the memory's end);
// false when there are more than the clipboard's limit.
bool ReadUnicode(std::wstring* text) {
  HANDLE memory = GetClipboardData(CF_UNICODETEXT);
  if (memory == nullptr) return false;
  const auto* characters = static_cast<const wchar_t*>(GlobalLock(memory));
  if (characters == nullptr) return false;
  const size_t room = GlobalSize(memory) / sizeof(wchar_t);
  size_t length = 0;
  while (length < room && characters[length] != L'\0') ++length;
  const bool fits = length <= kMaxClipboardBytes;
  if (fits) text->assign(characters, length);
  GlobalUnlock(memory);
  return fits;
}

bool ReadAnsi(std::wstring* text) {
  HANDLE memory = GetClipboardData(CF_TEXT);
  if (memory == nullptr) return false;
  const auto* bytes = static_cast<const char*>(GlobalLock(memory));
  if (bytes == nullptr) return false;
  const size_t room = GlobalSize(memory);
  size_t length = 0;
  while (length < room && bytes[length] != '\0') ++length;
  bool read = length <= kMaxClipboardBytes;
  if (read && length > 0) {
    const int size = static_cast<int>(length);
    const int count = MultiByteToWideChar(CP_ACP, 0, bytes, size, nullptr, 0);
    text->resize(static_cast<size_t>(count));
    read = count > 0 && MultiByteToWideChar(CP_ACP, 0, bytes, size, &(*text)[0], count) == count;
  } else {
    text->clear();
  }
  GlobalUnlock(memory);
  return read;
}

// UTF-16 to UTF-8; false for a lone surrogate or a result over the limit.
bool ToUtf8(const std::wstring& wide, std::string* text) {
  if (wide.empty()) {
    text->clear();
    return true;
  }
  const int length = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, nullptr,
                                       0, nullptr, nullptr);
  if (size <= 0 || static_cast<size_t>(size) > kMaxClipboardBytes) return false;
  std::string result(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, &result[0], size,
                          nullptr, nullptr) != size) {
    return false;
  }
  *text = std::move(result);
  return true;
}

}  // namespace

bool IEditorWindow::CopyToClipboard(const char* text) {
  if (window_ == nullptr || text == nullptr) return false;
  const size_t length = std::strlen(text);
  if (length > kMaxClipboardBytes) return false;
  // Sized with the terminator, so the conversions write it too.
  const int size = static_cast<int>(length) + 1;
  const int wideSize = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, size, nullptr, 0);
  if (wideSize <= 0) return false;
  std::wstring wide(static_cast<size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, size, &wide[0], wideSize);
  const int ansiSize =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(ansiSize > 0 ? ansiSize : 0), '\0');
  if (ansiSize > 0) {
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, &ansi[0], ansiSize, nullptr, nullptr);
  }
  if (!OpenClipboardFor(window_)) return false;
  bool placed = EmptyClipboard() != 0;
  placed = placed && Place(CF_UNICODETEXT, ToGlobal(wide.data(), wide.size() * sizeof(wchar_t)));
  // The ANSI form is a courtesy: the copy stands without it.
  if (placed && !ansi.empty()) Place(CF_TEXT, ToGlobal(ansi.data(), ansi.size()));
  CloseClipboard();
  return placed;
}

bool IEditorWindow::PasteFromClipboard(std::string* text) {
  if (window_ == nullptr || text == nullptr) return false;
  const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
  if (!unicode && IsClipboardFormatAvailable(CF_TEXT) == 0) return false;
  if (!OpenClipboardFor(window_)) return false;
  std::wstring wide;
  const bool read = unicode ? ReadUnicode(&wide) : ReadAnsi(&wide);
  CloseClipboard();
  return read && ToUtf8(wide, text);
}
