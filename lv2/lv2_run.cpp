// Lv2Gate's audio processing: control ports that changed since they were
// last applied set their parameters at the block's start; the event port is
// walked in time order, a transport position splitting the block at its
// frame, and each slice is rendered through the instance with the transport
// of its first frame and the note-ons that fall inside it. No allocation
// here. [audio thread, takes the instance lock]
#include <algorithm>

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>

#include "framework/recursive_lock.h"
#include "instance/effect_instance.h"
#include "lv2/lv2_gate.h"

namespace {

// The events of a sequence in their order, each checked to lie inside it.
class SequenceWalk {
 public:
  explicit SequenceWalk(const LV2_Atom_Sequence* sequence) : sequence_(sequence) {}
  // The next event, or null at the end (or at the first one that would run past it).
  const LV2_Atom_Event* Next() {
    if (!sequence_ || sequence_->atom.size < sizeof(LV2_Atom_Sequence_Body)) return nullptr;
    const uint32_t end =
        sequence_->atom.size - static_cast<uint32_t>(sizeof(LV2_Atom_Sequence_Body));
    if (at_ + sizeof(LV2_Atom_Event) > end) return nullptr;
    const uint8_t* first = reinterpret_cast<const uint8_t*>(&sequence_->body + 1);
    const auto* event = reinterpret_cast<const LV2_Atom_Event*>(first + at_);
    if (event->body.size > end - at_ - sizeof(LV2_Atom_Event)) return nullptr;
    at_ += Lv2PaddedSize(static_cast<uint32_t>(sizeof(LV2_Atom_Event)) + event->body.size);
    return event;
  }

 private:
  const LV2_Atom_Sequence* sequence_;
  uint32_t at_ = 0;  // bytes after the sequence body's header
};

// The event's frame within a block of `frames`: before the block is its
// start, at or past its end the block's end.
int32_t EventFrame(const LV2_Atom_Event* event, int32_t frames) {
  return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(event->time.frames, 0), frames));
}

}  // namespace

void Lv2Gate::ApplyControlPorts() {
  for (int32_t i = 0; i < paramCount_; ++i) {
    if (!paramPorts_[i]) continue;
    const float value = *paramPorts_[i];
    if (value == applied_[i] || value != value) continue;  // unchanged, or NaN
    applied_[i] = value;
    instance_->SetParamNormalized(i, instance_->ParamNormalizedOfPlain(i, value));
  }
}

void Lv2Gate::QueueNotes(int32_t start, int32_t end, int32_t blockFrames) {
  if (!ids_.mapped) return;
  SequenceWalk walk(events_);
  const int32_t last = blockFrames > 0 ? blockFrames - 1 : 0;
  for (const LV2_Atom_Event* event = walk.Next(); event; event = walk.Next()) {
    if (event->body.type != ids_.midiEvent || event->body.size < 3) continue;
    const int32_t frame = std::min(EventFrame(event, blockFrames), last);
    if (frame < start || frame >= end) continue;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&event->body + 1);
    // A note-on of velocity 0 is a note-off, and like the other messages it
    // means nothing here.
    if ((bytes[0] & 0xF0) != LV2_MIDI_MSG_NOTE_ON || bytes[1] > 127 || bytes[2] == 0 ||
        bytes[2] > 127)
      continue;
    instance_->QueueMidi({frame - start, bytes[0], bytes[1], bytes[2]});
  }
}

void Lv2Gate::RenderSlice(int32_t start, int32_t end, int32_t blockFrames) {
  float* inputs[2] = {const_cast<float*>(audioIn_[0]), const_cast<float*>(audioIn_[1])};
  for (int32_t piece = start; piece < end; piece += maxBlock_) {
    const int32_t pieceEnd = std::min(end, piece + maxBlock_);
    // The piece's notes go first: its render times them from its own start.
    QueueNotes(piece, pieceEnd, blockFrames);
    sliceTime_ = transport_.At(piece);
    instance_->ProcessFloat(inputs, audioOut_, piece, pieceEnd - piece);
  }
}

void Lv2Gate::Run(uint32_t sampleCount) {
  // This thread counts as the audio thread until the call ends.
  runThread_ = std::this_thread::get_id();
  inRun_ = true;
  struct RunEnd {
    std::atomic<bool>& inRun;
    ~RunEnd() { inRun = false; }
  } runEnd{inRun_};
  ScopedLock lock(instance_->Lock());
  ApplyControlPorts();
  const bool audio = audioIn_[0] && audioIn_[1] && audioOut_[0] && audioOut_[1];
  const int32_t frames =
      audio ? static_cast<int32_t>(std::min<uint32_t>(sampleCount, 1u << 30)) : 0;
  int32_t start = 0;
  SequenceWalk walk(ids_.mapped ? events_ : nullptr);
  for (const LV2_Atom_Event* event = walk.Next(); event; event = walk.Next()) {
    Lv2PositionFields fields;
    if (!ReadLv2Position(&event->body, ids_, &fields)) continue;
    // The frames before the position play with the transport as it was.
    const int32_t at = std::max(EventFrame(event, frames), start);
    if (at > start) RenderSlice(start, at, frames);
    start = at;
    transport_.Apply(fields, at);
  }
  if (frames > 0) {
    RenderSlice(start, frames, frames);
  } else {
    // Nothing renders, yet the notes count: they act at the next frame.
    QueueNotes(0, 1, 0);
    sliceTime_ = nullptr;
    instance_->ProcessNothing();
  }
  sliceTime_ = nullptr;
  transport_.EndBlock(frames);
}
