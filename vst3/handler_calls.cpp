#include "vst3/handler_calls.h"

bool HandlerCalls::Push(Kind kind, v3_param_id id, double value) {
  const std::thread::id self = std::this_thread::get_id();
  std::lock_guard<std::mutex> hold(mutex_);
  for (int i = count_ - 1; i >= 0; --i) {
    Call& last = calls_[i];
    if (last.thread != self) continue;
    if (kind == kPerformEdit && last.kind == kPerformEdit && last.id == id) {
      last.value = value;
      return true;
    }
    break;
  }
  if (count_ == kCapacity) return false;
  calls_[count_++] = {self, kind, id, value};
  pending_.store(count_, std::memory_order_release);
  return true;
}

void HandlerCalls::SendMine(v3_component_handler** handler) {
  const std::thread::id self = std::this_thread::get_id();
  Call mine[kCapacity];
  int taken = 0;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
      if (calls_[i].thread == self) {
        mine[taken++] = calls_[i];
      } else {
        calls_[kept++] = calls_[i];
      }
    }
    count_ = kept;
    pending_.store(count_, std::memory_order_release);
  }
  if (!handler) return;
  // The host may call back in from here; what it queues is sent by the
  // inner release, before these calls go on.
  for (int i = 0; i < taken; ++i) {
    const Call& call = mine[i];
    switch (call.kind) {
      case kBeginEdit:
        v3_cpp_obj(handler)->begin_edit(handler, call.id);
        break;
      case kPerformEdit:
        v3_cpp_obj(handler)->perform_edit(handler, call.id, call.value);
        break;
      case kEndEdit:
        v3_cpp_obj(handler)->end_edit(handler, call.id);
        break;
      case kRestart:
        v3_cpp_obj(handler)->restart_component(handler, static_cast<int32_t>(call.id));
        break;
    }
  }
}
