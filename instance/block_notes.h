// BlockNotes: the note-ons of one host block, at their samples, handed to
// the instance slice by slice so each slice's render times them from its
// own start. At most NoteQueue::kCapacity, as many as the instance queues
// for one call. [audio thread, lock held]
#pragma once

#include <cstdint>

#include "engine/note_queue.h"
#include "framework/midi_message.h"

class EffectInstance;

class BlockNotes {
 public:
  static constexpr int kCapacity = NoteQueue::kCapacity;

  // Adds a note-on of a block of `frames` frames: an offset at or past the
  // end belongs to its last sample, a negative one to its first, and with
  // no frames every note sits at 0. Velocity 0 (a note-off) and pitches
  // outside 0..127 add nothing, nor does a full list. False when nothing was added.
  bool Add(int32_t offset, int32_t frames, int32_t channel, int32_t pitch, float velocity);
  int Count() const { return count_; }
  bool Full() const { return count_ >= kCapacity; }
  // Hands the instance the notes at offsets start .. end - 1, relative to start.
  void Deliver(EffectInstance& instance, int32_t start, int32_t end) const;

 private:
  struct Note {
    int32_t offset;
    MidiMessage message;
  };
  Note notes_[kCapacity];
  int count_ = 0;
};
