// NoteQueue: the note-ons the host sent for the coming audio, in the order
// they sound. A host hands them over with offsets into its next process
// call; when that call starts they become times on the engine's own sample
// clock, so slices of the call, and the engine's own splits, can take the
// notes that fall inside them. Fixed storage: no allocation.
//
// Threading: every entry runs with the instance lock held; hosts add notes
// from the audio thread or, before the process call, the host thread.
#pragma once

#include <cstdint>

struct TimedNote {
  int64_t at;  // the engine's sample clock
  uint8_t note;
};

class NoteQueue {
 public:
  // Note-ons held at once; more in one process call are dropped.
  static constexpr int kCapacity = 256;

  // A note-on `offset` frames into the host's next process call.
  void Add(int32_t offset, uint8_t note);
  // The host's process call starts at sample `start` of the clock and holds
  // `frames`. Notes added for it take their times; an offset past the call
  // belongs to its last sample, a negative one to its first.
  void BeginHostBlock(int64_t start, int32_t frames);
  // The earliest timed note before `end`, taken from the queue.
  bool PopBefore(int64_t end, TimedNote* note);
  void Clear();

 private:
  struct Untimed {
    int32_t offset;
    uint8_t note;
  };
  Untimed untimed_[kCapacity] = {};
  int untimedCount_ = 0;
  TimedNote timed_[kCapacity] = {};  // sorted by time, the earliest first
  int timedCount_ = 0;
};
