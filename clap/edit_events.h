// EditEvents: the editor's edit gestures waiting to reach the host as
// output events: a fixed ring, filled on the editor thread and emptied by
// process or params.flush, both under the instance lock. A full ring drops
// the newest value steps but never a gesture's begin or end. [lock held]
#pragma once

#include <cstdint>

class EditEvents {
 public:
  enum Kind : uint8_t { kBegin, kValue, kEnd };
  struct Edit {
    Kind kind;
    int32_t index;
  };
  static constexpr int kCapacity = 256;
  // Room kept for begins and ends once value steps fill the rest.
  static constexpr int kGestureReserve = 32;

  // False when dropped for want of room.
  bool Push(Kind kind, int32_t index);
  bool Empty() const { return count_ == 0; }
  // The oldest edit; only when not empty.
  Edit Front() const { return edits_[head_]; }
  void Pop();

 private:
  Edit edits_[kCapacity] = {};
  int head_ = 0;
  int count_ = 0;
};
