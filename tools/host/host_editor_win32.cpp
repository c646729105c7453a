#include <windows.h>

#include <cstdio>
#include <vector>

#include "tools/host/bmp_file.h"
#include "tools/host/host_editor.h"

namespace {

const char kParentClassName[] = "QuorvelTestHostEditorParent";
constexpr DWORD kParentStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kTickMilliseconds = 41;
constexpr int kDragMoves = 8;

HWND Window(void* handle) { return static_cast<HWND>(handle); }

bool RegisterParentClass() {
  WNDCLASSA existing = {};
  if (GetClassInfoA(GetModuleHandleA(nullptr), kParentClassName, &existing)) return true;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kParentClassName;
  return RegisterClassA(&windowClass) != 0;
}

// Handles every message already waiting, as a host's message loop would.
void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Posts a message to the effect's window and lets it be handled.
void Deliver(HWND window, UINT message, WPARAM wParam, int x, int y) {
  PostMessageA(window, message, wParam, MAKELPARAM(x, y));
  PumpPending();
}

// Gives the host's window a client area of width × height, as the effect asks.
bool ResizeClient(HWND parent, int width, int height) {
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, kParentStyle, FALSE, 0);
  const bool resized =
      SetWindowPos(parent, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
  PumpPending();
  return resized;
}

bool NeedOpen(void* child, std::string& error) {
  if (child != nullptr) return true;
  error = "no editor is open";
  return false;
}

}  // namespace

HostEditor::~HostEditor() {
  // Only reached with the effect already gone; the window must not outlive the host.
  if (parent_ != nullptr) DestroyWindow(Window(parent_));
}

bool HostEditor::Open(PluginSession& session, int width, int height, intptr_t& result,
                      std::string& error) {
  if (!RegisterParentClass()) {
    error = "cannot register the parent window class";
    return false;
  }
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, kParentStyle, FALSE, 0);
  HWND parent =
      CreateWindowExA(0, kParentClassName, "Quorvel test host", kParentStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                      nullptr, GetModuleHandleA(nullptr), nullptr);
  if (parent == nullptr) {
    error = "cannot create the parent window (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  ShowWindow(parent, SW_SHOWNORMAL);
  PumpPending();
  session.SetEditorWindowResizer(
      [parent](int newWidth, int newHeight) { return ResizeClient(parent, newWidth, newHeight); });
  result = session.AttachEditor(parent);
  PumpPending();
  HWND child = FindWindowExA(parent, nullptr, nullptr, nullptr);
  if (child == nullptr) {
    session.DetachEditor();
    session.SetEditorWindowResizer(nullptr);
    DestroyWindow(parent);
    PumpPending();
    error = "the effect made no window inside the parent (result " + std::to_string(result) + ")";
    return false;
  }
  parent_ = parent;
  child_ = child;
  return true;
}

intptr_t HostEditor::Close(PluginSession& session) {
  if (parent_ == nullptr) return 0;
  const intptr_t result = session.DetachEditor();
  session.SetEditorWindowResizer(nullptr);
  PumpPending();
  DestroyWindow(Window(parent_));
  PumpPending();
  parent_ = nullptr;
  child_ = nullptr;
  return result;
}

bool HostEditor::Click(int x, int y, bool right, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  HWND child = Window(child_);
  Deliver(child, WM_MOUSEMOVE, 0, x, y);
  Deliver(child, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, x, y);
  Deliver(child, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, x, y);
  return true;
}

bool HostEditor::Drag(int x1, int y1, int x2, int y2, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  HWND child = Window(child_);
  Deliver(child, WM_MOUSEMOVE, 0, x1, y1);
  Deliver(child, WM_LBUTTONDOWN, MK_LBUTTON, x1, y1);
  // Several moves, as a hand makes them, so the effect sees a drag in steps.
  for (int i = 1; i <= kDragMoves; ++i) {
    Deliver(child, WM_MOUSEMOVE, MK_LBUTTON, x1 + (x2 - x1) * i / kDragMoves,
            y1 + (y2 - y1) * i / kDragMoves);
  }
  Deliver(child, WM_LBUTTONUP, 0, x2, y2);
  return true;
}

bool HostEditor::Wheel(int x, int y, int notches, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  HWND child = Window(child_);
  Deliver(child, WM_MOUSEMOVE, 0, x, y);
  // The wheel message carries screen coordinates.
  POINT point = {x, y};
  ClientToScreen(child, &point);
  const int step = notches < 0 ? -1 : 1;
  for (int i = 0; i != notches; i += step) {
    Deliver(child, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(step * WHEEL_DELTA)), point.x,
            point.y);
  }
  return true;
}

void HostEditor::Ticks(int ticks) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ticks) * kTickMilliseconds;
  for (;;) {
    PumpPending();
    const ULONGLONG now = GetTickCount64();
    if (now >= end) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

bool HostEditor::HostWindowSize(int& width, int& height) {
  RECT client = {};
  if (parent_ == nullptr || !GetClientRect(Window(parent_), &client)) return false;
  width = client.right - client.left;
  height = client.bottom - client.top;
  return true;
}

bool HostEditor::Capture(const std::string& path, int& width, int& height, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  HWND child = Window(child_);
  PumpPending();
  UpdateWindow(child);  // paint what is still invalid before reading it back
  RECT client = {};
  GetClientRect(child, &client);
  width = client.right - client.left;
  height = client.bottom - client.top;
  if (width <= 0 || height <= 0) {
    error = "the editor window is empty";
    return false;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDc = GetDC(child);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memoryDc != nullptr && bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    copied = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memoryDc, previous);
  }
  bool written = false;
  if (copied) {
    written = WriteBmp32(path, width, height, static_cast<const uint8_t*>(bits), error);
  } else {
    error = "cannot copy the editor window's content";
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memoryDc != nullptr) DeleteDC(memoryDc);
  ReleaseDC(child, windowDc);
  return written;
}
