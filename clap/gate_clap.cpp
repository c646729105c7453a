// GateClap's life: creation, the host's extensions, activation and the
// processing switch, and the InstanceHost through which the owned instance
// reaches the host.
#include "clap/gate_clap.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "clap/plugin_entries.h"
#include "framework/no_throw.h"
#include "framework/recursive_lock.h"
#include "framework/text_copy.h"
#include "gui/editor_view.h"
#include "instance/effect_instance.h"

GateClap* GateClap::Create(const clap_host_t* host) {
  GateClap* object = new (std::nothrow) GateClap(host);
  if (!object) return nullptr;
  // The instance's construction throws what it cannot allocate; the half-made
  // object is deleted with whatever it holds.
  if (!Guarded(false, [object] { return object->CreateInstance(); })) {
    delete object;
    return nullptr;
  }
  return object;
}

GateClap* GateClap::Of(const clap_plugin_t* plugin) {
  return plugin ? static_cast<GateClap*>(plugin->plugin_data) : nullptr;
}

GateClap::GateClap(const clap_host_t* host) : host_(host) {
  plugin_ = kGatePluginEntries;
  plugin_.plugin_data = this;
}

bool GateClap::CreateInstance() {
  instance_ = CreateEffectInstance(this);
  if (!instance_) return false;
  instance_->Lock().SetReleaseHook(&GateClap::AfterUnlock, this);
  BypassCrossfade::DryBuffers dry = BypassCrossfade::MakeDry(maxBlock_);
  crossfade_.TakeDry(dry);
  for (int i = 0; i < kVisibleParams; ++i) defaults_[i] = instance_->ParamNormalized(i);
  reported_.RememberAll(*instance_);
  return true;
}

GateClap::~GateClap() {
  // The lock releases while closing ask the host for nothing.
  hostParams_ = nullptr;
  if (instance_) {
    if (guiOpen_) GuiDestroy();
    if (active_) instance_->SetActive(false);
  }
  delete instance_;  // closes and deletes the instance
}

const void* GateClap::HostExtension(const char* id) const {
  if (!host_ || !host_->get_extension) return nullptr;
  return host_->get_extension(host_, id);
}

bool GateClap::Init() {
  hostParams_ = static_cast<const clap_host_params_t*>(HostExtension(CLAP_EXT_PARAMS));
  threadCheck_ = static_cast<const clap_host_thread_check_t*>(HostExtension(CLAP_EXT_THREAD_CHECK));
  hostTimers_ =
      static_cast<const clap_host_timer_support_t*>(HostExtension(CLAP_EXT_TIMER_SUPPORT));
  hostGui_ = static_cast<const clap_host_gui_t*>(HostExtension(CLAP_EXT_GUI));
  if (threadCheck_ && (!threadCheck_->is_audio_thread || !threadCheck_->is_main_thread)) {
    threadCheck_ = nullptr;
  }
  // The instance identifies the host and applies every parameter, as at effOpen.
  instance_->Open();
  return true;
}

void GateClap::Destroy() { delete this; }

bool GateClap::Activate(double sampleRate, uint32_t maxFrames) {
  if (!(sampleRate > 0.0) || maxFrames == 0 || maxFrames > kMaxBlockFrames) return false;
  if (active_) return false;
  // The new buffers first: when they cannot be had, nothing changes.
  BypassCrossfade::DryBuffers dry = BypassCrossfade::MakeDry(static_cast<int32_t>(maxFrames));
  ScopedLock lock(instance_->Lock());
  instance_->SetMaxBlockFrames(static_cast<int32_t>(maxFrames));
  crossfade_.TakeDry(dry);
  sampleRate_ = sampleRate;
  maxBlock_ = static_cast<int32_t>(maxFrames);
  instance_->SetSampleRate(sampleRate_);
  instance_->SetActive(true);
  active_ = true;
  return true;
}

void GateClap::Deactivate() {
  if (!active_) return;
  active_ = false;
  instance_->SetActive(false);
}

bool GateClap::StartProcessing() {
  instance_->SetProcessing(true);
  processing_ = true;
  return true;
}

void GateClap::StopProcessing() {
  processing_ = false;
  instance_->SetProcessing(false);
}

// Nothing rings on: the gate holds no tail to clear.
void GateClap::Reset() {}

bool GateClap::OnAudioThread() const {
  if (threadCheck_) return threadCheck_->is_audio_thread(host_);
  return inProcess_.load() && std::this_thread::get_id() == processThread_.load();
}

void GateClap::AfterUnlock(void* self) {
  GateClap* object = static_cast<GateClap*>(self);
  if (!object->flushWanted_.load() || object->OnAudioThread()) return;
  if (!object->flushWanted_.exchange(false) || !object->hostParams_) return;
  object->hostParams_->request_flush(object->host_);
}

const HostTime* GateClap::TransportTime() {
  return OnAudioThread() && timeInfoValid_ ? &hostTime_ : nullptr;
}

void GateClap::QueueEdit(EditEvents::Kind kind, int32_t index, double normalized) {
  // Changes made on the audio thread reach the host through the value scan
  // of the block instead.
  if (OnAudioThread() || index < 0 || index >= kVisibleParams) return;
  ScopedLock lock(instance_->Lock());
  edits_.Push(kind, index, normalized);
  // Not processing: the host is asked for a flush once the lock is free.
  if (!processing_.load()) flushWanted_ = true;
}

void GateClap::BeginEdit(int32_t index) { QueueEdit(EditEvents::kBegin, index); }

// Each value of a drag goes out as the editor set it, so the host records
// the whole movement, not only where it ended.
void GateClap::PerformEdit(int32_t index, double normalized) {
  QueueEdit(EditEvents::kValue, index, normalized);
}

void GateClap::EndEdit(int32_t index) { QueueEdit(EditEvents::kEnd, index); }

// A program a note-on chose reaches the host as a value of the program
// selector in the block's output events; nothing else is shown.
void GateClap::UpdateDisplay() {}

bool GateClap::ResizeEditor(int32_t width, int32_t height) {
  // The editor changed its size: the host's window follows, when it will.
  IEditorView* editor = instance_->Editor();
  // The editor going back to the host's size needs no one's consent.
  if (revertingSize_ || !editor) return true;
  if (!guiOpen_) return false;  // no window yet: the editor's size is the one get_size answers
  if (hostGui_ && hostGui_->request_resize && width > 0 && height > 0 &&
      hostGui_->request_resize(host_, static_cast<uint32_t>(width),
                               static_cast<uint32_t>(height))) {
    hostPercent_ = editor->SizePercent();
    return true;
  }
  // Refused: the editor goes back to the size the host's window has.
  revertingSize_ = true;
  editor->SetSizePercent(hostPercent_);
  revertingSize_ = false;
  return false;
}

void GateClap::HostIdentity(char* name, int32_t size, int32_t* versionDecimal) {
  if (name && size > 0) {
    CopyTextBounded(name, host_ && host_->name ? host_->name : "", static_cast<size_t>(size));
  }
  if (!versionDecimal) return;
  // "major.minor.patch", any part missing counting 0.
  int major = 0, minor = 0, patch = 0;
  if (host_ && host_->version) std::sscanf(host_->version, "%5d.%3d.%3d", &major, &minor, &patch);
  *versionDecimal = major * 10000 + minor * 100 + patch;
}
