// [lock held]
#include "clap/edit_events.h"

bool EditEvents::Push(Kind kind, int32_t index, double normalized) {
  if (index < 0 || index >= kParams) return false;
  if (kind == kBegin) {
    // A begin inside an open gesture of the same parameter changes nothing.
    if (open_[index] || dropping_[index]) return false;
    // Room for the begin, a value, and the ends of every open gesture and its own.
    if (Committed() + 3 > kCapacity) {
      dropping_[index] = true;
      return false;
    }
    open_[index] = true;
    ++openGestures_;
  } else if (kind == kValue) {
    // A value outside a gesture needs room of its own; one inside keeps
    // the room its end holds.
    if (dropping_[index] || Committed() + (open_[index] ? 2 : 1) > kCapacity) return false;
  } else {
    if (dropping_[index]) {
      dropping_[index] = false;
      return false;
    }
    if (!open_[index]) return false;  // an end with no begin
    open_[index] = false;
    --openGestures_;  // its kept slot is the one it takes now
  }
  edits_[(head_ + count_) % kCapacity] = {kind, index, normalized};
  ++count_;
  return true;
}

void EditEvents::Pop() {
  if (count_ == 0) return;
  head_ = (head_ + 1) % kCapacity;
  --count_;
}
