#include "engine/note_queue.h"

void NoteQueue::Add(int32_t offset, uint8_t note) {
  if (untimedCount_ >= kCapacity) return;
  untimed_[untimedCount_++] = {offset, note};
}

void NoteQueue::BeginHostBlock(int64_t start, int32_t frames) {
  const int32_t last = frames > 0 ? frames - 1 : 0;
  for (int i = 0; i < untimedCount_ && timedCount_ < kCapacity; ++i) {
    int32_t offset = untimed_[i].offset;
    if (offset < 0) offset = 0;
    if (offset > last) offset = last;
    const TimedNote note = {start + offset, untimed_[i].note};
    // Insertion keeps arrival order among notes at the same time.
    int at = timedCount_;
    while (at > 0 && timed_[at - 1].at > note.at) {
      timed_[at] = timed_[at - 1];
      --at;
    }
    timed_[at] = note;
    ++timedCount_;
  }
  untimedCount_ = 0;
}

bool NoteQueue::PopBefore(int64_t end, TimedNote* note) {
  if (timedCount_ == 0 || timed_[0].at >= end) return false;
  *note = timed_[0];
  for (int i = 1; i < timedCount_; ++i) timed_[i - 1] = timed_[i];
  --timedCount_;
  return true;
}

void NoteQueue::Clear() {
  untimedCount_ = 0;
  timedCount_ = 0;
}
