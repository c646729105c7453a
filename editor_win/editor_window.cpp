#include "editor_win/editor_window.h"

#include <algorithm>

#include "editor_win/module_paths.h"
#include "editor_win/mouse_mods.h"
#include "editor_win/system_dialogs.h"
#include "framework/plug_base.h"
#include "graphics/bitmap.h"
#include "graphics/png_loader.h"

namespace {

// Editor windows open in the process; only user-interface threads touch it.
int gOpenWindows = 0;

constexpr int kCustomColourCount = 16;

}  // namespace

IEditorWindow::IEditorWindow(IPlugBase* plug, int width, int height, int frameRate,
                             HINSTANCE module)
    : IEditorView(plug, width, height, frameRate), module_(module) {}

IEditorWindow::~IEditorWindow() {
  CloseEditorWindow();
  delete[] customColours_;
}

int IEditorWindow::OpenWindowCount() { return gOpenWindows; }

bool IEditorWindow::AcquireWindowClass() {
  if (gOpenWindows++ > 0) return true;
  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = module_;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClassName;
  return RegisterClassA(&windowClass) != 0;
}

void IEditorWindow::ReleaseWindowClass() {
  if (gOpenWindows > 0 && --gOpenWindows == 0) UnregisterClassA(kWindowClassName, module_);
}

bool IEditorWindow::OpenEditorWindow(void* parentWindow) {
  HWND parent = static_cast<HWND>(parentWindow);
  parent_ = parent;
  int x = 0;
  int y = 0;
  int width = PixelWidth();
  int height = PixelHeight();
  if (window_ != nullptr) {
    // Moving into a new parent: keep the place the editor had in the old one.
    RECT parentRect = {};
    RECT oldRect = {};
    GetWindowRect(parent, &parentRect);
    GetWindowRect(window_, &oldRect);
    CloseEditorWindow();
    x = oldRect.left - parentRect.left;
    y = oldRect.top - parentRect.top;
    width = oldRect.right - oldRect.left;
    height = oldRect.bottom - oldRect.top;
    parent_ = parent;
  }

  AcquireWindowClass();
  window_ = CreateWindowExA(0, kWindowClassName, "IPlug", WS_CHILD | WS_VISIBLE, x, y, width,
                            height, parent, nullptr, module_, this);
  if (window_ == nullptr) {
    ReleaseWindowClass();
    return false;
  }
  SetAllControlsDirty();
  if (tooltipsEnabled_) CreateTooltips();
  // Now that the window knows its monitor, the size may change (and the
  // host is asked for a frame to match).
  ApplyPreferredSize();
  return true;
}

void IEditorWindow::CloseEditorWindow() {
  if (window_ == nullptr) return;
  if (tooltipWindow_ != nullptr) DestroyWindow(tooltipWindow_);
  tooltipWindow_ = nullptr;
  tooltipShown_ = false;
  tooltipControl_ = -1;
  // A press still held (a rocker would run on) and a wheel gesture still
  // counting down both end with the window.
  OnCaptureLost();
  OnFocusLost();
  if (deferredTicks_ != 0 && plug_ != nullptr) plug_->FlushPendingEditEnd();
  deferredTicks_ = 0;

  HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
  // The popup, a child of the editor window, died with it.
  ForgetPopup();
  ReleaseWindowClass();
}

void* IEditorWindow::GetEditorHwnd() { return window_; }

bool IEditorWindow::IsWindowOpen() { return window_ != nullptr; }

bool IEditorWindow::PaintRect(const Rect& rect) {
  if (window_ == nullptr) return false;
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(window_, &paint);
  if (screen == nullptr) return false;
  BOOL copied = FALSE;
  if (backBuffer_ != nullptr && backBuffer_->GetDeviceContext() != nullptr) {
    copied = BitBlt(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    backBuffer_->GetDeviceContext(), rect.left, rect.top, SRCCOPY);
  }
  EndPaint(window_, &paint);
  return copied != FALSE;
}

void IEditorWindow::ResizeEditor(int width, int height) {
  // The view rebuilds its controls for the new size: a popup or tooltip
  // still pointing at one of the old ones goes first, with nothing applied.
  DestroyPopup();
  HideTooltip();
  tooltipControl_ = -1;
  const int oldPixelWidth = PixelWidth();
  const int oldPixelHeight = PixelHeight();
  IEditorView::ResizeEditor(width, height);
  if (backBuffer_ != nullptr) backBuffer_->Resize(PixelWidth(), PixelHeight());
  if (window_ == nullptr) return;

  const int dw = PixelWidth() - oldPixelWidth;
  const int dh = PixelHeight() - oldPixelHeight;
  auto isPlainChild = [](HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0 &&
           (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0;
  };
  // The editor, then up to two enclosing host windows, grow by the change.
  HWND windows[3] = {window_, nullptr, nullptr};
  RECT rects[3] = {};
  GetWindowRect(window_, &rects[0]);
  if (isPlainChild(window_)) {
    windows[1] = GetParent(window_);
    if (windows[1] != nullptr) {
      GetWindowRect(windows[1], &rects[1]);
      if (isPlainChild(windows[1])) {
        windows[2] = GetParent(windows[1]);
        if (windows[2] != nullptr) GetWindowRect(windows[2], &rects[2]);
      }
    }
  }
  for (int i = 0; i < 3 && windows[i] != nullptr; ++i) {
    SetWindowPos(windows[i], nullptr, 0, 0, rects[i].right - rects[i].left + dw,
                 rects[i].bottom - rects[i].top + dh, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
  }
  const RECT old = {0, 0, rects[0].right - rects[0].left, rects[0].bottom - rects[0].top};
  InvalidateRect(window_, &old, FALSE);
}

int IEditorWindow::HostMouseWheel(float delta) {
  if (window_ == nullptr) return 0;
  POINT cursor;
  if (!GetCursorPos(&cursor) || WindowFromPoint(cursor) != window_) return 0;
  RECT windowRect = {};
  GetWindowRect(window_, &windowRect);
  OnMouseWheel(cursor.x - windowRect.left, cursor.y - windowRect.top, MouseModsFromKeyboard(),
               delta);
  return 1;
}

void IEditorWindow::SetDeferredTicks(int ticks) { deferredTicks_ = ticks; }

void IEditorWindow::ClearDeferredTicks() { deferredTicks_ = 0; }

void IEditorWindow::InvalidateExceptPopup(const Rect& rect) {
  const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  InvalidateRect(window_, &area, FALSE);
  if (popup_ != nullptr) {
    // The popup draws itself; repainting under it would only flicker.
    RECT popupArea = {};
    GetClientRect(popup_, &popupArea);
    MapWindowPoints(popup_, window_, reinterpret_cast<POINT*>(&popupArea), 2);
    ValidateRect(window_, &popupArea);
  }
  UpdateWindow(window_);
}

void IEditorWindow::OnTimerTick() {
  EndPopupIfAsked();
  if (window_ == nullptr) return;

  // Only what changed is repainted: an idle editor paints nothing, and the
  // activity strip asks for a pass only when the playing step moves.
  Rect dirty;
  if (CollectDirty(&dirty)) InvalidateExceptPopup(PixelRect(dirty));

  if (deferredTicks_ != 0 && --deferredTicks_ == 0 && plug_ != nullptr) {
    plug_->FlushPendingEditEnd();
  }
}

void IEditorWindow::SyncTooltips() {
  if (!tooltipsEnabled_) HideTooltip();
}

Bitmap* IEditorWindow::LoadImageResource(int id, const char* /*name*/) {
  return LoadPngFromResource(module_, static_cast<uint16_t>(id), nullptr);
}

void IEditorWindow::GetHostDirectory(std::string* result) {
  if (result != nullptr) *result = DirectoryOfModule(nullptr);
}

void IEditorWindow::GetModuleDirectory(std::string* result) {
  if (result != nullptr) *result = DirectoryOfModule(module_);
}

void IEditorWindow::PromptFile(std::string* result, int action, const char* directory,
                               const char* extensions) {
  if (result == nullptr) return;
  if (window_ == nullptr) {
    result->clear();
    return;
  }
  std::string initialDirectory;
  if (directory != nullptr && directory[0] != '\0') {
    initialDirectory = directory;
  } else {
    GetHostDirectory(&initialDirectory);
  }
  *result = FileDialog(window_, *result, action, initialDirectory, extensions);
}

bool IEditorWindow::PromptColour(Colour* colour, const char* prompt) {
  if (window_ == nullptr || colour == nullptr) return false;
  if (customColours_ == nullptr) {
    // Kept for the editor's life, so the next dialog offers them again.
    customColours_ = new COLORREF[kCustomColourCount];
    std::fill(customColours_, customColours_ + kCustomColourCount, 0);
  }
  return ChooseColourDialog(window_, customColours_, colour, prompt);
}

bool IEditorWindow::OpenUrl(const char* url, const char* title, const char* confirm,
                            const char* error) {
  return OpenUrlWithShell(window_, url, title, confirm, error);
}
