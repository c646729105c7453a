// GateClap's editor: embedded in the host's window only. set_parent opens
// the instance's editor window inside it and destroy closes it; where the
// window has no timer of its own, a host timer calls the editor's idle.
// Its size is the editor's: the host cannot drag it to another, the user's
// size menu asks the host's window to follow, and a scale the host
// announces chooses the size as the VST 2 vendor request does.
// [host main thread]
#include <cstring>

#include "clap/editor_window_api.h"
#include "clap/gate_clap.h"
#include "clap/plugin_entries.h"
#include "framework/no_throw.h"
#include "gui/editor_view.h"
#include "instance/effect_instance.h"

namespace {

constexpr uint32_t kTickMs = 41;  // the editor's 24 frames a second

GateClap* Owner(const clap_plugin_t* plugin) { return GateClap::Of(plugin); }

bool CLAP_ABI IsApiSupported(const clap_plugin_t* plugin, const char* api, bool floating) {
  return Guarded(false, [&] { return Owner(plugin)->GuiApiSupported(api, floating); });
}
bool CLAP_ABI PreferredApi(const clap_plugin_t*, const char** api, bool* floating) {
  if (!api || !floating) return false;
  *api = ClapEditorWindowApi();
  *floating = false;
  return true;
}
bool CLAP_ABI Create(const clap_plugin_t* plugin, const char* api, bool floating) {
  return Guarded(false, [&] { return Owner(plugin)->GuiCreate(api, floating); });
}
void CLAP_ABI Destroy(const clap_plugin_t* plugin) {
  Guarded(0, [&] {
    Owner(plugin)->GuiDestroy();
    return 0;
  });
}
bool CLAP_ABI SetScale(const clap_plugin_t* plugin, double scale) {
  return Guarded(false, [&] { return Owner(plugin)->GuiSetScale(scale); });
}
bool CLAP_ABI GetSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
  return Guarded(false, [&] { return Owner(plugin)->GuiSize(width, height); });
}
// Sizes change only through the editor's own size menu or the host's scale.
bool CLAP_ABI CanResize(const clap_plugin_t*) { return false; }
bool CLAP_ABI ResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; }
// Any size the host proposes becomes the editor's own.
bool CLAP_ABI AdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
  return GetSize(plugin, width, height);
}
bool CLAP_ABI SetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height) {
  uint32_t ownWidth = 0, ownHeight = 0;
  return GetSize(plugin, &ownWidth, &ownHeight) && ownWidth == width && ownHeight == height;
}
bool CLAP_ABI SetParent(const clap_plugin_t* plugin, const clap_window_t* window) {
  return Guarded(false, [&] { return Owner(plugin)->GuiSetParent(window); });
}
// Embedded only: no transient windows, no title, shown with the host's window.
bool CLAP_ABI SetTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
void CLAP_ABI SuggestTitle(const clap_plugin_t*, const char*) {}
bool CLAP_ABI Show(const clap_plugin_t*) { return true; }
bool CLAP_ABI Hide(const clap_plugin_t*) { return true; }

void CLAP_ABI OnTimer(const clap_plugin_t* plugin, clap_id timer) {
  Guarded(0, [&] {
    Owner(plugin)->OnTimer(timer);
    return 0;
  });
}

}  // namespace

const clap_plugin_gui_t kGateGuiExtension = {IsApiSupported, PreferredApi, Create,    Destroy,
                                             SetScale,       GetSize,      CanResize, ResizeHints,
                                             AdjustSize,     SetSize,      SetParent, SetTransient,
                                             SuggestTitle,   Show,         Hide};

const clap_plugin_timer_support_t kGateTimerExtension = {OnTimer};

bool GateClap::GuiApiSupported(const char* api, bool floating) const {
  return !floating && api && std::strcmp(api, ClapEditorWindowApi()) == 0 && instance_->Editor();
}

bool GateClap::GuiCreate(const char* api, bool floating) {
  if (guiCreated_ || !GuiApiSupported(api, floating)) return false;
  guiCreated_ = true;
  return true;
}

void GateClap::GuiDestroy() {
  if (guiOpen_) {
    guiOpen_ = false;
    StopEditorTimer();
    instance_->CloseEditor();
  }
  guiCreated_ = false;
}

bool GateClap::GuiSetScale(double scale) {
  IEditorView* editor = instance_->Editor();
  if (!editor || !(scale > 0.0)) return false;
  editor->SetHostContentScale(scale);
  return true;
}

bool GateClap::GuiSize(uint32_t* width, uint32_t* height) {
  if (!width || !height) return false;
  IEditorView* editor = instance_->Editor();
  if (!editor) return false;
  int32_t w = editor->PixelWidth();
  int32_t h = editor->PixelHeight();
  // Before the window opens the size follows the user, the host and the screen.
  if (!guiOpen_ && !instance_->PreferredEditorSize(&w, &h)) return false;
  if (w <= 0 || h <= 0) return false;
  *width = static_cast<uint32_t>(w);
  *height = static_cast<uint32_t>(h);
  return true;
}

bool GateClap::GuiSetParent(const clap_window_t* window) {
  if (!guiCreated_ || guiOpen_ || !window || !window->api) return false;
  if (std::strcmp(window->api, ClapEditorWindowApi()) != 0) return false;
  if (!instance_->OpenEditor(ClapEditorParentOf(window))) return false;
  guiOpen_ = true;
  hostPercent_ = instance_->Editor()->SizePercent();
  if (ClapEditorNeedsHostTimer()) StartEditorTimer();
  return true;
}

void GateClap::StartEditorTimer() {
  if (timerRegistered_ || !hostTimers_ || !hostTimers_->register_timer) return;
  timerRegistered_ = hostTimers_->register_timer(host_, kTickMs, &timerId_);
}

void GateClap::StopEditorTimer() {
  if (!timerRegistered_) return;
  timerRegistered_ = false;
  if (hostTimers_->unregister_timer) hostTimers_->unregister_timer(host_, timerId_);
  timerId_ = CLAP_INVALID_ID;
}

void GateClap::OnTimer(clap_id timer) {
  if (!guiOpen_ || !timerRegistered_ || timer != timerId_) return;
  instance_->EditorIdle();
}
