// The editor window's message handling: every message becomes an entry of the
// view, with the mouse position in client coordinates and a MouseMods record
// built from the message.
#include "editor_win/editor_window.h"
// after windows.h
#include <windowsx.h>

#include "editor_win/key_map.h"
#include "editor_win/mouse_mods.h"
#include "framework/plug_base.h"

namespace {

// Sent to child windows once their top-level window moved to a monitor of
// another density (Windows 10 1703 and later, per-monitor aware hosts).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The host that needs the editor to take the keyboard focus itself.
constexpr int32_t kHostNeedingFocus = 25;

int MouseX(LPARAM lParam) { return GET_X_LPARAM(lParam); }
int MouseY(LPARAM lParam) { return GET_Y_LPARAM(lParam); }

}  // namespace

LRESULT CALLBACK IEditorWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* editor = static_cast<IEditorWindow*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
    editor->window_ = window;
    SetTimer(window, kTimerId, static_cast<UINT>(1000 / editor->FrameRate()), nullptr);
    if (editor->plug_ != nullptr && editor->plug_->HostId() == kHostNeedingFocus) {
      SetFocus(window);
    }
    if (editor->DropsAccepted()) DragAcceptFiles(window, TRUE);
    return 0;
  }
  auto* editor = reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (editor == nullptr || editor->window_ != window) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return editor->HandleMessage(message, wParam, lParam);
}

LRESULT IEditorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (popup_ != nullptr && popupState_ == kPopupTyping && message == WM_RBUTTONDOWN) {
    popupState_ = kPopupCancel;
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_CLOSE:
      CloseEditorWindow();
      return 0;
    case WM_MOUSEACTIVATE:
      if (plug_ != nullptr && plug_->HostId() == kHostNeedingFocus) SetFocus(window_);
      return MA_ACTIVATE;
    case WM_KEYDOWN:
      OnKeyDownMessage(wParam, lParam);
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId) OnTimerTick();
      return 0;
    case WM_MOUSEMOVE:
      if ((wParam & (MK_LBUTTON | MK_RBUTTON)) == 0) {
        if (OnMouseOver(MouseX(lParam), MouseY(lParam), MouseModsFromMessage(wParam))) {
          TrackMouseLeaving();
        }
      } else if (GetCapture() == window_) {
        OnMouseDrag(MouseX(lParam), MouseY(lParam), MouseModsFromMessage(wParam));
      }
      return 0;
    case WM_RBUTTONDOWN:
      if (popup_ != nullptr) {
        popupState_ = kPopupCancel;
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      HideTooltip();
      if (popup_ != nullptr) popupState_ = kPopupCommit;
      SetCapture(window_);
      OnMouseDown(MouseX(lParam), MouseY(lParam), MouseModsFromMessage(wParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      // Released after the control heard the release, so the capture change
      // this causes finds no press left to end.
      OnMouseUp(MouseX(lParam), MouseY(lParam), MouseModsFromMessage(wParam));
      ::ReleaseCapture();
      return 0;
    case WM_KILLFOCUS:
      OnFocusLost();
      return DefWindowProcA(window_, message, wParam, lParam);
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a host dialog, a window switch).
      if (reinterpret_cast<HWND>(lParam) != window_) OnCaptureLost();
      return 0;
    case WM_CANCELMODE:
      OnCaptureLost();
      return DefWindowProcA(window_, message, wParam, lParam);
    case WM_LBUTTONDBLCLK:
      if (OnMouseDoubleClick(MouseX(lParam), MouseY(lParam), MouseModsFromMessage(wParam))) {
        SetCapture(window_);
      }
      return 0;
    case WM_MOUSEWHEEL: {
      RECT windowRect = {};
      GetWindowRect(window_, &windowRect);
      // Fine wheels and touch pads send parts of a notch: the view adds
      // them up.
      const int delta = static_cast<short>(HIWORD(wParam));
      OnMouseWheel(MouseX(lParam) - windowRect.left, MouseY(lParam) - windowRect.top,
                   MouseModsFromMessage(wParam),
                   static_cast<float>(delta) / static_cast<float>(WHEEL_DELTA));
      return 0;
    }
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_COMMAND:
      // A drop-down list tells its parent, not itself, that the user picked
      // an entry; that choice commits the popup.
      if (popup_ != nullptr && reinterpret_cast<HWND>(lParam) == popup_ &&
          HIWORD(wParam) == CBN_SELCHANGE) {
        popupState_ = kPopupCommit;
        return 0;
      }
      return DefWindowProcA(window_, message, wParam, lParam);
    case kDpiChangedAfterParent:
      // The size follows the new monitor unless the user or the host chose.
      ApplyPreferredSize();
      return 0;
    case WM_MOUSEHOVER:
      ShowTooltip();
      return 0;
    case WM_MOUSELEAVE:
      HideTooltip();
      OnMouseOut();
      return 0;
    default:
      return DefWindowProcA(window_, message, wParam, lParam);
  }
}

void IEditorWindow::OnPaint() {
  RECT update = {};
  if (GetUpdateRect(window_, &update, FALSE) && !IsRectEmpty(&update)) {
    Draw(Rect{update.left, update.top, update.right, update.bottom});
  }
  // A pass that painted nothing (no controls) must still clear the update
  // region, or Windows keeps sending WM_PAINT.
  ValidateRect(window_, nullptr);
}

void IEditorWindow::OnKeyDownMessage(WPARAM virtualKey, LPARAM keyData) {
  const int32_t key = KeyCodeForVirtualKey(static_cast<uint32_t>(virtualKey));
  bool used = false;
  if (key >= 0) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(window_, &cursor);
    used = OnKeyDown(cursor.x, cursor.y, static_cast<KeyCode>(key), KeyModsHeld());
  }
  // Keys the editor does not use are the host's, as if its window had focus.
  HWND parent = GetParent(window_);
  if (!used && parent != nullptr) PostMessageA(parent, WM_KEYDOWN, virtualKey, keyData);
}

void IEditorWindow::OnDropFiles(HDROP drop) {
  char path[260] = {};
  if (DragQueryFileA(drop, 0, path, sizeof(path)) != 0) {
    POINT point = {};
    DragQueryPoint(drop, &point);
    OnDropFile(point.x, point.y, path);
  }
  DragFinish(drop);
}
