// The X11 editor mode: a top-level window of the host's on $DISPLAY, the
// effect's editor opened inside it by window id, input sent to the effect's
// child window as events (so the effect's own connection reads them), and
// the effect's idle call made after each event and while time passes, as a
// Linux host's editor thread makes it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "tools/host/bmp_file.h"
#include "tools/host/host_editor.h"

namespace {

constexpr int kTickMilliseconds = 41;
constexpr int kIdleMilliseconds = 10;
constexpr int kDragMoves = 8;
// Apart by more than any double-click time: separate presses stay separate.
constexpr unsigned long kPressSpacing = 1000;

Display* DisplayOf(void* display) { return static_cast<Display*>(display); }
Window WindowOf(void* window) { return static_cast<Window>(reinterpret_cast<uintptr_t>(window)); }

bool NeedOpen(void* child, std::string& error) {
  if (child != nullptr) return true;
  error = "no editor is open";
  return false;
}

}  // namespace

HostEditor::~HostEditor() {
  if (display_ == nullptr) return;
  if (parent_ != nullptr) XDestroyWindow(DisplayOf(display_), WindowOf(parent_));
  XCloseDisplay(DisplayOf(display_));
}

bool HostEditor::Open(PluginSession& session, int width, int height, intptr_t& result,
                      std::string& error) {
  if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
  Display* display = DisplayOf(display_);
  if (display == nullptr) {
    error = "cannot open the X display (is DISPLAY set?)";
    return false;
  }
  const int screen = DefaultScreen(display);
  const Window parent = XCreateSimpleWindow(
      display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
      static_cast<unsigned>(height), 0, BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, parent, "Quorvel test host");
  XSelectInput(display, parent, StructureNotifyMask);
  XMapWindow(display, parent);
  for (XEvent event;;) {
    XWindowEvent(display, parent, StructureNotifyMask, &event);
    if (event.type == MapNotify) break;
  }
  session_ = &session;
  session.SetEditorWindowResizer([display, parent](int newWidth, int newHeight) {
    XResizeWindow(display, parent, static_cast<unsigned>(newWidth),
                  static_cast<unsigned>(newHeight));
    XSync(display, False);
    return true;
  });
  result = session.AttachEditor(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
  session.EditorIdle();
  XSync(display, False);
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window child = 0;
  if (XQueryTree(display, parent, &root, &up, &children, &count) != 0 && count > 0) {
    child = children[0];
  }
  if (children != nullptr) XFree(children);
  if (child == 0) {
    session.DetachEditor();
    session.SetEditorWindowResizer(nullptr);
    session_ = nullptr;
    XDestroyWindow(display, parent);
    XSync(display, False);
    error = "the effect made no window inside the parent (result " + std::to_string(result) + ")";
    return false;
  }
  parent_ = reinterpret_cast<void*>(static_cast<uintptr_t>(parent));
  child_ = reinterpret_cast<void*>(static_cast<uintptr_t>(child));
  return true;
}

intptr_t HostEditor::Close(PluginSession& session) {
  if (parent_ == nullptr) return 0;
  const intptr_t result = session.DetachEditor();
  session.SetEditorWindowResizer(nullptr);
  XDestroyWindow(DisplayOf(display_), WindowOf(parent_));
  XSync(DisplayOf(display_), False);
  parent_ = nullptr;
  child_ = nullptr;
  session_ = nullptr;
  return result;
}

namespace {

// One pointer event for the effect's window at (x, y) in its coordinates.
XEvent PointerEvent(Display* display, Window child, int type, unsigned button, unsigned state,
                    unsigned long time, int x, int y) {
  // Button and motion events share their leading fields.
  XEvent event = {};
  XButtonEvent& fields = event.xbutton;
  fields.type = type;
  fields.send_event = True;
  fields.display = display;
  fields.window = child;
  fields.root = DefaultRootWindow(display);
  fields.time = time;
  fields.x = x;
  fields.y = y;
  fields.x_root = x;
  fields.y_root = y;
  fields.state = state;
  fields.same_screen = True;
  if (type == MotionNotify) {
    event.xmotion.is_hint = NotifyNormal;
  } else {
    fields.button = button;
  }
  return event;
}

}  // namespace

namespace {

struct Sender {
  Display* display;
  Window child;
  PluginSession* session;
  unsigned long* time;

  // Sends the event and lets the effect handle it in its idle call.
  void Send(int type, unsigned button, unsigned state, int x, int y) {
    if (type == ButtonPress) *time += kPressSpacing;
    XEvent event = PointerEvent(display, child, type, button, state, ++*time, x, y);
    const long mask = type == MotionNotify  ? PointerMotionMask
                      : type == ButtonPress ? ButtonPressMask
                                            : ButtonReleaseMask;
    XSendEvent(display, child, False, mask, &event);
    XSync(display, False);
    session->EditorIdle();
  }
};

}  // namespace

bool HostEditor::Click(int x, int y, bool right, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  Sender send{DisplayOf(display_), WindowOf(child_), session_, &serverTime_};
  const unsigned button = right ? Button3 : Button1;
  const unsigned held = right ? Button3Mask : Button1Mask;
  send.Send(MotionNotify, 0, 0, x, y);
  send.Send(ButtonPress, button, 0, x, y);
  send.Send(ButtonRelease, button, held, x, y);
  return true;
}

bool HostEditor::Drag(int x1, int y1, int x2, int y2, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  Sender send{DisplayOf(display_), WindowOf(child_), session_, &serverTime_};
  send.Send(MotionNotify, 0, 0, x1, y1);
  send.Send(ButtonPress, Button1, 0, x1, y1);
  // Several moves, as a hand makes them, so the effect sees a drag in steps.
  for (int i = 1; i <= kDragMoves; ++i) {
    send.Send(MotionNotify, 0, Button1Mask, x1 + (x2 - x1) * i / kDragMoves,
              y1 + (y2 - y1) * i / kDragMoves);
  }
  send.Send(ButtonRelease, Button1, Button1Mask, x2, y2);
  return true;
}

bool HostEditor::Wheel(int x, int y, int notches, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  Sender send{DisplayOf(display_), WindowOf(child_), session_, &serverTime_};
  send.Send(MotionNotify, 0, 0, x, y);
  // X reports each notch as a press and release of button 4 (up) or 5 (down).
  const unsigned button = notches < 0 ? Button5 : Button4;
  const int step = notches < 0 ? -1 : 1;
  for (int i = 0; i != notches; i += step) {
    send.Send(ButtonPress, button, 0, x, y);
    send.Send(ButtonRelease, button, 0, x, y);
  }
  return true;
}

void HostEditor::Ticks(int ticks) {
  if (session_ == nullptr) return;
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<int64_t>(ticks) * kTickMilliseconds);
  for (;;) {
    session_->EditorIdle();
    if (std::chrono::steady_clock::now() >= end) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(kIdleMilliseconds));
  }
}

bool HostEditor::HostWindowSize(int& width, int& height) {
  if (parent_ == nullptr) return false;
  XWindowAttributes attributes = {};
  XSync(DisplayOf(display_), False);
  if (XGetWindowAttributes(DisplayOf(display_), WindowOf(parent_), &attributes) == 0) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

bool HostEditor::Capture(const std::string& path, int& width, int& height, std::string& error) {
  if (!NeedOpen(child_, error)) return false;
  Display* display = DisplayOf(display_);
  session_->EditorIdle();  // paint what is still exposed before reading it back
  XSync(display, False);
  XWindowAttributes attributes = {};
  XGetWindowAttributes(display, WindowOf(child_), &attributes);
  width = attributes.width;
  height = attributes.height;
  XImage* image = XGetImage(display, WindowOf(child_), 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr || image->bits_per_pixel != 32) {
    if (image != nullptr) XDestroyImage(image);
    error = "cannot read the editor window's content (a 24-bit screen is needed)";
    return false;
  }
  std::vector<uint8_t> rows(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  for (int y = 0; y < height; ++y) {
    std::copy_n(reinterpret_cast<const uint8_t*>(image->data) +
                    static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line),
                static_cast<size_t>(width) * 4,
                rows.begin() + static_cast<ptrdiff_t>(y) * width * 4);
  }
  XDestroyImage(image);
  return WriteBmp32(path, width, height, rows.data(), error);
}
