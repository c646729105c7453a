#include "tools/host/clap_host_objects.h"

#include <clap/ext/gui.h>
#include <clap/ext/note-ports.h>
#include <clap/ext/state.h>
#include <clap/ext/thread-check.h>
#include <clap/ext/timer-support.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tools/host/clap_host_extras.h"
#include "tools/host/host_services.h"

namespace {

void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

void LogLine(const char* format, ...) {
  FILE* log = Host().log;
  if (log == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(log, format, arguments);
  va_end(arguments);
  std::fputc('\n', log);
  std::fflush(log);
}

template <class Owner, class Face>
Owner& OwnerOf(const Face* face) {
  return *static_cast<Owner*>(face->ctx);
}

}  // namespace

// ---- ClapInputEvents ----

ClapInputEvents::ClapInputEvents() : list_{this, Count, Get} {}

void ClapInputEvents::AddParamValue(uint32_t time, const clap_param_info_t& info, double plain) {
  Event event = {};
  event.param.header = {sizeof(clap_event_param_value_t), time, CLAP_CORE_EVENT_SPACE_ID,
                        CLAP_EVENT_PARAM_VALUE, 0};
  event.param.param_id = info.id;
  event.param.cookie = info.cookie;
  event.param.note_id = -1;
  event.param.port_index = -1;
  event.param.channel = -1;
  event.param.key = -1;
  event.param.value = plain;
  events_.push_back(event);
}

void ClapInputEvents::AddNote(uint32_t time, int16_t key, double velocity, bool on) {
  Event event = {};
  event.note.header = {sizeof(clap_event_note_t), time, CLAP_CORE_EVENT_SPACE_ID,
                       static_cast<uint16_t>(on ? CLAP_EVENT_NOTE_ON : CLAP_EVENT_NOTE_OFF), 0};
  event.note.note_id = -1;
  event.note.port_index = 0;
  event.note.channel = 0;
  event.note.key = key;
  event.note.velocity = velocity;
  events_.push_back(event);
}

void ClapInputEvents::SortByTime() {
  std::stable_sort(events_.begin(), events_.end(),
                   [](const Event& a, const Event& b) { return a.header.time < b.header.time; });
}

uint32_t CLAP_ABI ClapInputEvents::Count(const clap_input_events_t* list) {
  return static_cast<uint32_t>(OwnerOf<ClapInputEvents>(list).events_.size());
}

const clap_event_header_t* CLAP_ABI ClapInputEvents::Get(const clap_input_events_t* list,
                                                         uint32_t index) {
  const auto& events = OwnerOf<ClapInputEvents>(list).events_;
  return index < events.size() ? &events[index].header : nullptr;
}

// ---- ClapOutputEvents ----

ClapOutputEvents::ClapOutputEvents() : list_{this, TryPush} {}

bool CLAP_ABI ClapOutputEvents::TryPush(const clap_output_events_t* list,
                                        const clap_event_header_t* event) {
  if (event == nullptr || event->space_id != CLAP_CORE_EVENT_SPACE_ID) return false;
  ClapOutputEvents& self = OwnerOf<ClapOutputEvents>(list);
  switch (event->type) {
    case CLAP_EVENT_PARAM_VALUE: {
      if (event->size < sizeof(clap_event_param_value_t)) return false;
      const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
      ++self.paramValues_;
      LogLine("clapOutput ParamValue id=%u value=%.6f time=%u", value->param_id, value->value,
              event->time);
      return true;
    }
    case CLAP_EVENT_PARAM_GESTURE_BEGIN:
    case CLAP_EVENT_PARAM_GESTURE_END: {
      if (event->size < sizeof(clap_event_param_gesture_t)) return false;
      const auto* gesture = reinterpret_cast<const clap_event_param_gesture_t*>(event);
      LogLine("clapOutput %s id=%u",
              event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? "GestureBegin" : "GestureEnd",
              gesture->param_id);
      return true;
    }
    default:
      LogLine("clapOutput Event type=%u time=%u", event->type, event->time);
      return true;
  }
}

// ---- Streams ----

ClapWriteStream::ClapWriteStream() : stream_{this, Write} {}

int64_t CLAP_ABI ClapWriteStream::Write(const clap_ostream_t* stream, const void* buffer,
                                        uint64_t size) {
  if (buffer == nullptr && size > 0) return -1;
  auto& bytes = OwnerOf<ClapWriteStream>(stream).bytes_;
  const char* from = static_cast<const char*>(buffer);
  bytes.insert(bytes.end(), from, from + size);
  return static_cast<int64_t>(size);
}

ClapReadStream::ClapReadStream(const std::vector<char>& bytes)
    : stream_{this, Read}, bytes_(bytes) {}

int64_t CLAP_ABI ClapReadStream::Read(const clap_istream_t* stream, void* buffer, uint64_t size) {
  ClapReadStream& self = OwnerOf<ClapReadStream>(stream);
  if (buffer == nullptr && size > 0) return -1;
  const uint64_t left = self.bytes_.size() - self.at_;
  const uint64_t count = std::min({size, left, kMostPerRead});
  std::memcpy(buffer, self.bytes_.data() + self.at_, count);
  self.at_ += count;
  return static_cast<int64_t>(count);
}

// ---- ClapHost ----

ClapHost::ClapHost() : mainThread_(ClapCurrentThread()) {
  record_ = {};
  record_.clap_version = CLAP_VERSION;
  record_.host_data = this;
  record_.name = "QuorvelTestHost";
  record_.vendor = "Quorvel";
  record_.url = "";
  record_.version = "1.0";
  record_.get_extension = GetExtension;
  record_.request_restart = RequestRestart;
  record_.request_process = RequestProcess;
  record_.request_callback = RequestCallback;
}

void ClapHost::SetPlugin(const clap_plugin_t* plugin) {
  plugin_ = plugin;
  if (plugin != nullptr) return;
  timers_.clear();
  descriptors_.clear();
  ClapPlatformStop(*this);
}

ClapHost& ClapHost::Of(const clap_host_t* host) { return *static_cast<ClapHost*>(host->host_data); }

const void* CLAP_ABI ClapHost::GetExtension(const clap_host_t* host, const char* id) {
  static const clap_host_thread_check_t threadCheck = {IsMainThread, IsAudioThread};
  static const clap_host_params_t params = {Rescan, Clear, RequestFlush};
  static const clap_host_state_t state = {MarkDirty};
  static const clap_host_gui_t gui = {ResizeHintsChanged, RequestResize, RequestShow, RequestHide,
                                      GuiClosed};
  static const clap_host_timer_support_t timers = {RegisterTimer, UnregisterTimer};
  static const ClapHostPosixFdSupport descriptors = {RegisterFd, ModifyFd, UnregisterFd};
  static const ClapHostLog log = {Log};
  static const clap_host_note_ports_t notePorts = {NoteDialects, NotePortsRescan};
  if (host == nullptr || id == nullptr) return nullptr;
  LogLine("clapHost GetExtension id=%s", id);
  if (std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0) return &threadCheck;
  if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &params;
  if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &state;
  if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &gui;
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &timers;
  if (std::strcmp(id, kClapExtPosixFdSupport) == 0) {
    return ClapOffersDescriptors() ? &descriptors : nullptr;
  }
  if (std::strcmp(id, kClapExtLog) == 0) return &log;
  if (std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0) return &notePorts;
  return nullptr;
}

void CLAP_ABI ClapHost::RequestRestart(const clap_host_t*) { LogLine("clapHost RequestRestart"); }

void CLAP_ABI ClapHost::RequestProcess(const clap_host_t*) { LogLine("clapHost RequestProcess"); }

void CLAP_ABI ClapHost::RequestCallback(const clap_host_t* host) {
  LogLine("clapHost RequestCallback");
  Of(host).callbackRequested_ = true;
  ClapPlatformWake(Of(host));
}

bool CLAP_ABI ClapHost::IsMainThread(const clap_host_t* host) {
  const ClapHost& self = Of(host);
  return !self.inAudio_ && ClapCurrentThread() == self.mainThread_;
}

bool CLAP_ABI ClapHost::IsAudioThread(const clap_host_t* host) {
  const ClapHost& self = Of(host);
  return self.inAudio_ && ClapCurrentThread() == self.mainThread_;
}

void CLAP_ABI ClapHost::Rescan(const clap_host_t*, uint32_t flags) {
  LogLine("clapHost Rescan flags=0x%X", flags);
}

void CLAP_ABI ClapHost::Clear(const clap_host_t*, clap_id id, uint32_t flags) {
  LogLine("clapHost Clear id=%u flags=0x%X", id, flags);
}

void CLAP_ABI ClapHost::RequestFlush(const clap_host_t* host) {
  LogLine("clapHost RequestFlush");
  Of(host).flushRequested_ = true;
  ClapPlatformWake(Of(host));
}

void CLAP_ABI ClapHost::MarkDirty(const clap_host_t*) { LogLine("clapHost MarkDirty"); }

void CLAP_ABI ClapHost::ResizeHintsChanged(const clap_host_t*) {
  LogLine("clapHost ResizeHintsChanged");
}

bool CLAP_ABI ClapHost::RequestResize(const clap_host_t* host, uint32_t width, uint32_t height) {
  LogLine("clapHost RequestResize width=%u height=%u", width, height);
  ClapHost& self = Of(host);
  return self.resizeWindow && self.resizeWindow(static_cast<int>(width), static_cast<int>(height));
}

bool CLAP_ABI ClapHost::RequestShow(const clap_host_t*) {
  LogLine("clapHost RequestShow");
  return false;
}

bool CLAP_ABI ClapHost::RequestHide(const clap_host_t*) {
  LogLine("clapHost RequestHide");
  return false;
}

void CLAP_ABI ClapHost::GuiClosed(const clap_host_t*, bool destroyed) {
  LogLine("clapHost GuiClosed destroyed=%d", destroyed ? 1 : 0);
}

bool CLAP_ABI ClapHost::RegisterTimer(const clap_host_t* host, uint32_t periodMs, clap_id* id) {
  ClapHost& self = Of(host);
  if (id == nullptr || !IsMainThread(host)) return false;
  *id = self.nextTimer_++;
  const uint32_t period = std::max<uint32_t>(periodMs, 1);
  self.timers_.push_back({*id, period, Clock::now() + std::chrono::milliseconds(period)});
  LogLine("clapHost RegisterTimer period=%u id=%u", periodMs, *id);
  ClapPlatformTimers(self, true);
  return true;
}

bool CLAP_ABI ClapHost::UnregisterTimer(const clap_host_t* host, clap_id id) {
  ClapHost& self = Of(host);
  LogLine("clapHost UnregisterTimer id=%u", id);
  const auto found = std::find_if(self.timers_.begin(), self.timers_.end(),
                                  [id](const Timer& timer) { return timer.id == id; });
  if (found == self.timers_.end() || !IsMainThread(host)) return false;
  self.timers_.erase(found);
  ClapPlatformTimers(self, !self.timers_.empty());
  return true;
}

bool CLAP_ABI ClapHost::RegisterFd(const clap_host_t* host, int fd, uint32_t flags) {
  ClapHost& self = Of(host);
  LogLine("clapHost RegisterFd flags=0x%X", flags);
  for (const ClapReadyDescriptor& known : self.descriptors_) {
    if (known.fd == fd) return false;
  }
  if (fd < 0 || !IsMainThread(host)) return false;
  self.descriptors_.push_back({fd, flags});
  return true;
}

bool CLAP_ABI ClapHost::ModifyFd(const clap_host_t* host, int fd, uint32_t flags) {
  LogLine("clapHost ModifyFd flags=0x%X", flags);
  for (ClapReadyDescriptor& known : Of(host).descriptors_) {
    if (known.fd != fd) continue;
    known.flags = flags;
    return true;
  }
  return false;
}

bool CLAP_ABI ClapHost::UnregisterFd(const clap_host_t* host, int fd) {
  LogLine("clapHost UnregisterFd");
  auto& descriptors = Of(host).descriptors_;
  const auto found =
      std::find_if(descriptors.begin(), descriptors.end(),
                   [fd](const ClapReadyDescriptor& known) { return known.fd == fd; });
  if (found == descriptors.end()) return false;
  descriptors.erase(found);
  return true;
}

void CLAP_ABI ClapHost::Log(const clap_host_t*, int32_t severity, const char* message) {
  std::fprintf(stderr, "clap log severity=%d: %s\n", severity, message ? message : "");
  LogLine("clapHost Log severity=%d", severity);
}

uint32_t CLAP_ABI ClapHost::NoteDialects(const clap_host_t*) {
  return CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
}

void CLAP_ABI ClapHost::NotePortsRescan(const clap_host_t*, uint32_t flags) {
  LogLine("clapHost NotePortsRescan flags=0x%X", flags);
}

bool ClapHost::TakeFlushRequest() { return std::exchange(flushRequested_, false); }

bool ClapHost::TakeCallbackRequest() { return std::exchange(callbackRequested_, false); }

void ClapHost::RunTimersAndDescriptors() {
  if (plugin_ == nullptr) return;
  auto* support = static_cast<const clap_plugin_timer_support_t*>(
      plugin_->get_extension(plugin_, CLAP_EXT_TIMER_SUPPORT));
  const Clock::time_point now = Clock::now();
  // By id, not by position: a timer may unregister timers while it runs.
  std::vector<clap_id> due;
  for (Timer& timer : timers_) {
    if (timer.due > now) continue;
    due.push_back(timer.id);
    timer.due = now + std::chrono::milliseconds(timer.periodMs);
  }
  for (clap_id id : due) {
    const bool stillThere = std::any_of(timers_.begin(), timers_.end(),
                                        [id](const Timer& timer) { return timer.id == id; });
    if (stillThere && support != nullptr && support->on_timer != nullptr) {
      support->on_timer(plugin_, id);
    }
  }
  if (plugin_ == nullptr || descriptors_.empty()) return;
  auto* descriptorSupport = static_cast<const ClapPluginPosixFdSupport*>(
      plugin_->get_extension(plugin_, kClapExtPosixFdSupport));
  if (descriptorSupport == nullptr || descriptorSupport->on_fd == nullptr) return;
  for (const ClapReadyDescriptor& ready : ClapReadyDescriptors(descriptors_)) {
    descriptorSupport->on_fd(plugin_, ready.fd, ready.flags);
  }
}
