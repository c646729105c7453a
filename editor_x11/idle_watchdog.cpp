#include "editor_x11/idle_watchdog.h"

#include <chrono>

int64_t IdleWatchdog::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void IdleWatchdog::Start(HostMainLoop* loop, HostMainLoop::Work work, void* data, int periodMs,
                         int lateMs) {
  Stop();
  loop_ = loop;
  work_ = work;
  data_ = data;
  periodMs_ = periodMs > 0 ? periodMs : 1;
  lateMs_ = lateMs;
  // The opening counts as an idle call: the host gets its first chance.
  lastHostIdleMs_ = NowMs();
  stopping_ = false;
  thread_ = std::thread(&IdleWatchdog::Watch, this);
}

void IdleWatchdog::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void IdleWatchdog::HostIdled() { lastHostIdleMs_ = NowMs(); }

// [watchdog thread]
void IdleWatchdog::Watch() {
  std::unique_lock<std::mutex> hold(mutex_);
  while (
      !wake_.wait_for(hold, std::chrono::milliseconds(periodMs_), [this] { return stopping_; })) {
    if (NowMs() - lastHostIdleMs_ >= lateMs_) loop_->Post(work_, data_);
  }
}
