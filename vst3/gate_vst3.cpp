// GateVst3's life: creation, reference counting, interface lookup, the
// plug-in base, and the InstanceHost through which the owned instance
// reaches the host.
#include "vst3/gate_vst3.h"

#include <new>

#include "framework/host_id.h"
#include "framework/no_throw.h"
#include "framework/recursive_lock.h"
#include "framework/text_copy.h"
#include "instance/effect_instance.h"
#include "vst3/gate_vst3_faces.h"
#include "vst3/plug_view.h"
#include "vst3/text16.h"

namespace {

std::atomic<int> gLiveObjects{0};

}  // namespace

GateVst3* GateVst3::Create() {
  GateVst3* object = new (std::nothrow) GateVst3();
  if (!object) return nullptr;
  // The instance's construction throws what it cannot allocate; the half-made
  // object is deleted with whatever it holds.
  if (!Guarded(false, [object] { return object->CreateInstance(); })) {
    delete object;
    return nullptr;
  }
  return object;
}

int GateVst3::LiveObjects() { return gLiveObjects.load(); }

bool GateVst3::CreateInstance() {
  ++gLiveObjects;
  component_ = {&kComponentVtable, this};
  processor_ = {&kProcessorVtable, this};
  controller_ = {&kControllerVtable, this};
  units_ = {&kUnitsVtable, this};
  requirements_ = {&kRequirementsVtable, this};
  instance_ = CreateEffectInstance(this);
  if (!instance_) return false;
  instance_->Lock().SetReleaseHook(&GateVst3::SendHandlerCalls, this);
  BypassCrossfade::DryBuffers dry = BypassCrossfade::MakeDry(maxBlock_);
  crossfade_.TakeDry(dry);
  for (int i = 0; i < kVisibleParams; ++i) defaults_[i] = instance_->ParamNormalized(i);
  reported_.RememberAll(*instance_);
  return true;
}

GateVst3::~GateVst3() {
  // Calls still queued are dropped: the lock releases while closing send nothing.
  if (handler_) v3_cpp_obj_unref(handler_);
  handler_ = nullptr;
  if (instance_ && active_) instance_->SetActive(false);
  delete instance_;  // closes and deletes the instance
  --gLiveObjects;
}

v3_result GateVst3::Query(const v3_tuid iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  ComFace<GateVst3>* face = nullptr;
  if (SameId(iid, v3_funknown_iid) || SameId(iid, v3_plugin_base_iid) ||
      SameId(iid, v3_component_iid)) {
    face = &component_;
  } else if (SameId(iid, v3_audio_processor_iid)) {
    face = &processor_;
  } else if (SameId(iid, v3_edit_controller_iid)) {
    face = &controller_;
  } else if (SameId(iid, v3_unit_information_iid)) {
    face = &units_;
  } else if (SameId(iid, v3_process_context_requirements_iid)) {
    face = &requirements_;
  }
  if (!face) return kNoInterface;
  AddRef();
  *obj = face;
  return kResultOk;
}

uint32_t GateVst3::AddRef() { return ++refCount_; }

uint32_t GateVst3::Release() {
  const uint32_t left = --refCount_;
  if (left == 0) delete this;
  return left;
}

v3_result V3_API GateVst3::QueryThunk(void* self, const v3_tuid iid, void** obj) {
  return Guarded(kInternalError, [&] { return FaceOwner<GateVst3>(self)->Query(iid, obj); });
}

uint32_t V3_API GateVst3::RefThunk(void* self) {
  return Guarded(0u, [&] { return FaceOwner<GateVst3>(self)->AddRef(); });
}

uint32_t V3_API GateVst3::UnrefThunk(void* self) {
  return Guarded(0u, [&] { return FaceOwner<GateVst3>(self)->Release(); });
}

v3_result GateVst3::Initialize(v3_funknown** context) {
  // The host may initialise the one object as component and as controller.
  if (initializeCount_++ > 0) return kResultOk;
  if (context) {
    v3_host_application** app = nullptr;
    if (v3_cpp_obj_query_interface(context, v3_host_application_iid, &app) == kResultOk && app) {
      v3_str_128 name = {};
      if (v3_cpp_obj(app)->get_name(app, name) == kResultOk) {
        CopyFromText16(hostName_, sizeof hostName_, name);
      }
      hostRereadsAfterProgram_ =
          HostIdFromProductString(hostName_) == HostIdFromProductString("Ardour");
      v3_cpp_obj_unref(app);
    }
  }
  // The instance identifies the host and applies every parameter, as at effOpen.
  instance_->Open();
  return kResultOk;
}

v3_result GateVst3::Terminate() {
  if (initializeCount_ > 0) --initializeCount_;
  if (initializeCount_ == 0 && handler_) {
    v3_cpp_obj_unref(handler_);
    handler_ = nullptr;
  }
  return kResultOk;
}

EffectInstance* GateVst3::Instance() const { return instance_; }

bool GateVst3::OnAudioThread() const {
  return inProcess_.load() && std::this_thread::get_id() == processThread_.load();
}

void GateVst3::SendHandlerCalls(void* self) {
  GateVst3* object = static_cast<GateVst3*>(self);
  // The audio thread queues nothing and must not wait for the queue.
  if (!object->handlerCalls_.Pending() || object->OnAudioThread()) return;
  object->handlerCalls_.SendMine(object->handler_);
}

const HostTime* GateVst3::TransportTime() {
  return OnAudioThread() && timeInfoValid_ ? &hostTime_ : nullptr;
}

void GateVst3::QueueEdit(HandlerCalls::Kind kind, int32_t index) {
  // Changes made on the audio thread reach the host through the output
  // parameter changes instead; the handler is for the editor's thread.
  if (!handler_ || OnAudioThread() || index < 0 || index >= kVisibleParams) return;
  // Queued under the lock, whose last release on this thread sends it.
  ScopedLock lock(instance_->Lock());
  const v3_param_id id = static_cast<v3_param_id>(index);
  handlerCalls_.Push(kind, id, kind == HandlerCalls::kPerformEdit ? ParameterNormalized(id) : 0.0);
}

void GateVst3::BeginEdit(int32_t index) { QueueEdit(HandlerCalls::kBeginEdit, index); }

// The host gets the value at full precision, read back from the parameter.
void GateVst3::PerformEdit(int32_t index, double /*normalized*/) {
  QueueEdit(HandlerCalls::kPerformEdit, index);
}

void GateVst3::EndEdit(int32_t index) { QueueEdit(HandlerCalls::kEndEdit, index); }

// A program a note-on chose reaches the host as a point on the program
// selector in the block's output changes; nothing else is shown.
void GateVst3::UpdateDisplay() {}

bool GateVst3::ResizeEditor(int32_t width, int32_t height) {
  // The editor changed its size: the host's frame follows, when it will.
  return view_ && RequestPlugViewSize(view_, width, height);
}

void GateVst3::HostIdentity(char* name, int32_t size, int32_t* versionDecimal) {
  if (name && size > 0) CopyTextBounded(name, hostName_, static_cast<size_t>(size));
  // The host application interface tells no version.
  if (versionDecimal) *versionDecimal = 0;
}
