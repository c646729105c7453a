// The objects a CLAP plug-in reaches the test host through: the host record
// with its extensions (thread check, params, state, gui, timer support,
// posix-fd support, log, note ports), the event lists of one process or
// flush call, and the streams state travels through. Host calls go to the
// request log as "clapHost ..." lines, events the plug-in sends as
// "clapOutput ..." lines. [host main thread, unless tagged]
#pragma once

#include <clap/events.h>
#include <clap/ext/params.h>
#include <clap/host.h>
#include <clap/plugin.h>
#include <clap/stream.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/host/clap_host_platform.h"

// Events for one process or flush call, in time order. [audio thread]
class ClapInputEvents {
 public:
  ClapInputEvents();
  void Clear() { events_.clear(); }
  void AddParamValue(uint32_t time, const clap_param_info_t& info, double plain);
  void AddNote(uint32_t time, int16_t key, double velocity, bool on);
  // Keeps equal times in the order they were added.
  void SortByTime();
  size_t Size() const { return events_.size(); }
  const clap_input_events_t* List() const { return &list_; }

 private:
  union Event {
    clap_event_header_t header;
    clap_event_param_value_t param;
    clap_event_note_t note;
  };
  static uint32_t CLAP_ABI Count(const clap_input_events_t* list);
  static const clap_event_header_t* CLAP_ABI Get(const clap_input_events_t* list, uint32_t index);

  clap_input_events_t list_;
  std::vector<Event> events_;
};

// What the plug-in sends back: parameter values and gestures, counted and
// logged. [audio thread]
class ClapOutputEvents {
 public:
  ClapOutputEvents();
  const clap_output_events_t* List() const { return &list_; }
  int ParamValues() const { return paramValues_; }
  void Reset() { paramValues_ = 0; }

 private:
  static bool CLAP_ABI TryPush(const clap_output_events_t* list, const clap_event_header_t* event);

  clap_output_events_t list_;
  int paramValues_ = 0;
};

// The state's bytes on their way out of the plug-in.
class ClapWriteStream {
 public:
  ClapWriteStream();
  const clap_ostream_t* Stream() const { return &stream_; }
  const std::vector<char>& Bytes() const { return bytes_; }

 private:
  static int64_t CLAP_ABI Write(const clap_ostream_t* stream, const void* buffer, uint64_t size);
  clap_ostream_t stream_;
  std::vector<char> bytes_;
};

// Saved bytes on their way in, handed out a few at a time as a file or
// network stream may, so a plug-in that reads only once is caught.
class ClapReadStream {
 public:
  static constexpr uint64_t kMostPerRead = 96;
  explicit ClapReadStream(const std::vector<char>& bytes);
  const clap_istream_t* Stream() const { return &stream_; }

 private:
  static int64_t CLAP_ABI Read(const clap_istream_t* stream, void* buffer, uint64_t size);
  clap_istream_t stream_;
  const std::vector<char>& bytes_;
  size_t at_ = 0;
};

class ClapHost {
 public:
  ClapHost();
  ClapHost(const ClapHost&) = delete;
  ClapHost& operator=(const ClapHost&) = delete;

  const clap_host_t* Record() const { return &record_; }
  // The plug-in the timers, descriptors and callbacks go to (null: none).
  void SetPlugin(const clap_plugin_t* plugin);

  // The calling thread counts as the audio thread while one is alive.
  class AudioScope {
   public:
    explicit AudioScope(ClapHost& host) : host_(host) { host_.inAudio_ = true; }
    ~AudioScope() { host_.inAudio_ = false; }
    AudioScope(const AudioScope&) = delete;
    AudioScope& operator=(const AudioScope&) = delete;

   private:
    ClapHost& host_;
  };

  // What the plug-in asked the main thread for, taken once each.
  bool TakeFlushRequest();
  bool TakeCallbackRequest();
  // Fires every registered timer whose period has passed, then hands the
  // plug-in the registered descriptors that are ready. [host main thread]
  void RunTimersAndDescriptors();
  // The main-thread work the session does in its idle call (timers,
  // descriptors, requested callbacks and flushes), for message loops that
  // make no idle calls and wake the host instead (Windows).
  std::function<void()> mainThreadWork;
  void RunMainThreadWork() {
    if (mainThreadWork) mainThreadWork();
  }
  size_t TimersLeft() const { return timers_.size(); }
  size_t DescriptorsLeft() const { return descriptors_.size(); }

  // How the host's window takes a size the plug-in asks for (empty: no window).
  std::function<bool(int width, int height)> resizeWindow;

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    clap_id id;
    uint32_t periodMs;
    Clock::time_point due;
  };
  static ClapHost& Of(const clap_host_t* host);
  static const void* CLAP_ABI GetExtension(const clap_host_t* host, const char* id);
  static void CLAP_ABI RequestRestart(const clap_host_t* host);
  static void CLAP_ABI RequestProcess(const clap_host_t* host);
  static void CLAP_ABI RequestCallback(const clap_host_t* host);
  static bool CLAP_ABI IsMainThread(const clap_host_t* host);
  static bool CLAP_ABI IsAudioThread(const clap_host_t* host);
  static void CLAP_ABI Rescan(const clap_host_t* host, uint32_t flags);
  static void CLAP_ABI Clear(const clap_host_t* host, clap_id id, uint32_t flags);
  static void CLAP_ABI RequestFlush(const clap_host_t* host);
  static void CLAP_ABI MarkDirty(const clap_host_t* host);
  static void CLAP_ABI ResizeHintsChanged(const clap_host_t* host);
  static bool CLAP_ABI RequestResize(const clap_host_t* host, uint32_t width, uint32_t height);
  static bool CLAP_ABI RequestShow(const clap_host_t* host);
  static bool CLAP_ABI RequestHide(const clap_host_t* host);
  static void CLAP_ABI GuiClosed(const clap_host_t* host, bool destroyed);
  static bool CLAP_ABI RegisterTimer(const clap_host_t* host, uint32_t periodMs, clap_id* id);
  static bool CLAP_ABI UnregisterTimer(const clap_host_t* host, clap_id id);
  static bool CLAP_ABI RegisterFd(const clap_host_t* host, int fd, uint32_t flags);
  static bool CLAP_ABI ModifyFd(const clap_host_t* host, int fd, uint32_t flags);
  static bool CLAP_ABI UnregisterFd(const clap_host_t* host, int fd);
  static void CLAP_ABI Log(const clap_host_t* host, int32_t severity, const char* message);
  static uint32_t CLAP_ABI NoteDialects(const clap_host_t* host);
  static void CLAP_ABI NotePortsRescan(const clap_host_t* host, uint32_t flags);

  clap_host_t record_;
  const clap_plugin_t* plugin_ = nullptr;
  uintptr_t mainThread_;
  bool inAudio_ = false;
  bool flushRequested_ = false;
  bool callbackRequested_ = false;
  clap_id nextTimer_ = 1;
  std::vector<Timer> timers_;
  std::vector<ClapReadyDescriptor> descriptors_;
};
