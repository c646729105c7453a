// The editor in a host's window: attached and removed open and close the
// instance's editor window through its EffectInstance seam, as every
// format's glue does; where the window has no timer of its own, a timer on
// the host's run loop calls its editor idle, and so does the run loop
// seeing the window's events arrive. Its size is the editor's: the
// user's size menu asks the host's frame to follow, and a content scale the
// host announces chooses the size as the VST 2 vendor request does. While
// open, the view answers the size the host's frame has: a new one once the
// host confirms it with on_size. Nothing thrown inside reaches the host.
#include <atomic>
#include <cstring>
#include <new>

#include "engine/gate_plug.h"
#include "framework/no_throw.h"
#include "gui/editor_view.h"
#include "instance/effect_instance.h"
#include "vst3/gate_vst3.h"
#include "vst3/plug_view.h"

namespace {

constexpr uint64_t kTickMs = 41;  // the editor's 24 frames a second

}  // namespace

class GatePlugView {
 public:
  explicit GatePlugView(GateVst3* owner) : owner_(owner) {
    face_ = {&kVtable, this};
    scaleFace_ = {&kScaleVtable, this};
    timerFace_ = {&kTimerVtable, this};
    eventFace_ = {&kEventVtable, this};
    owner_->AddRef();
  }

  void* Face() { return &face_; }

  // The editor has switched to a new size and asks the host's frame to
  // follow. Until the host confirms with on_size, get_size still answers the
  // size the host has, so the host sees a change to make; a host that
  // refuses sends the editor back to that size. [editor thread]
  bool RequestSize(int width, int height) {
    IEditorView* editor = owner_->Instance()->Editor();
    // The editor going back to the host's size needs no one's consent.
    if (reverting_ || !editor) return true;
    if (!attached_ || !frame_) {
      // No host to ask: the editor's size is the view's.
      TakeEditorSize();
      return false;
    }
    pending_ = true;
    pendingRect_ = {0, 0, width, height};
    pendingPercent_ = editor->SizePercent();
    v3_view_rect rect = pendingRect_;
    if (v3_cpp_obj(frame_)->resize_view(frame_, reinterpret_cast<v3_plugin_view**>(&face_),
                                        &rect) == kResultOk)
      return true;
    pending_ = false;
    Reverting reverting(reverting_);
    editor->SetSizePercent(hostPercent_);
    return false;
  }

 private:
  // Set while the editor goes back to the host's size, whatever leaves the scope.
  struct Reverting {
    explicit Reverting(bool& flag) : flag_(flag) { flag_ = true; }
    ~Reverting() { flag_ = false; }
    Reverting(const Reverting&) = delete;
    Reverting& operator=(const Reverting&) = delete;
    bool& flag_;
  };

  // Only what cannot throw: the editor window is closed before the last
  // release deletes the view.
  ~GatePlugView() {
    if (frame_) v3_cpp_obj_unref(frame_);
    owner_->ViewGone();
    owner_->Release();
  }

  static GatePlugView* Self(void* self) { return FaceOwner<GatePlugView>(self); }

  static bool SameSize(const v3_view_rect& a, const v3_view_rect& b) {
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
  }
  // The host has (or needs no say in) the editor's current size.
  void TakeEditorSize() {
    IEditorView* editor = owner_->Instance()->Editor();
    if (!editor) return;
    hostRect_ = {0, 0, editor->PixelWidth(), editor->PixelHeight()};
    hostPercent_ = editor->SizePercent();
    pending_ = false;
  }

  // ---- Every face [host main thread] ----
  static v3_result V3_API Query(void* self, const v3_tuid iid, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    return Guarded(kInternalError, [&] {
      GatePlugView* view = Self(self);
      if (SameId(iid, v3_funknown_iid) || SameId(iid, v3_plugin_view_iid)) {
        *obj = &view->face_;
      } else if (SameId(iid, v3_plugin_view_content_scale_iid)) {
        *obj = &view->scaleFace_;
      } else if (SameId(iid, v3_timer_handler_iid)) {
        *obj = &view->timerFace_;
      } else if (SameId(iid, v3_event_handler_iid)) {
        *obj = &view->eventFace_;
      } else {
        return kNoInterface;
      }
      view->refCount_++;
      return kResultOk;
    });
  }
  static uint32_t V3_API Ref(void* self) {
    return Guarded(0u, [&] { return ++Self(self)->refCount_; });
  }
  static uint32_t V3_API Unref(void* self) {
    return Guarded(0u, [&] {
      GatePlugView* view = Self(self);
      const uint32_t left = --view->refCount_;
      if (left == 0) {
        Guarded(kResultFalse, [&] { return view->Removed(); });
        delete view;
      }
      return left;
    });
  }

  // ---- Plug view [host main thread] ----
  static v3_result V3_API IsPlatformTypeSupported(void*, const char* type) {
    return type && std::strcmp(type, EditorPlatformType()) == 0 ? kResultOk : kResultFalse;
  }
  static v3_result V3_API Attached(void* self, void* parent, const char* type) {
    GatePlugView* view = Self(self);
    if (view->attached_) return kResultFalse;  // the open window stays as it is
    const v3_result result = Guarded(kInternalError, [&] { return view->Attach(parent, type); });
    // A window opened before something failed goes again.
    if (result != kResultOk && view->attached_)
      Guarded(kResultFalse, [&] { return view->Removed(); });
    return result;
  }
  v3_result Attach(void* parent, const char* type) {
    if (!parent || IsPlatformTypeSupported(this, type) != kResultOk) return kResultFalse;
    // An X11 window id arrives as the pointer's value, as VST 2 hosts pass it.
    if (!owner_->Instance()->OpenEditor(parent)) return kResultFalse;
    attached_ = true;
    TakeEditorSize();
    if (EditorNeedsHostTimer()) StartHostLoop();
    return kResultOk;
  }
  void StartHostLoop() {
    if (!frame_ || v3_cpp_obj_query_interface(frame_, v3_run_loop_iid, &runLoop_) != kResultOk) {
      runLoop_ = nullptr;
      return;
    }
    auto** handler = reinterpret_cast<v3_timer_handler**>(&timerFace_);
    if (v3_cpp_obj(runLoop_)->register_timer(runLoop_, handler, kTickMs) != kResultOk) {
      timerRegistered_ = false;
      StopHostLoop();
      return;
    }
    timerRegistered_ = true;
    // Input is handled as it arrives rather than at the next tick; a run
    // loop without descriptor handlers leaves it to the timer.
    IEditorView* editor = owner_->Instance()->Editor();
    const int descriptor = editor ? editor->WindowEventDescriptor() : -1;
    watchesEvents_ =
        descriptor >= 0 &&
        v3_cpp_obj(runLoop_)->register_event_handler(
            runLoop_, reinterpret_cast<v3_event_handler**>(&eventFace_), descriptor) == kResultOk;
  }
  void StopHostLoop() {
    if (!runLoop_) return;
    v3_run_loop** loop = runLoop_;
    runLoop_ = nullptr;
    if (watchesEvents_) {
      watchesEvents_ = false;
      v3_cpp_obj(loop)->unregister_event_handler(loop,
                                                 reinterpret_cast<v3_event_handler**>(&eventFace_));
    }
    if (timerRegistered_) {
      timerRegistered_ = false;
      v3_cpp_obj(loop)->unregister_timer(loop, reinterpret_cast<v3_timer_handler**>(&timerFace_));
    }
    v3_cpp_obj_unref(loop);
  }
  static void V3_API OnTimer(void* self) {
    Guarded(0, [&] {
      GatePlugView* view = Self(self);
      if (!view->attached_) return 0;
      view->owner_->Instance()->EditorIdle();
      return 0;
    });
  }
  static void V3_API OnEvents(void* self, int) { OnTimer(self); }
  static v3_result V3_API RemovedThunk(void* self) {
    return Guarded(kInternalError, [&] { return Self(self)->Removed(); });
  }
  v3_result Removed() {
    if (!attached_) return kResultFalse;
    attached_ = false;
    pending_ = false;
    StopHostLoop();
    owner_->Instance()->CloseEditor();
    return kResultOk;
  }
  static v3_result V3_API OnWheel(void* self, float distance) {
    return Guarded(kInternalError, [&] {
      return Self(self)->owner_->Instance()->EditorWheel(distance) ? kResultOk : kResultFalse;
    });
  }
  // The host's keys while the view has focus, through the VST 2 key entry:
  // the same character, virtual key and modifier bits. Keys the editor does
  // not use go back to the host.
  static v3_result V3_API OnKeyDown(void* self, int16_t character, int16_t keyCode,
                                    int16_t modifiers) {
    return Guarded(kInternalError, [&] {
      GatePlugView* view = Self(self);
      if (!view->attached_) return kResultFalse;
      return view->owner_->Instance()->EditorKeyDown(character, keyCode, modifiers) ? kResultOk
                                                                                    : kResultFalse;
    });
  }
  // Entries with fixed answers call nothing that could throw.
  static v3_result V3_API OnKeyUp(void*, int16_t, int16_t, int16_t) { return kResultFalse; }
  static v3_result V3_API GetSize(void* self, v3_view_rect* rect) {
    if (!rect) return kInvalidArgument;
    return Guarded(kInternalError, [&] {
      GatePlugView* view = Self(self);
      IEditorView* editor = view->owner_->Instance()->Editor();
      if (!editor) return kResultFalse;
      if (view->attached_) {
        // The size the host has confirmed, not one it is still asked for.
        *rect = view->hostRect_;
        return kResultOk;
      }
      // Before the window opens the size follows the user, the host and the screen.
      int32_t width = 0;
      int32_t height = 0;
      if (!view->owner_->Instance()->PreferredEditorSize(&width, &height)) return kResultFalse;
      *rect = {0, 0, width, height};
      return kResultOk;
    });
  }
  // The host confirms the size the view asked for. Other sizes change
  // nothing: sizes change only through the editor's own size menu or the
  // host's content scale, and a host's frame of another size clips the editor.
  static v3_result V3_API OnSize(void* self, v3_view_rect* rect) {
    if (!rect) return kInvalidArgument;
    return Guarded(kInternalError, [&] {
      GatePlugView* view = Self(self);
      if (view->pending_ && SameSize(*rect, view->pendingRect_)) {
        view->hostRect_ = view->pendingRect_;
        view->hostPercent_ = view->pendingPercent_;
        view->pending_ = false;
      }
      return kResultOk;
    });
  }
  static v3_result V3_API OnFocus(void*, v3_bool) { return kResultOk; }
  static v3_result V3_API SetFrame(void* self, v3_plugin_frame** frame) {
    return Guarded(kInternalError, [&] {
      GatePlugView* view = Self(self);
      if (frame) v3_cpp_obj_ref(frame);
      if (view->frame_) v3_cpp_obj_unref(view->frame_);
      view->frame_ = frame;
      return kResultOk;
    });
  }
  static v3_result V3_API CanResize(void*) { return kResultFalse; }
  static v3_result V3_API CheckSizeConstraint(void* self, v3_view_rect* rect) {
    return GetSize(self, rect);
  }

  // ---- Content scale [host main thread] ----
  static v3_result V3_API SetContentScale(void* self, float factor) {
    return Guarded(kInternalError, [&] {
      IEditorView* editor = Self(self)->owner_->Instance()->Editor();
      if (!editor || !(factor > 0.0f)) return kResultFalse;
      editor->SetHostContentScale(factor);
      return kResultOk;
    });
  }

  static const v3_plugin_view_cpp kVtable;
  static const v3_plugin_view_content_scale_cpp kScaleVtable;
  static const v3_timer_handler_cpp kTimerVtable;
  static const v3_event_handler_cpp kEventVtable;

  ComFace<GatePlugView> face_{};
  ComFace<GatePlugView> scaleFace_{};
  ComFace<GatePlugView> timerFace_{};
  ComFace<GatePlugView> eventFace_{};
  v3_run_loop** runLoop_ = nullptr;
  bool timerRegistered_ = false;
  bool watchesEvents_ = false;
  std::atomic<uint32_t> refCount_{1};
  GateVst3* owner_;
  v3_plugin_frame** frame_ = nullptr;
  bool attached_ = false;
  // The size the host's frame has, and the editor size it shows.
  v3_view_rect hostRect_ = {};
  int hostPercent_ = 100;
  // A size asked of the host that it has not yet confirmed.
  bool pending_ = false;
  v3_view_rect pendingRect_ = {};
  int pendingPercent_ = 100;
  bool reverting_ = false;
};

const v3_plugin_view_cpp GatePlugView::kVtable = {
    {Query, Ref, Unref},
    {IsPlatformTypeSupported, Attached, RemovedThunk, OnWheel, OnKeyDown, OnKeyUp, GetSize, OnSize,
     OnFocus, SetFrame, CanResize, CheckSizeConstraint}};

const v3_plugin_view_content_scale_cpp GatePlugView::kScaleVtable = {{Query, Ref, Unref},
                                                                     {SetContentScale}};

const v3_timer_handler_cpp GatePlugView::kTimerVtable = {{Query, Ref, Unref}, {OnTimer}};

const v3_event_handler_cpp GatePlugView::kEventVtable = {{Query, Ref, Unref}, {OnEvents}};

GatePlugView* CreateGatePlugView(GateVst3* owner) { return new (std::nothrow) GatePlugView(owner); }

void* PlugViewFace(GatePlugView* view) { return view ? view->Face() : nullptr; }

bool RequestPlugViewSize(GatePlugView* view, int width, int height) {
  return view && view->RequestSize(width, height);
}
