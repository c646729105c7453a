// IdleWatchdog: a thread of the editor's own that notices when the host's
// effEditIdle calls stop coming often enough, and then posts the editor's
// idle work to the host's main loop. It never runs that work itself: X calls
// and the host's callbacks stay on the host's editor thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "editor_x11/host_main_loop.h"

class IdleWatchdog {
 public:
  IdleWatchdog() = default;
  IdleWatchdog(const IdleWatchdog&) = delete;
  IdleWatchdog& operator=(const IdleWatchdog&) = delete;
  ~IdleWatchdog() { Stop(); }

  // Looks every `periodMs`; posts `work(data)` to `loop` while no host idle
  // came for `lateMs`. [editor thread]
  void Start(HostMainLoop* loop, HostMainLoop::Work work, void* data, int periodMs, int lateMs);
  // Returns when the thread has ended; nothing is posted after. [editor thread]
  void Stop();
  // The host called effEditIdle. [editor thread]
  void HostIdled();

 private:
  void Watch();
  static int64_t NowMs();

  HostMainLoop* loop_ = nullptr;
  HostMainLoop::Work work_ = nullptr;
  void* data_ = nullptr;
  int periodMs_ = 0;
  int lateMs_ = 0;
  std::atomic<int64_t> lastHostIdleMs_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};
