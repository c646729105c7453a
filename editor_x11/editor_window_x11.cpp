#include "editor_x11/editor_window_x11.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "editor_x11/display_connection.h"
#include "editor_x11/editor_images.h"
#include "editor_x11/screen_image.h"
#include "editor_x11/url_launch.h"
#include "editor_x11/x11_headers.h"
#include "engine/millisecond_clock.h"
#include "framework/plug_base.h"
#include "graphics/png_loader.h"

namespace {

// Version 0, mapped: what an embedding host reads from the _XEMBED_INFO property.
constexpr long kXEmbedInfo[2] = {0, 1};

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask |
                            StructureNotifyMask;

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

XEditorWindow::XEditorWindow(IPlugBase* plug, int width, int height, int frameRate)
    : IEditorView(plug, width, height, frameRate) {}

XEditorWindow::~XEditorWindow() { CloseEditorWindow(); }

bool XEditorWindow::OpenEditorWindow(void* parentWindow) {
  const Window parent = static_cast<Window>(reinterpret_cast<uintptr_t>(parentWindow));
  if (parent == 0) return false;
  CloseEditorWindow();
  display_ = OpenDisplayConnection();
  if (display_ == nullptr) return false;
  XWindowAttributes parentAttributes = {};
  // A window id the server does not know fails here, before anything is made.
  XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  const Status known = XGetWindowAttributes(display_, parent, &parentAttributes);
  XSetErrorHandler(previous);
  if (known == 0) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return false;
  }
  parent_ = parent;
  const int screen = DefaultScreen(display_);
  XSetWindowAttributes attributes = {};
  attributes.event_mask = kEventMask;
  attributes.background_pixmap = None;
  window_ = XCreateWindow(display_, parent_, 0, 0, static_cast<unsigned>(PixelWidth()),
                          static_cast<unsigned>(PixelHeight()), 0, DefaultDepth(display_, screen),
                          InputOutput, DefaultVisual(display_, screen), CWEventMask | CWBackPixmap,
                          &attributes);
  const Atom xembedInfo = XInternAtom(display_, "_XEMBED_INFO", False);
  XChangeProperty(display_, window_, xembedInfo, xembedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(kXEmbedInfo), 2);
  screen_ = std::make_unique<ScreenImage>(display_, window_, DefaultVisual(display_, screen),
                                          DefaultDepth(display_, screen));
  XMapWindow(display_, window_);
  XFlush(display_);
  lastTickMs_ = MillisecondClock();
  SetAllControlsDirty();
  ApplyPreferredSize();
  // Hosts that call effEditIdle rarely or never still get a ticking editor,
  // through their own main loop when this thread runs one.
  if (hostLoop_.FindForThisThread()) {
    const int period = 1000 / FrameRate();
    watchdog_.Start(&hostLoop_, &XEditorWindow::RunPostedIdle, this, period, 2 * period);
  }
  return true;
}

void XEditorWindow::CloseEditorWindow() {
  if (display_ == nullptr) return;
  // Nothing is posted from here on, and what waits will not run.
  watchdog_.Stop();
  hostLoop_.Forget();
  // A press still held and a wheel gesture still counting down both end
  // with the window.
  OnCaptureLost();
  OnFocusLost();
  grabbed_ = false;
  if (deferredTicks_ != 0 && plug_ != nullptr) plug_->FlushPendingEditEnd();
  deferredTicks_ = 0;
  DestroyPopup();
  GiveUpClipboard();
  screen_.reset();
  XDestroyWindow(display_, window_);
  // Closing the connection frees whatever else the server holds for it.
  XCloseDisplay(display_);
  display_ = nullptr;
  window_ = 0;
  parent_ = 0;
  exposed_ = Rect();
}

bool XEditorWindow::IsWindowOpen() { return display_ != nullptr; }

void* XEditorWindow::GetEditorHwnd() {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(window_));
}

int XEditorWindow::WindowEventDescriptor() {
  return display_ != nullptr ? ConnectionNumber(display_) : -1;
}

bool XEditorWindow::UsesSharedMemory() const {
  return screen_ != nullptr && screen_->UsesSharedMemory();
}

bool XEditorWindow::PaintRect(const Rect& rect) {
  if (display_ == nullptr || screen_ == nullptr) return false;
  // Inside the host's idle call the copy waits until the instance lock is
  // released; elsewhere (the window opening, a size change) it happens now.
  if (lockedPasses_ > 0) {
    painted_ = UnionRect(painted_, rect);
    return true;
  }
  return screen_->Put(backBuffer_, rect.left, rect.top, rect.Width(), rect.Height());
}

void XEditorWindow::ResizeEditor(int width, int height) {
  // The view rebuilds its controls: a popup still pointing at one goes first.
  DestroyPopup();
  IEditorView::ResizeEditor(width, height);
  if (backBuffer_ != nullptr) backBuffer_->Resize(PixelWidth(), PixelHeight());
  OnSizeChanged();
}

// The controls share the engine's pattern and values with the audio thread:
// input and drawing into the back buffer hold the instance lock, as the
// host's other calls do; the copy to the screen waits until it is released,
// so the audio thread never waits on X.
void XEditorWindow::BeginLockedPass() {
  plug_->InstanceLock().Enter();
  ++lockedPasses_;
}

void XEditorWindow::EndLockedPass() {
  --lockedPasses_;
  plug_->InstanceLock().Leave();
  if (lockedPasses_ > 0) return;
  LaunchPendingUrl();
  const Rect painted = painted_;
  painted_ = Rect();
  if (!painted.IsEmpty()) PaintRect(painted);
}

void XEditorWindow::OnHostIdle() {
  watchdog_.HostIdled();
  RunIdle();
}

// [the host's main loop, editor thread]
int XEditorWindow::RunPostedIdle(void* window) {
  auto* editor = static_cast<XEditorWindow*>(window);
  editor->hostLoop_.Started();
  ++editor->postedIdles_;
  editor->RunIdle();
  return 0;
}

void XEditorWindow::RunIdle() {
  if (display_ == nullptr) return;
  BeginLockedPass();
  while (display_ != nullptr && XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    HandleEvent(event);
  }
  PaintExposed();
  const int64_t now = MillisecondClock();
  // Hosts call at their own pace; the tick keeps the editor's period.
  if (now - lastTickMs_ >= 1000 / FrameRate() || now < lastTickMs_) {
    lastTickMs_ = now;
    TickDuties();
  }
  EndLockedPass();
}

void XEditorWindow::PaintExposed() {
  if (display_ == nullptr || exposed_.IsEmpty()) return;
  const Rect area = exposed_;
  exposed_ = Rect();
  Draw(area);
}

void XEditorWindow::OnTimerTick() {
  BeginLockedPass();
  TickDuties();
  EndLockedPass();
}

void XEditorWindow::TickDuties() {
  EndPopupIfAsked();
  if (display_ == nullptr) return;
  // Only what changed is repainted: an idle editor paints nothing.
  Rect dirty;
  if (CollectDirty(&dirty)) Draw(PixelRect(dirty));
  if (deferredTicks_ != 0 && --deferredTicks_ == 0 && plug_ != nullptr) {
    plug_->FlushPendingEditEnd();
  }
}

void XEditorWindow::SetDeferredTicks(int ticks) { deferredTicks_ = ticks; }

void XEditorWindow::ClearDeferredTicks() { deferredTicks_ = 0; }

Bitmap* XEditorWindow::LoadImageResource(int id, const char* /*name*/) {
  const EmbeddedImage* image = FindEmbeddedImage(id);
  if (image == nullptr) return nullptr;
  return LoadPngFromMemory(image->data, image->size, nullptr);
}

void XEditorWindow::GetHostDirectory(std::string* result) {
  if (result == nullptr) return;
  char path[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  *result = length > 0 ? DirectoryOf(std::string(path, static_cast<size_t>(length))) : ".";
}

void XEditorWindow::GetModuleDirectory(std::string* result) {
  if (result == nullptr) return;
  Dl_info info = {};
  static const int kAnchor = 0;
  if (dladdr(&kAnchor, &info) != 0 && info.dli_fname != nullptr) {
    *result = DirectoryOf(info.dli_fname);
  } else {
    result->clear();
  }
}

// No file dialog here: the answer is "cancelled" (an empty path).
void XEditorWindow::PromptFile(std::string* result, int, const char*, const char*) {
  if (result != nullptr) result->clear();
}

// No colour chooser here: the answer is "cancelled".
bool XEditorWindow::PromptColour(Colour*, const char*) { return false; }

bool XEditorWindow::OpenUrl(const char* url, const char*, const char*, const char*) {
  if (url == nullptr || url[0] == '\0') return false;
  // A click arrives inside a locked pass: the opener starts once the audio
  // thread can no longer be waiting for this one.
  pendingUrl_ = url;
  if (lockedPasses_ == 0) LaunchPendingUrl();
  return true;
}

void XEditorWindow::LaunchPendingUrl() {
  if (pendingUrl_.empty()) return;
  const std::string url = std::move(pendingUrl_);
  pendingUrl_.clear();
  LaunchUrlOpener(url);
}
