// The editor window's event handling: every event becomes an entry of the
// view, with the pointer in window coordinates and a MouseMods record built
// as the Win32 window builds it (the button of a press counts as held, the
// button of a release no longer does).
#include <cstdlib>

#include "editor_x11/editor_window_x11.h"
#include "editor_x11/focus_loss.h"
#include "editor_x11/x11_headers.h"
#include "editor_x11/x11_key_map.h"
#include "framework/plug_base.h"

namespace {

// X numbers the buttons: 1 left, 3 right, 4/5 wheel up/down, 6/7 sideways.
constexpr unsigned kLeft = Button1;
constexpr unsigned kRight = Button3;
constexpr unsigned kWheelUp = Button4;
constexpr unsigned kWheelDown = Button5;

MouseMods ModsFromState(unsigned state) {
  MouseMods mods;
  mods.L = (state & Button1Mask) != 0;
  mods.R = (state & Button3Mask) != 0;
  mods.S = (state & ShiftMask) != 0;
  mods.C = (state & ControlMask) != 0;
  mods.A = (state & Mod1Mask) != 0;
  return mods;
}

unsigned MaskOfButton(unsigned button) {
  return button == kLeft ? Button1Mask : button == kRight ? Button3Mask : 0u;
}

Rect Union(const Rect& a, int x, int y, int width, int height) {
  return UnionRect(a, Rect{x, y, x + width, y + height});
}

}  // namespace

void XEditorWindow::HandleEvent(const XEvent& event) {
  if (display_ == nullptr) return;
  if (popup_.window != 0 && event.xany.window == popup_.window) return HandlePopupEvent(event);
  if (event.xany.window != window_) return;
  switch (event.type) {
    case Expose:
      exposed_ = Union(exposed_, event.xexpose.x, event.xexpose.y, event.xexpose.width,
                       event.xexpose.height);
      break;
    case ButtonPress:
      OnButtonPress(event);
      break;
    case ButtonRelease:
      OnButtonRelease(event);
      break;
    case MotionNotify:
      OnMotion(event);
      break;
    case KeyPress:
      OnKeyPress(event);
      break;
    case LeaveNotify:
      // A grab moving the pointer's focus is no real leaving.
      if (event.xcrossing.mode == NotifyNormal && !grabbed_) OnMouseOut();
      if (event.xcrossing.mode == NotifyUngrab && grabbed_) LoseGrab();
      break;
    case EnterNotify:
      if (event.xcrossing.mode == NotifyUngrab && grabbed_) LoseGrab();
      break;
    case FocusOut:
      if (!FocusIsLost(event.xfocus.mode, event.xfocus.detail)) break;
      // A window switch mid-press: the press ends as on a lost capture.
      if (grabbed_) {
        UngrabPointer();
        LoseGrab();
      }
      OnFocusLost();
      break;
    case UnmapNotify:
      if (grabbed_) LoseGrab();
      break;
    case SelectionRequest:
      AnswerSelectionRequest(event);
      break;
    case SelectionClear:
      DropClipboard();
      break;
    default:
      break;
  }
}

void XEditorWindow::OnButtonPress(const XEvent& buttonEvent) {
  const XButtonEvent& event = buttonEvent.xbutton;
  if (event.button == kWheelUp || event.button == kWheelDown) {
    OnMouseWheel(event.x, event.y, ModsFromState(event.state),
                 event.button == kWheelUp ? 1.0f : -1.0f);
    return;
  }
  // Sideways wheel buttons (6, 7) and the middle button mean nothing here,
  // as on Windows.
  if (event.button != kLeft && event.button != kRight) return;
  // A click in the editor ends an open popup: the left button applies it,
  // the right one cancels it (and does nothing else).
  if (popup_.window != 0 && popup_.state == kPopupTyping) {
    // A click beside the size menu only closes it, as beside any menu.
    if (popup_.sizeMenu) {
      popup_.state = kPopupCancel;
      return;
    }
    popup_.state = event.button == kLeft ? kPopupCommit : kPopupCancel;
    if (event.button == kRight) return;
  }
  const MouseMods mods = ModsFromState(event.state | MaskOfButton(event.button));
  const bool isDouble = event.button == kLeft && !lastPressWasDouble_ && lastPressTime_ != 0 &&
                        event.time - lastPressTime_ <= static_cast<Time>(kDoubleClickMs) &&
                        std::abs(event.x - lastPressX_) <= kDoubleClickDistance &&
                        std::abs(event.y - lastPressY_) <= kDoubleClickDistance;
  if (event.button == kLeft) {
    lastPressTime_ = event.time;
    lastPressX_ = event.x;
    lastPressY_ = event.y;
    lastPressWasDouble_ = isDouble;
  } else {
    lastPressTime_ = 0;
  }
  if (isDouble) {
    if (OnMouseDoubleClick(event.x, event.y, mods)) GrabPointer();
    return;
  }
  GrabPointer();
  OnMouseDown(event.x, event.y, mods);
}

void XEditorWindow::OnButtonRelease(const XEvent& buttonEvent) {
  const XButtonEvent& event = buttonEvent.xbutton;
  if (event.button != kLeft && event.button != kRight) return;
  const MouseMods mods = ModsFromState(event.state & ~MaskOfButton(event.button));
  // Released after the control heard the release, so the ungrab finds no
  // press left to end.
  OnMouseUp(event.x, event.y, mods);
  UngrabPointer();
}

void XEditorWindow::OnMotion(const XEvent& motionEvent) {
  const XMotionEvent& event = motionEvent.xmotion;
  const MouseMods mods = ModsFromState(event.state);
  if (!mods.L && !mods.R) {
    OnMouseOver(event.x, event.y, mods);
  } else if (grabbed_) {
    OnMouseDrag(event.x, event.y, mods);
  }
}

void XEditorWindow::OnKeyPress(const XEvent& keyEvent) {
  XKeyEvent event = keyEvent.xkey;
  const KeySym symbol = XLookupKeysym(&event, 0);
  const int32_t key = KeyCodeForKeySym(static_cast<uint32_t>(symbol));
  if (key < 0) return;
  KeyMods mods;
  mods.shift = (event.state & ShiftMask) != 0;
  mods.ctrl = (event.state & ControlMask) != 0;
  mods.alt = (event.state & Mod1Mask) != 0;
  OnKeyDown(event.x, event.y, static_cast<KeyCode>(key), mods);
}

void XEditorWindow::GrabPointer() {
  const unsigned mask =
      ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  // The press's own implicit grab already sends the drag here; the explicit
  // one keeps it after other buttons come and go. The server's current time
  // is used, as events sent by other clients may carry any stamp.
  XGrabPointer(display_, window_, False, mask, GrabModeAsync, GrabModeAsync, None, None,
               CurrentTime);
  grabbed_ = true;
}

void XEditorWindow::UngrabPointer() {
  if (!grabbed_) return;
  grabbed_ = false;
  XUngrabPointer(display_, CurrentTime);
  XFlush(display_);
}

void XEditorWindow::LoseGrab() {
  grabbed_ = false;
  OnCaptureLost();
}
