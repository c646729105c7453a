// The effect's X11 editor opened as a Linux host opens it: a top-level window
// of the test's own on the test's Xvfb, effEditOpen with its id, input sent to
// the editor's window as X events, and the host's effEditIdle calls. The test
// thread is the editor thread.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor_x11/display_connection.h"
#include "editor_x11/editor_window_x11.h"
#include "engine/gate_plug.h"
#include "framework/vst2_interface.h"
#include "graphics/bitmap.h"
#include "support/gesture_balance.h"
#include "support/gesture_script.h"
// Xlib last: its macros (None, KeyCode) would clash with names above.
#include "editor_x11/x11_headers.h"

namespace editor_test {

struct HostCall {
  int32_t opcode;
  int32_t index;
  std::thread::id thread = std::this_thread::get_id();
};

inline std::vector<HostCall>& HostLog() {
  static std::vector<HostCall> log;
  return log;
}

inline vst2::VstTimeInfo& HostTime() {
  static vst2::VstTimeInfo time = [] {
    vst2::VstTimeInfo t = {};
    t.sampleRate = 44100.0;
    t.tempo = 120.0;
    t.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
    return t;
  }();
  return time;
}

inline intptr_t VST2_CALL RecordingHost(vst2::AEffect*, int32_t opcode, int32_t index, intptr_t,
                                        void*, float) {
  if (opcode == vst2::audioMasterBeginEdit || opcode == vst2::audioMasterEndEdit) {
    HostLog().push_back({opcode, index});
  }
  // A size request is logged with its width.
  if (opcode == vst2::audioMasterSizeWindow) HostLog().push_back({opcode, index});
  if (opcode == vst2::audioMasterVersion) return vst2::kVstVersion;
  if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(&HostTime());
  return 0;
}

// One effect instance with its editor open in a host window of its own.
class HostedX11Editor {
 public:
  explicit HostedX11Editor(Display* display, int x = 0)
      : display_(display), plug_(std::make_unique<VSTCLASS>(RecordingHost)) {
    vst2::AEffect* effect = plug_->Effect();
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst2::effSetBlockSize, 0, 64, nullptr, 0.0f);
    effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
    host_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, 0, 700, 400, 0, 0, 0);
    XMapWindow(display_, host_);
    XSync(display_, False);
  }
  ~HostedX11Editor() {
    Close();
    vst2::AEffect* effect = plug_.release()->Effect();
    effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow(display_, host_);
    XSync(display_, False);
  }

  intptr_t Dispatch(int32_t opcode, void* ptr = nullptr) {
    vst2::AEffect* effect = Effect();
    return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
  }
  bool Open() {
    return Dispatch(vst2::effEditOpen, reinterpret_cast<void*>(static_cast<uintptr_t>(host_))) == 1;
  }
  void Close() {
    if (Editor()->IsWindowOpen()) Dispatch(vst2::effEditClose);
  }
  void Idle() { Dispatch(vst2::effEditIdle); }
  // One timer period, run directly so the test decides when it happens.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      Idle();
      Editor()->OnTimerTick();
    }
  }

  // Sends a pointer event (button 0: motion) to the editor's window (or to
  // `target`) and lets the editor read it.
  void Pointer(int type, unsigned button, unsigned state, int x, int y, unsigned long gap = 1000,
               Window target = 0) {
    time_ += gap;
    XEvent event = {};
    XButtonEvent& fields = event.xbutton;
    fields.type = type;
    fields.send_event = True;
    fields.display = display_;
    fields.window = target != 0 ? target : Editor()->XWindow();
    fields.root = DefaultRootWindow(display_);
    fields.time = time_;
    fields.x = x;
    fields.y = y;
    fields.state = state;
    fields.same_screen = True;
    fields.button = button;
    Send(event);
  }
  // A key pressed in `target` (the editor's window or its popup), with the
  // modifier `state` (ShiftMask, ControlMask).
  void Key(Window target, KeySym symbol, unsigned state = 0) {
    XEvent event = {};
    event.xkey.type = KeyPress;
    event.xkey.send_event = True;
    event.xkey.display = display_;
    event.xkey.window = target;
    event.xkey.root = DefaultRootWindow(display_);
    event.xkey.keycode = XKeysymToKeycode(display_, symbol);
    event.xkey.state = state;
    event.xkey.same_screen = True;
    Send(event);
  }
  // A crossing or focus event, as the server sends when a grab is taken away.
  void Notify(int type, int mode, Window target = 0) {
    XEvent event = {};
    event.type = type;
    event.xany.send_event = True;
    event.xany.display = display_;
    event.xany.window = target != 0 ? target : Editor()->XWindow();
    if (type == FocusOut) {
      event.xfocus.mode = mode;
      event.xfocus.detail = NotifyNonlinear;
    } else {
      event.xcrossing.mode = mode;
      event.xcrossing.detail = NotifyAncestor;
    }
    Send(event);
  }

  // A host that never calls effEditIdle after input clears this.
  bool idleAfterInput = true;

  vst2::AEffect* Effect() const { return plug_->Effect(); }
  VSTCLASS* Plug() const { return plug_.get(); }
  XEditorWindow* Editor() const { return dynamic_cast<XEditorWindow*>(plug_->Editor()); }
  Window Host() const { return host_; }

 private:
  void Send(XEvent& event) {
    XSendEvent(display_, event.xany.window, False, 0, &event);
    XSync(display_, False);
    if (idleAfterInput) Idle();
  }

  Display* display_;
  std::unique_ptr<VSTCLASS> plug_;
  Window host_ = 0;
  unsigned long time_ = 0;
};

// Every begin-edit the host received is followed by its end, and no end
// comes without one; "" when so.
inline std::string UnbalancedGestures() { return UnbalancedGesturesIn(HostLog()); }

}  // namespace editor_test
