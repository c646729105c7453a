// The editor window's share of the sizes: the size menu, the screen's
// density, and following a new size.
#include "editor_win/editor_window.h"
#include "gui/editor_scale.h"

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);

// GetDpiForWindow where the system has it (Windows 10 1607 and later).
DpiForWindow FindDpiForWindow() {
  HMODULE user = GetModuleHandleA("user32.dll");
  if (user == nullptr) return nullptr;
  return reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
}

}  // namespace

int IEditorWindow::PromptSizeMenu(int x, int y, int current) {
  if (window_ == nullptr) return 0;
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return 0;
  for (int32_t size : kEditorSizes) {
    AppendMenuA(menu, MF_STRING | (size == current ? MF_CHECKED : 0u), static_cast<UINT_PTR>(size),
                SizeMenuEntry(size).text);
  }
  POINT at = {x, y};
  ClientToScreen(window_, &at);
  const int chosen = static_cast<int>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr));
  DestroyMenu(menu);
  // The press that opened the menu has no release to come: the window lets
  // go of the mouse it took for it.
  if (GetCapture() == window_) ::ReleaseCapture();
  return chosen;
}

int IEditorWindow::ScreenDpi() {
  HWND window = window_ != nullptr ? window_ : parent_;
  static const DpiForWindow dpiForWindow = FindDpiForWindow();
  if (window != nullptr && dpiForWindow != nullptr) {
    const UINT dpi = dpiForWindow(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(window);
  if (screen == nullptr) return kBaseDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(window, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

void IEditorWindow::OnSizeChanged() {
  if (window_ == nullptr) return;
  // A popup or tooltip placed for the old size goes, with nothing applied.
  DestroyPopup();
  HideTooltip();
  SetWindowPos(window_, nullptr, 0, 0, PixelWidth(), PixelHeight(),
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
  InvalidateRect(window_, nullptr, FALSE);
}
