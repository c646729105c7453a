#include "tools/host/vst3_host_objects.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "tools/host/host_services.h"
#include "vst3/text16.h"

namespace {

template <class Object>
Object* Self(void* self) {
  return FaceOwner<Object>(self);
}

void LogEdit(const char* what, v3_param_id id, double value) {
  FILE* log = Host().log;
  if (log == nullptr) return;
  std::fprintf(log, "componentHandler %s id=%u value=%.6f\n", what, id, value);
  std::fflush(log);
}

}  // namespace

// ---- MemoryStream ----

const BStreamVtable MemoryStream::kVtable = {{Query, Ref, Unref}, {Read, Write, Seek, Tell}};

MemoryStream::MemoryStream() : face_{&kVtable, this} {}

MemoryStream::MemoryStream(const std::vector<char>& bytes) : face_{&kVtable, this}, bytes_(bytes) {}

v3_result V3_API MemoryStream::Query(void* self, const v3_tuid iid, void** obj) {
  if (!SameId(iid, v3_funknown_iid) && !SameId(iid, v3_bstream_iid)) {
    *obj = nullptr;
    return kNoInterface;
  }
  Self<MemoryStream>(self)->AddRef();
  *obj = self;
  return kResultOk;
}
uint32_t V3_API MemoryStream::Ref(void* self) { return Self<MemoryStream>(self)->AddRef(); }
uint32_t V3_API MemoryStream::Unref(void* self) { return Self<MemoryStream>(self)->Release(); }

v3_result V3_API MemoryStream::Read(void* self, void* buffer, int32_t count, int32_t* done) {
  MemoryStream* s = Self<MemoryStream>(self);
  if (!buffer || count < 0) return kInvalidArgument;
  const size_t left = s->bytes_.size() - std::min(s->position_, s->bytes_.size());
  const size_t n = std::min(left, static_cast<size_t>(count));
  if (n > 0) std::memcpy(buffer, s->bytes_.data() + s->position_, n);
  s->position_ += n;
  if (done) *done = static_cast<int32_t>(n);
  return kResultOk;
}

v3_result V3_API MemoryStream::Write(void* self, void* buffer, int32_t count, int32_t* done) {
  MemoryStream* s = Self<MemoryStream>(self);
  if (!buffer || count < 0) return kInvalidArgument;
  const char* bytes = static_cast<const char*>(buffer);
  count = static_cast<int32_t>(std::min(static_cast<size_t>(count), s->writeLimit));
  if (s->bytes_.size() < s->position_ + static_cast<size_t>(count)) {
    s->bytes_.resize(s->position_ + static_cast<size_t>(count));
  }
  std::copy(bytes, bytes + count, s->bytes_.begin() + static_cast<long>(s->position_));
  s->position_ += static_cast<size_t>(count);
  if (done) *done = count;
  return kResultOk;
}

v3_result V3_API MemoryStream::Seek(void* self, int64_t position, int32_t mode, int64_t* result) {
  MemoryStream* s = Self<MemoryStream>(self);
  int64_t base = 0;
  if (mode == V3_SEEK_CUR) base = static_cast<int64_t>(s->position_);
  if (mode == V3_SEEK_END) base = static_cast<int64_t>(s->bytes_.size());
  const int64_t target = base + position;
  if (target < 0) return kInvalidArgument;
  s->position_ = static_cast<size_t>(target);
  if (result) *result = target;
  return kResultOk;
}

v3_result V3_API MemoryStream::Tell(void* self, int64_t* position) {
  if (!position) return kInvalidArgument;
  *position = static_cast<int64_t>(Self<MemoryStream>(self)->position_);
  return kResultOk;
}

// ---- ParamQueue ----

const v3_param_value_queue_cpp ParamQueue::kVtable = {{Query, Ref, Unref},
                                                      {GetId, GetCount, GetPoint, AddPoint}};

ParamQueue::ParamQueue(v3_param_id id) : face_{&kVtable, this}, id_(id) {}

v3_result V3_API ParamQueue::Query(void* self, const v3_tuid iid, void** obj) {
  if (!SameId(iid, v3_funknown_iid) && !SameId(iid, v3_param_value_queue_iid)) {
    *obj = nullptr;
    return kNoInterface;
  }
  Self<ParamQueue>(self)->AddRef();
  *obj = self;
  return kResultOk;
}
uint32_t V3_API ParamQueue::Ref(void* self) { return Self<ParamQueue>(self)->AddRef(); }
uint32_t V3_API ParamQueue::Unref(void* self) { return Self<ParamQueue>(self)->Release(); }
v3_param_id V3_API ParamQueue::GetId(void* self) { return Self<ParamQueue>(self)->id_; }
int32_t V3_API ParamQueue::GetCount(void* self) {
  return static_cast<int32_t>(Self<ParamQueue>(self)->points_.size());
}

v3_result V3_API ParamQueue::GetPoint(void* self, int32_t index, int32_t* offset, double* value) {
  const ParamQueue* q = Self<ParamQueue>(self);
  if (index < 0 || static_cast<size_t>(index) >= q->points_.size() || !offset || !value) {
    return kInvalidArgument;
  }
  *offset = q->points_[static_cast<size_t>(index)].offset;
  *value = q->points_[static_cast<size_t>(index)].value;
  return kResultOk;
}

v3_result V3_API ParamQueue::AddPoint(void* self, int32_t offset, double value, int32_t* index) {
  ParamQueue* q = Self<ParamQueue>(self);
  q->points_.push_back({offset, value});
  if (index) *index = static_cast<int32_t>(q->points_.size() - 1);
  return kResultOk;
}

// ---- ParamChangeList ----

const v3_param_changes_cpp ParamChangeList::kVtable = {{Query, Ref, Unref},
                                                       {GetCount, GetData, AddData}};

ParamChangeList::ParamChangeList() : face_{&kVtable, this} {}

ParamQueue* ParamChangeList::QueueFor(v3_param_id id) {
  for (auto& queue : queues_) {
    if (queue->Id() == id) return queue.get();
  }
  queues_.push_back(std::make_unique<ParamQueue>(id));
  return queues_.back().get();
}

v3_result V3_API ParamChangeList::Query(void* self, const v3_tuid iid, void** obj) {
  if (!SameId(iid, v3_funknown_iid) && !SameId(iid, v3_param_changes_iid)) {
    *obj = nullptr;
    return kNoInterface;
  }
  Self<ParamChangeList>(self)->AddRef();
  *obj = self;
  return kResultOk;
}
uint32_t V3_API ParamChangeList::Ref(void* self) { return Self<ParamChangeList>(self)->AddRef(); }
uint32_t V3_API ParamChangeList::Unref(void* self) {
  return Self<ParamChangeList>(self)->Release();
}
int32_t V3_API ParamChangeList::GetCount(void* self) {
  return static_cast<int32_t>(Self<ParamChangeList>(self)->queues_.size());
}

v3_param_value_queue** V3_API ParamChangeList::GetData(void* self, int32_t index) {
  ParamChangeList* list = Self<ParamChangeList>(self);
  if (index < 0 || static_cast<size_t>(index) >= list->queues_.size()) return nullptr;
  return list->queues_[static_cast<size_t>(index)]->Queue();
}

v3_param_value_queue** V3_API ParamChangeList::AddData(void* self, v3_param_id* id,
                                                       int32_t* index) {
  ParamChangeList* list = Self<ParamChangeList>(self);
  if (!id) return nullptr;
  ParamQueue* queue = list->QueueFor(*id);
  for (size_t i = 0; i < list->queues_.size(); ++i) {
    if (list->queues_[i].get() == queue && index) *index = static_cast<int32_t>(i);
  }
  return queue->Queue();
}

// ---- EventList ----

const v3_event_list_cpp EventList::kVtable = {{Query, Ref, Unref}, {GetCount, GetEvent, AddEvent}};

EventList::EventList() : face_{&kVtable, this} {}

void EventList::AddNoteOn(int32_t offset, int16_t pitch, float velocity, int16_t channel) {
  v3_event event = {};
  event.sample_offset = offset;
  event.type = V3_EVENT_NOTE_ON;
  event.note_on.channel = channel;
  event.note_on.pitch = pitch;
  event.note_on.velocity = velocity;
  event.note_on.note_id = -1;
  events_.push_back(event);
}

v3_result V3_API EventList::Query(void* self, const v3_tuid iid, void** obj) {
  if (!SameId(iid, v3_funknown_iid) && !SameId(iid, v3_event_list_iid)) {
    *obj = nullptr;
    return kNoInterface;
  }
  Self<EventList>(self)->AddRef();
  *obj = self;
  return kResultOk;
}
uint32_t V3_API EventList::Ref(void* self) { return Self<EventList>(self)->AddRef(); }
uint32_t V3_API EventList::Unref(void* self) { return Self<EventList>(self)->Release(); }
uint32_t V3_API EventList::GetCount(void* self) {
  return static_cast<uint32_t>(Self<EventList>(self)->events_.size());
}

v3_result V3_API EventList::GetEvent(void* self, int32_t index, v3_event* event) {
  const EventList* list = Self<EventList>(self);
  if (!event || index < 0 || static_cast<size_t>(index) >= list->events_.size()) {
    return kInvalidArgument;
  }
  *event = list->events_[static_cast<size_t>(index)];
  return kResultOk;
}

v3_result V3_API EventList::AddEvent(void* self, v3_event* event) {
  if (!event) return kInvalidArgument;
  Self<EventList>(self)->events_.push_back(*event);
  return kResultOk;
}

// ---- HostContext ----

const v3_host_application_cpp HostContext::kApplicationVtable = {{Query, Ref, Unref},
                                                                 {GetName, CreateInstance}};
const ComponentHandlerVtable HostContext::kHandlerVtable = {
    {Query, Ref, Unref}, {BeginEdit, PerformEdit, EndEdit, RestartComponent}};
const v3_plugin_frame_cpp HostContext::kFrameVtable = {{Query, Ref, Unref}, {ResizeView}};
const v3_run_loop_cpp HostContext::kRunLoopVtable = {
    {Query, Ref, Unref},
    {RegisterEventHandler, UnregisterEventHandler, RegisterTimer, UnregisterTimer}};

HostContext::HostContext()
    : application_{&kApplicationVtable, this},
      handler_{&kHandlerVtable, this},
      frame_{&kFrameVtable, this},
      runLoop_{&kRunLoopVtable, this} {}

v3_result V3_API HostContext::Query(void* self, const v3_tuid iid, void** obj) {
  HostContext* host = Self<HostContext>(self);
  void* face = nullptr;
  if (SameId(iid, v3_funknown_iid) || SameId(iid, v3_host_application_iid)) {
    face = &host->application_;
  } else if (SameId(iid, v3_component_handler_iid)) {
    face = &host->handler_;
  } else if (SameId(iid, v3_plugin_frame_iid)) {
    face = &host->frame_;
  } else if (SameId(iid, v3_run_loop_iid)) {
    face = &host->runLoop_;
  }
  *obj = face;
  if (!face) return kNoInterface;
  host->AddRef();
  return kResultOk;
}
uint32_t V3_API HostContext::Ref(void* self) { return Self<HostContext>(self)->AddRef(); }
uint32_t V3_API HostContext::Unref(void* self) { return Self<HostContext>(self)->Release(); }

v3_result V3_API HostContext::GetName(void*, v3_str_128 name) {
  CopyToText16(name, 128, Host().productString.c_str());
  return kResultOk;
}

v3_result V3_API HostContext::CreateInstance(void*, v3_tuid, v3_tuid, void** obj) {
  if (obj) *obj = nullptr;
  return kNotImplemented;
}

v3_result V3_API HostContext::BeginEdit(void* self, v3_param_id id) {
  HostContext* host = Self<HostContext>(self);
  ++host->edits;
  if (host->duringHandlerCall) host->duringHandlerCall();
  LogEdit("BeginEdit", id, 0.0);
  return kResultOk;
}

v3_result V3_API HostContext::PerformEdit(void* self, v3_param_id id, double value) {
  HostContext* host = Self<HostContext>(self);
  ++host->edits;
  if (host->duringHandlerCall) host->duringHandlerCall();
  LogEdit("PerformEdit", id, value);
  return kResultOk;
}

v3_result V3_API HostContext::EndEdit(void* self, v3_param_id id) {
  HostContext* host = Self<HostContext>(self);
  ++host->edits;
  if (host->duringHandlerCall) host->duringHandlerCall();
  LogEdit("EndEdit", id, 0.0);
  return kResultOk;
}

v3_result V3_API HostContext::RestartComponent(void* self, int32_t flags) {
  HostContext* host = Self<HostContext>(self);
  ++host->restarts;
  host->restartFlags = flags;
  if (host->duringHandlerCall) host->duringHandlerCall();
  LogEdit("RestartComponent", static_cast<v3_param_id>(flags), 0.0);
  return kResultOk;
}

v3_result V3_API HostContext::ResizeView(void* self, v3_plugin_view** view, v3_view_rect* rect) {
  if (!view || !rect) return kInvalidArgument;
  HostContext* host = Self<HostContext>(self);
  host->lastResize = *rect;
  ++host->resizes;
  if (host->refuseResizes) return kResultFalse;
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;
  v3_view_rect current = {};
  if (v3_cpp_obj(view)->get_size(view, &current) == kResultOk &&
      current.right - current.left == width && current.bottom - current.top == height) {
    return kResultOk;  // the window already has that size
  }
  if (host->deferResizes) {
    host->deferredView_ = view;
    host->deferredRect_ = {0, 0, width, height};
    return kResultOk;
  }
  return host->FollowResize(view, {0, 0, width, height}) ? kResultOk : kResultFalse;
}

bool HostContext::FollowResize(v3_plugin_view** view, const v3_view_rect& rect) {
  if (resizeWindow && !resizeWindow(rect.right - rect.left, rect.bottom - rect.top)) return false;
  ++windowResizes;
  v3_view_rect now = rect;
  v3_cpp_obj(view)->on_size(view, &now);
  return true;
}

bool HostContext::ConfirmResize() {
  v3_plugin_view** view = deferredView_;
  deferredView_ = nullptr;
  return view && FollowResize(view, deferredRect_);
}

v3_result V3_API HostContext::RegisterEventHandler(void* self, v3_event_handler** handler, int fd) {
  HostContext* host = Self<HostContext>(self);
  if (!handler || fd < 0 || host->eventHandler) return kResultFalse;
  host->eventHandler = handler;
  host->eventFd = fd;
  return kResultOk;
}

v3_result V3_API HostContext::UnregisterEventHandler(void* self, v3_event_handler** handler) {
  HostContext* host = Self<HostContext>(self);
  if (!handler || host->eventHandler != handler) return kResultFalse;
  host->eventHandler = nullptr;
  host->eventFd = -1;
  return kResultOk;
}

v3_result V3_API HostContext::RegisterTimer(void* self, v3_timer_handler** handler, uint64_t ms) {
  HostContext* host = Self<HostContext>(self);
  if (!handler || host->timer) return kResultFalse;
  if (host->timerThrows) throw std::bad_alloc();
  host->timer = handler;
  host->timerMs = ms;
  return kResultOk;
}

v3_result V3_API HostContext::UnregisterTimer(void* self, v3_timer_handler** handler) {
  HostContext* host = Self<HostContext>(self);
  if (!handler || host->timer != handler) return kResultFalse;
  host->timer = nullptr;
  return kResultOk;
}

bool HostContext::FireTimer() {
  if (!timer) return false;
  v3_cpp_obj(timer)->on_timer(timer);
  return true;
}

bool HostContext::FireEvents() {
  if (!eventHandler) return false;
  v3_cpp_obj(eventHandler)->on_fd_is_set(eventHandler, eventFd);
  return true;
}
