// The objects a VST 3 host hands to a plug-in: a byte stream for state, the
// parameter-change lists of a process call, the host application, the
// component handler and the view's frame. The session owns them; their
// reference counts only count, so the session can tell whether the plug-in
// released everything it took. [host main thread]
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vst3/com_face.h"
#include "vst3/vst3_api.h"

// Function tables for the interfaces the headers give no C++ form of.
struct BStreamVtable : v3_funknown {
  v3_bstream stream;
};
struct ComponentHandlerVtable : v3_funknown {
  v3_component_handler handler;
};

// Shared reference counting for the host's objects.
class HostObject {
 public:
  uint32_t References() const { return references_.load(); }

 protected:
  uint32_t AddRef() { return ++references_; }
  uint32_t Release() { return --references_; }

 private:
  std::atomic<uint32_t> references_{0};
};

class MemoryStream : public HostObject {
 public:
  MemoryStream();
  explicit MemoryStream(const std::vector<char>& bytes);
  v3_bstream** Stream() { return reinterpret_cast<v3_bstream**>(&face_); }
  const std::vector<char>& Bytes() const { return bytes_; }
  void Rewind() { position_ = 0; }
  // The most one write takes, as a stream that runs out of room would.
  size_t writeLimit = SIZE_MAX;

 private:
  static v3_result V3_API Query(void* self, const v3_tuid iid, void** obj);
  static uint32_t V3_API Ref(void* self);
  static uint32_t V3_API Unref(void* self);
  static v3_result V3_API Read(void* self, void* buffer, int32_t count, int32_t* done);
  static v3_result V3_API Write(void* self, void* buffer, int32_t count, int32_t* done);
  static v3_result V3_API Seek(void* self, int64_t position, int32_t mode, int64_t* result);
  static v3_result V3_API Tell(void* self, int64_t* position);
  static const BStreamVtable kVtable;

  ComFace<MemoryStream> face_;
  std::vector<char> bytes_;
  size_t position_ = 0;
};

// One parameter's points within a block.
class ParamQueue : public HostObject {
 public:
  explicit ParamQueue(v3_param_id id);
  v3_param_value_queue** Queue() { return reinterpret_cast<v3_param_value_queue**>(&face_); }
  v3_param_id Id() const { return id_; }
  struct Point {
    int32_t offset;
    double value;
  };
  const std::vector<Point>& Points() const { return points_; }
  void Add(int32_t offset, double value) { points_.push_back({offset, value}); }

 private:
  static v3_result V3_API Query(void* self, const v3_tuid iid, void** obj);
  static uint32_t V3_API Ref(void* self);
  static uint32_t V3_API Unref(void* self);
  static v3_param_id V3_API GetId(void* self);
  static int32_t V3_API GetCount(void* self);
  static v3_result V3_API GetPoint(void* self, int32_t index, int32_t* offset, double* value);
  static v3_result V3_API AddPoint(void* self, int32_t offset, double value, int32_t* index);
  static const v3_param_value_queue_cpp kVtable;

  ComFace<ParamQueue> face_;
  v3_param_id id_;
  std::vector<Point> points_;
};

class ParamChangeList : public HostObject {
 public:
  ParamChangeList();
  v3_param_changes** Changes() { return reinterpret_cast<v3_param_changes**>(&face_); }
  ParamQueue* QueueFor(v3_param_id id);  // found or added
  const std::vector<std::unique_ptr<ParamQueue>>& Queues() const { return queues_; }
  void Clear() { queues_.clear(); }

 private:
  static v3_result V3_API Query(void* self, const v3_tuid iid, void** obj);
  static uint32_t V3_API Ref(void* self);
  static uint32_t V3_API Unref(void* self);
  static int32_t V3_API GetCount(void* self);
  static v3_param_value_queue** V3_API GetData(void* self, int32_t index);
  static v3_param_value_queue** V3_API AddData(void* self, v3_param_id* id, int32_t* index);
  static const v3_param_changes_cpp kVtable;

  ComFace<ParamChangeList> face_;
  std::vector<std::unique_ptr<ParamQueue>> queues_;
};

// The events of one process call, in the order the host adds them.
class EventList : public HostObject {
 public:
  EventList();
  v3_event_list** List() { return reinterpret_cast<v3_event_list**>(&face_); }
  // A note-on (velocity 0..1; 0 is how some hosts send a note-off).
  void AddNoteOn(int32_t offset, int16_t pitch, float velocity, int16_t channel = 0);
  void Add(const v3_event& event) { events_.push_back(event); }
  const std::vector<v3_event>& Events() const { return events_; }
  void Clear() { events_.clear(); }

 private:
  static v3_result V3_API Query(void* self, const v3_tuid iid, void** obj);
  static uint32_t V3_API Ref(void* self);
  static uint32_t V3_API Unref(void* self);
  static uint32_t V3_API GetCount(void* self);
  static v3_result V3_API GetEvent(void* self, int32_t index, v3_event* event);
  static v3_result V3_API AddEvent(void* self, v3_event* event);
  static const v3_event_list_cpp kVtable;

  ComFace<EventList> face_;
  std::vector<v3_event> events_;
};

// The host application and the component handler in one object: the name
// the plug-in asks for, and the edits it reports (logged when a log is open).
class HostContext : public HostObject {
 public:
  HostContext();
  v3_funknown** Context() { return reinterpret_cast<v3_funknown**>(&application_); }
  v3_component_handler** Handler() { return reinterpret_cast<v3_component_handler**>(&handler_); }
  v3_plugin_frame** Frame() { return reinterpret_cast<v3_plugin_frame**>(&frame_); }
  int edits = 0;             // begin, perform and end edits received
  int restarts = 0;          // restart requests received
  int32_t restartFlags = 0;  // the flags of the last one
  // Runs inside every component-handler call, for tests that look at the
  // plug-in from there.
  std::function<void()> duringHandlerCall;
  // The frame does what a host's editor window does with a view's request:
  // asks the view its size and leaves an unchanged one alone; otherwise
  // resizes its window (through resizeWindow when set, false when it could
  // not) and then tells the view with on_size.
  v3_view_rect lastResize = {};  // the last size a view asked its frame for
  int resizes = 0;               // requests received
  int windowResizes = 0;         // requests the window followed
  std::function<bool(int width, int height)> resizeWindow;
  bool refuseResizes = false;  // answers every request with an error
  // Agrees to a request but follows it only in ConfirmResize, as a host
  // whose window resizes later does; false when nothing waits.
  bool deferResizes = false;
  bool ConfirmResize();
  // A host that throws from register_timer, as one out of memory might.
  bool timerThrows = false;
  // The run loop a Linux view finds on its frame: the one timer it holds.
  v3_timer_handler** timer = nullptr;
  uint64_t timerMs = 0;
  // Runs the registered timer once; false when none is registered.
  bool FireTimer();
  // The one descriptor handler it holds, and its descriptor.
  v3_event_handler** eventHandler = nullptr;
  int eventFd = -1;
  // Tells the handler its descriptor is readable; false when none is registered.
  bool FireEvents();

 private:
  static v3_result V3_API Query(void* self, const v3_tuid iid, void** obj);
  static uint32_t V3_API Ref(void* self);
  static uint32_t V3_API Unref(void* self);
  static v3_result V3_API GetName(void* self, v3_str_128 name);
  static v3_result V3_API CreateInstance(void* self, v3_tuid cid, v3_tuid iid, void** obj);
  static v3_result V3_API BeginEdit(void* self, v3_param_id id);
  static v3_result V3_API PerformEdit(void* self, v3_param_id id, double value);
  static v3_result V3_API EndEdit(void* self, v3_param_id id);
  static v3_result V3_API RestartComponent(void* self, int32_t flags);
  static v3_result V3_API ResizeView(void* self, v3_plugin_view** view, v3_view_rect* rect);
  static v3_result V3_API RegisterEventHandler(void* self, v3_event_handler** handler, int fd);
  static v3_result V3_API UnregisterEventHandler(void* self, v3_event_handler** handler);
  static v3_result V3_API RegisterTimer(void* self, v3_timer_handler** handler, uint64_t ms);
  static v3_result V3_API UnregisterTimer(void* self, v3_timer_handler** handler);
  static const v3_host_application_cpp kApplicationVtable;
  static const ComponentHandlerVtable kHandlerVtable;
  static const v3_plugin_frame_cpp kFrameVtable;
  static const v3_run_loop_cpp kRunLoopVtable;
  bool FollowResize(v3_plugin_view** view, const v3_view_rect& rect);

  ComFace<HostContext> application_;
  ComFace<HostContext> handler_;
  ComFace<HostContext> frame_;
  ComFace<HostContext> runLoop_;
  v3_plugin_view** deferredView_ = nullptr;  // a request agreed to and not yet followed
  v3_view_rect deferredRect_ = {};
};
