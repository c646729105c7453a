// Runs a WAV file through the effect block by block with one of the three
// audio callbacks, advancing the host's transport position by each block's
// length while the transport runs. [host main thread, acting as audio thread]
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/vst2_interface.h"
#include "tools/host/wav_file.h"

// A parameter change that takes effect at sample `offset` of the next render.
struct TimedParamChange {
  int32_t index;
  int64_t offset;
  double value;  // normalised
};

// A note-on at sample `offset` of the next render, sent with the host block
// that holds it. One before the render's start goes with the first block (a
// negative offset in it), one past its end with the last (an offset past it).
struct TimedNoteOn {
  int64_t offset;
  uint8_t note;
  uint8_t velocity;  // 0: a note-on that means note-off
};

// Whether a note goes with the host block of samples [start, end) of a
// render of `total` samples.
inline bool NoteGoesWithBlock(int64_t offset, int64_t start, int64_t end, int64_t total) {
  return (offset >= start || start == 0) && (offset < end || end >= total);
}

enum class ProcessCallback { Replacing, DoubleReplacing, Accumulating };

bool ParseProcessCallback(const std::string& name, ProcessCallback& callback);

// Output has the effect's output count of channels and the input's length.
// Input channels feed the effect's inputs in order, repeating when the file
// has fewer channels than the effect (a mono file feeds both inputs).
// Each change goes in through setParameter just before its sample: a block
// holding change points is handed over in pieces split at them. Notes go in
// through effProcessEvents just before the piece that holds them.
bool RenderThroughEffect(vst2::AEffect* effect, const WavAudio& input, ProcessCallback callback,
                         const std::vector<TimedParamChange>& changes,
                         const std::vector<TimedNoteOn>& notes, WavAudio& output,
                         std::string& error);
