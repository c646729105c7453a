// Calls for the host's component handler, held back while the instance lock
// may be held. A host may answer an edit or a restart by waiting for its
// audio thread, which may be waiting for the instance lock: a call made
// under that lock can deadlock both. The instance asks for edits from inside
// its locked passes, so each call is queued with the thread that made it and
// sent by that thread once it holds the lock no more. Fixed capacity: queuing
// allocates nothing on any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "vst3/vst3_api.h"

class HandlerCalls {
 public:
  enum Kind : int32_t { kBeginEdit, kPerformEdit, kEndEdit, kRestart };
  static constexpr int kCapacity = 256;

  // Queues one call; a perform edit right after another of the same
  // parameter from the same thread takes its place. False when full (the
  // call is dropped). [any thread but the audio thread]
  bool Push(Kind kind, v3_param_id id, double value);
  // Anything queued, by any thread. [any thread]
  bool Pending() const { return pending_.load(std::memory_order_acquire) != 0; }
  // Sends this thread's calls, in the order made, to `handler` (dropped when
  // there is none). [the thread that queued them, instance lock not held]
  void SendMine(v3_component_handler** handler);

 private:
  struct Call {
    std::thread::id thread;
    Kind kind;
    v3_param_id id;
    double value;
  };

  std::mutex mutex_;
  Call calls_[kCapacity] = {};
  int count_ = 0;  // guarded by mutex_
  std::atomic<int> pending_{0};
};
