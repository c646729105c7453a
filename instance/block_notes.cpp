// A note-on's velocity as a MIDI byte: rounded, at least 1, since a MIDI
// note-on of velocity 0 would be a note-off. [audio thread, lock held]
#include "instance/block_notes.h"

#include <algorithm>
#include <cmath>

#include "instance/effect_instance.h"

bool BlockNotes::Add(int32_t offset, int32_t frames, int32_t channel, int32_t pitch,
                     float velocity) {
  if (Full() || !(velocity > 0.0f) || pitch < 0 || pitch > 127) return false;
  const long byte = std::lround(std::min(velocity, 1.0f) * 127.0f);
  const int32_t last = frames > 0 ? frames - 1 : 0;
  notes_[count_++] = {std::min(std::max(offset, 0), last),
                      {0, static_cast<uint8_t>(0x90 | (channel & 0x0F)),
                       static_cast<uint8_t>(pitch), static_cast<uint8_t>(std::max(1L, byte))}};
  return true;
}

void BlockNotes::Deliver(EffectInstance& instance, int32_t start, int32_t end) const {
  for (int i = 0; i < count_; ++i) {
    if (notes_[i].offset < start || notes_[i].offset >= end) continue;
    MidiMessage message = notes_[i].message;
    message.offset = notes_[i].offset - start;
    instance.QueueMidi(message);
  }
}
