#include "lv2/lv2_transport.h"

#include <cmath>

namespace {

// Larger signatures are no musical metre: the transport then has none.
constexpr double kMaxSignature = 256.0;

}  // namespace

void Lv2Transport::Apply(const Lv2PositionFields& fields, int32_t at) {
  // Where the old transport had got to, then whatever the new one says.
  frame_ = known_ ? FrameAt(at) : 0.0;
  anchor_ = at;
  known_ = true;
  if (fields.hasFrame) frame_ = fields.frame;
  if (fields.hasSpeed) speed_ = fields.speed;
  if (fields.hasTempo) {
    fields_.hasTempo = true;
    fields_.tempo = fields.tempo;
  }
  if (fields.hasBeatsPerBar) {
    fields_.hasBeatsPerBar = true;
    fields_.beatsPerBar = fields.beatsPerBar;
  }
  if (fields.hasBeatUnit) {
    fields_.hasBeatUnit = true;
    fields_.beatUnit = fields.beatUnit;
  }
}

const HostTime* Lv2Transport::At(int32_t at) {
  if (!known_) return nullptr;
  time_ = HostTime();
  time_.samplePosition = FrameAt(at);
  // Before the project's start the transport counts as stopped, as a VST 2
  // host reports a pre-roll: the step clock aligns when it reaches zero.
  time_.playing = speed_ != 0.0 && time_.samplePosition >= 0.0;
  if (fields_.hasTempo && fields_.tempo > 0.0) {
    time_.tempoValid = true;
    time_.tempo = fields_.tempo;
  }
  if (fields_.hasBeatsPerBar && fields_.hasBeatUnit && fields_.beatsPerBar >= 1.0 &&
      fields_.beatsPerBar <= kMaxSignature && fields_.beatUnit >= 1.0 &&
      fields_.beatUnit <= kMaxSignature) {
    time_.signatureValid = true;
    time_.numerator = static_cast<int32_t>(std::lround(fields_.beatsPerBar));
    time_.denominator = static_cast<int32_t>(std::lround(fields_.beatUnit));
  }
  return &time_;
}

void Lv2Transport::EndBlock(int32_t frames) {
  if (!known_) return;
  frame_ = FrameAt(frames);
  anchor_ = 0;
}
