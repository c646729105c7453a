// [lock held]
#include "clap/edit_events.h"

bool EditEvents::Push(Kind kind, int32_t index) {
  const int limit = kind == kValue ? kCapacity - kGestureReserve : kCapacity;
  if (count_ >= limit) return false;
  edits_[(head_ + count_) % kCapacity] = {kind, index};
  ++count_;
  return true;
}

void EditEvents::Pop() {
  if (count_ == 0) return;
  head_ = (head_ + 1) % kCapacity;
  --count_;
}
