// The host's transport as the plug-in follows it between time:Position
// events: a host sends a position when something changes (a locate, a
// start, a tempo change), and the plug-in moves it on with the speed for
// every frame in between. Until the first position there is no host time.
#pragma once

#include <cstdint>

#include "instance/instance_host.h"
#include "lv2/lv2_position.h"

class Lv2Transport {
 public:
  // A position that arrived at frame `at` of the current block; fields it
  // leaves out keep their values. [audio thread]
  void Apply(const Lv2PositionFields& fields, int32_t at);
  // The transport at frame `at` of the current block; null before the first
  // position. Valid until the next call. [audio thread]
  const HostTime* At(int32_t at);
  // The current block of `frames` ended: its last frame is the next one's 0.
  // [audio thread]
  void EndBlock(int32_t frames);
  bool Known() const { return known_; }

 private:
  double FrameAt(int32_t at) const { return frame_ + (at - anchor_) * speed_; }

  bool known_ = false;
  double frame_ = 0.0;  // the position at frame anchor_ of the current block
  int32_t anchor_ = 0;
  double speed_ = 0.0;
  Lv2PositionFields fields_{};  // the last value of each field
  HostTime time_{};
};
