// EditEvents: the editor's edit gestures waiting to reach the host as
// output events: a fixed ring, filled on the editor thread and emptied by
// process or params.flush, both under the instance lock. When the host
// drains it too slowly, whole gestures are dropped, never part of one: a
// begin that finds no room drops its values and its end too, and room is
// kept for the end of every gesture that went in. [lock held]
#pragma once

#include <cstdint>

#include "engine/gate_params.h"

class EditEvents {
 public:
  enum Kind : uint8_t { kBegin, kValue, kEnd };
  struct Edit {
    Kind kind;
    int32_t index;
    double normalized;  // a value's own, as the editor set it
  };
  static constexpr int kCapacity = 256;
  static constexpr int kParams = kHostVisibleParams;

  // False when dropped (for want of room, or as part of a dropped gesture).
  bool Push(Kind kind, int32_t index, double normalized = 0.0);
  bool Empty() const { return count_ == 0; }
  // The oldest edit; only when not empty.
  Edit Front() const { return edits_[head_]; }
  void Pop();

 private:
  // Slots taken plus those kept for the ends of the gestures that went in.
  int Committed() const { return count_ + openGestures_; }

  Edit edits_[kCapacity] = {};
  int head_ = 0;
  int count_ = 0;
  int openGestures_ = 0;         // begun in the ring, their end not yet pushed
  bool open_[kParams] = {};      // per parameter: a gesture in the ring awaits its end
  bool dropping_[kParams] = {};  // per parameter: the gesture's begin was dropped
};
