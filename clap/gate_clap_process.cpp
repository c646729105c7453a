// GateClap's audio processing: the block is split at every parameter value
// event of the input list, each applied at its sample (one past the block
// at its last); the note-ons that fall in a slice are handed to the
// instance; each slice renders with the time info of its first sample and
// the bypass crossfade follows; then the host hears of values the instance
// changed itself. Output events go out in time order. No allocation here.
// [audio thread, takes the instance lock]
#include <algorithm>

#include "clap/gate_clap.h"
#include "framework/recursive_lock.h"
#include "instance/block_notes.h"
#include "instance/effect_instance.h"

namespace {

bool IsParamValue(const clap_event_header_t* event) {
  return event && event->space_id == CLAP_CORE_EVENT_SPACE_ID &&
         event->type == CLAP_EVENT_PARAM_VALUE && event->size >= sizeof(clap_event_param_value_t);
}

bool HasChannels(const clap_audio_buffer_t& buffer, bool wide) {
  if (buffer.channel_count != 2) return false;
  if (wide) return buffer.data64 && buffer.data64[0] && buffer.data64[1];
  return buffer.data32 && buffer.data32[0] && buffer.data32[1];
}

void SilenceOutputs(const clap_process_t* process) {
  const size_t frames = process->frames_count;
  for (uint32_t p = 0; process->audio_outputs && p < process->audio_outputs_count; ++p) {
    clap_audio_buffer_t& port = process->audio_outputs[p];
    for (uint32_t c = 0; c < port.channel_count; ++c) {
      if (port.data32 && port.data32[c]) std::fill_n(port.data32[c], frames, 0.0f);
      if (port.data64 && port.data64[c]) std::fill_n(port.data64[c], frames, 0.0);
    }
  }
}

}  // namespace

void GateClap::RenderSlice(const clap_process_t* process, bool wide, int32_t offset,
                           int32_t frames) {
  const clap_audio_buffer_t& in = process->audio_inputs[0];
  const clap_audio_buffer_t& out = process->audio_outputs[0];
  // Read once: the host may flip bypass from another thread mid-slice.
  const bool bypassed = bypassed_.load();
  if (wide) {
    crossfade_.Render(*instance_, in.data64, out.data64, offset, frames, bypassed, sampleRate_);
  } else {
    crossfade_.Render(*instance_, in.data32, out.data32, offset, frames, bypassed, sampleRate_);
  }
}

clap_process_status GateClap::Process(const clap_process_t* process) {
  if (!process) return CLAP_PROCESS_ERROR;
  // This thread counts as the audio thread until the lock below is released.
  processThread_ = std::this_thread::get_id();
  inProcess_ = true;
  struct ProcessEnd {
    std::atomic<bool>& inProcess;
    ~ProcessEnd() { inProcess = false; }
  } processEnd{inProcess_};
  // The whole call under the instance lock: events, slices and reports see
  // no half-made change from the host's other threads.
  ScopedLock lock(instance_->Lock());

  const bool ports = process->audio_inputs_count >= 1 && process->audio_outputs_count >= 1 &&
                     process->audio_inputs && process->audio_outputs && process->frames_count > 0 &&
                     process->frames_count <= kMaxBlockFrames;
  // Doubles when the host gives them both ways, else floats.
  const bool wide = ports && HasChannels(process->audio_inputs[0], true) &&
                    HasChannels(process->audio_outputs[0], true);
  const bool audio = ports && (wide || (HasChannels(process->audio_inputs[0], false) &&
                                        HasChannels(process->audio_outputs[0], false)));
  const int32_t frames = audio ? static_cast<int32_t>(process->frames_count) : 0;
  if (audio) process->audio_outputs[0].constant_mask = 0;

  const clap_input_events_t* in = process->in_events;
  const clap_output_events_t* out = process->out_events;
  const uint32_t eventCount = in && in->size && in->get ? in->size(in) : 0;
  ReadTransport(process->transport);
  BlockNotes notes;
  ReadNoteOns(in, frames, &notes);
  // The editor's gestures since the last call, at the block's start.
  EmitEdits(out, 0);

  uint32_t next = 0;
  int32_t position = 0;
  do {
    // Apply every value due by `position`; the next later one ends the slice.
    int32_t sliceEnd = frames;
    for (; next < eventCount; ++next) {
      const clap_event_header_t* event = in->get(in, next);
      if (!IsParamValue(event)) continue;
      // A value past the block belongs to its last sample.
      const int64_t due = std::min<int64_t>(event->time, frames - 1);
      if (frames > 0 && due > position) {
        sliceEnd = static_cast<int32_t>(due);
        break;
      }
      ApplyEvent(event);
    }
    sliceEnd = std::min(sliceEnd, position + maxBlock_);
    if (frames > 0) {
      hostTime_ = HostTimeAt(transport_, position);
      timeInfoValid_ = transportValid_;
      // The slice's notes go first: its render times them from its own start.
      notes.Deliver(*instance_, position, sliceEnd);
      const uint32_t switchesBefore = instance_->NoteProgramSwitches();
      RenderSlice(process, wide, position, sliceEnd - position);
      if (instance_->NoteProgramSwitches() != switchesBefore) programToReport_ = true;
      EmitChanges(out, static_cast<uint32_t>(position));
    }
    position = sliceEnd;
  } while (position < frames);
  if (frames == 0) {
    // Nothing renders, yet the notes count: they act at the next sample.
    notes.Deliver(*instance_, 0, 1);
    instance_->ProcessNothing();
    EmitChanges(out, 0);
    // Nothing to gate, yet the host reads the outputs: they hold silence.
    if (process->frames_count > 0) SilenceOutputs(process);
  }

  timeInfoValid_ = false;
  return CLAP_PROCESS_CONTINUE;
}
