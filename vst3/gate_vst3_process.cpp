// GateVst3's audio processing: the block is split at every parameter-change
// point of the input queues, the note-ons that fall in a slice are handed to
// the instance, each slice goes through the instance's own replacing callback
// with the time info of its first sample, the bypass crossfade follows, and
// parameters (and a program a note-on selected) the instance changed itself
// are reported back. No allocation here. [audio thread, takes the instance lock]
#include <algorithm>
#include <cmath>

#include "engine/gate_plug.h"
#include "framework/recursive_lock.h"
#include "instance/block_notes.h"
#include "instance/host_time_at.h"
#include "instance/vst2_effect_instance.h"
#include "vst3/gate_vst3.h"

namespace {

constexpr int kMaxQueues = 64;  // queues beyond this are applied at the block start

struct QueueCursor {
  v3_param_value_queue** queue;
  v3_param_id id;
  int32_t count;
  int32_t next;  // index of the next point to apply
};

int32_t PointOffset(const QueueCursor& cursor, int32_t index, double* value) {
  int32_t offset = 0;
  *value = 0.0;
  if (v3_cpp_obj(cursor.queue)->get_point(cursor.queue, index, &offset, value) != kResultOk)
    return -1;
  return offset;
}

// The note-ons of the event list, as many as the block's list holds, in the
// list's order. Like the other events, a note-off means nothing here.
void ReadNoteOns(v3_event_list** list, int32_t frames, BlockNotes* notes) {
  if (!list) return;
  const uint32_t count = v3_cpp_obj(list)->get_event_count(list);
  for (uint32_t i = 0; i < count && !notes->Full(); ++i) {
    v3_event event = {};
    if (v3_cpp_obj(list)->get_event(list, static_cast<int32_t>(i), &event) != kResultOk) continue;
    if (event.bus_index != 0 || event.type != V3_EVENT_NOTE_ON) continue;
    const v3_event_note_on& on = event.note_on;
    notes->Add(event.sample_offset, frames, on.channel, on.pitch, on.velocity);
  }
}

bool HasChannels(const v3_audio_bus_buffers& bus, int32_t sampleSize) {
  if (sampleSize == V3_SAMPLE_64) {
    return bus.channel_buffers_64 && bus.channel_buffers_64[0] && bus.channel_buffers_64[1];
  }
  return bus.channel_buffers_32 && bus.channel_buffers_32[0] && bus.channel_buffers_32[1];
}

void SilenceOutputs(v3_process_data* data) {
  const size_t frames = static_cast<size_t>(data->nframes);
  for (int32_t b = 0; data->outputs && b < data->num_output_buses; ++b) {
    const v3_audio_bus_buffers& bus = data->outputs[b];
    for (int32_t c = 0; c < bus.num_channels; ++c) {
      if (data->symbolic_sample_size == V3_SAMPLE_64) {
        if (bus.channel_buffers_64 && bus.channel_buffers_64[c]) {
          std::fill_n(bus.channel_buffers_64[c], frames, 0.0);
        }
      } else if (bus.channel_buffers_32 && bus.channel_buffers_32[c]) {
        std::fill_n(bus.channel_buffers_32[c], frames, 0.0f);
      }
    }
  }
}

}  // namespace

void GateVst3::BuildTimeInfo(const v3_process_context* context, int32_t offset) {
  timeInfoValid_ = context != nullptr;
  if (!context) return;
  const uint32_t state = context->state;
  TransportFacts facts;
  facts.blockPosition = context->project_time_in_samples;
  facts.playing = (state & V3_PROCESS_CTX_PLAYING) != 0;
  facts.recording = (state & V3_PROCESS_CTX_RECORDING) != 0;
  facts.tempoValid = (state & V3_PROCESS_CTX_TEMPO_VALID) != 0;
  facts.tempo = context->bpm;
  facts.signatureValid = (state & V3_PROCESS_CTX_TIME_SIG_VALID) != 0;
  facts.numerator = context->time_sig_numerator;
  facts.denominator = context->time_sig_denom;
  hostTime_ = HostTimeAt(facts, offset);
}

void GateVst3::ApplyParamChange(v3_param_id id, double normalized) {
  if (!(normalized >= 0.0)) normalized = 0.0;  // NaN too
  if (normalized > 1.0) normalized = 1.0;
  if (id == kBypassParamId) {
    bypassed_ = normalized >= 0.5;
    return;
  }
  if (id == kProgramParamId) {
    SelectProgram(static_cast<int>(std::lround(normalized * (instance_->ProgramCount() - 1))));
    return;
  }
  if (id >= static_cast<v3_param_id>(kVisibleParams)) return;
  SetParameterNormalized(id, normalized);
  reported_.Remember(static_cast<int32_t>(id),
                     instance_->ParamNormalized(static_cast<int32_t>(id)));
}

void GateVst3::SelectProgram(int program) {
  ScopedLock lock(instance_->Lock());
  if (program < 0 || program >= instance_->ProgramCount()) return;
  if (program == instance_->CurrentProgram()) return;
  instance_->SelectProgram(program);
}

void GateVst3::RenderSlice(v3_process_data* data, int32_t offset, int32_t frames) {
  const bool wide = data->symbolic_sample_size == V3_SAMPLE_64;
  const v3_audio_bus_buffers& in = data->inputs[0];
  const v3_audio_bus_buffers& out = data->outputs[0];
  // Read once: the host may flip bypass from another thread mid-slice.
  const bool bypassed = bypassed_.load();
  if (wide) {
    crossfade_.Render(*instance_, in.channel_buffers_64, out.channel_buffers_64, offset, frames,
                      bypassed, sampleRate_);
  } else {
    crossfade_.Render(*instance_, in.channel_buffers_32, out.channel_buffers_32, offset, frames,
                      bypassed, sampleRate_);
  }
}

void GateVst3::ReportProgram(v3_process_data* data, int32_t offset) {
  v3_param_changes** changes = data->output_params;
  if (!changes) return;
  v3_param_id id = kProgramParamId;
  int32_t queueIndex = 0;
  v3_param_value_queue** queue = v3_cpp_obj(changes)->add_param_data(changes, &id, &queueIndex);
  int32_t pointIndex = 0;
  if (queue) v3_cpp_obj(queue)->add_point(queue, offset, ParameterNormalized(id), &pointIndex);
}

void GateVst3::ReportChangedParams(v3_process_data* data, int32_t offset) {
  v3_param_changes** changes = data->output_params;
  reported_.Scan(*instance_, [&](int32_t index, double now) {
    if (!changes) return true;
    v3_param_id id = static_cast<v3_param_id>(index);
    int32_t queueIndex = 0;
    v3_param_value_queue** queue = v3_cpp_obj(changes)->add_param_data(changes, &id, &queueIndex);
    int32_t pointIndex = 0;
    return queue && v3_cpp_obj(queue)->add_point(queue, offset, now, &pointIndex) == kResultOk;
  });
}

v3_result GateVst3::Process(v3_process_data* data) {
  if (!data) return kInvalidArgument;
  // This thread counts as the audio thread until the lock below is released,
  // so the release leaves the component handler's queue alone.
  processThread_ = std::this_thread::get_id();
  inProcess_ = true;
  struct ProcessEnd {
    std::atomic<bool>& inProcess;
    ~ProcessEnd() { inProcess = false; }
  } processEnd{inProcess_};
  // The whole call, as every VST 2 audio callback, under the instance lock:
  // queue points, slices and reports see no half-made change from the host's
  // other threads.
  ScopedLock lock(instance_->Lock());

  QueueCursor cursors[kMaxQueues];
  int queueCount = 0;
  if (v3_param_changes** changes = data->input_params) {
    const int32_t count = v3_cpp_obj(changes)->get_param_count(changes);
    for (int32_t i = 0; i < count; ++i) {
      v3_param_value_queue** queue = v3_cpp_obj(changes)->get_param_data(changes, i);
      if (!queue) continue;
      QueueCursor cursor = {queue, v3_cpp_obj(queue)->get_param_id(queue),
                            v3_cpp_obj(queue)->get_point_count(queue), 0};
      if (queueCount < kMaxQueues) {
        cursors[queueCount++] = cursor;
        continue;
      }
      double value = 0.0;  // no room to track it: its last point applies at once
      if (cursor.count > 0 && PointOffset(cursor, cursor.count - 1, &value) >= 0) {
        ApplyParamChange(cursor.id, value);
      }
    }
  }

  const bool audio = data->num_input_buses >= 1 && data->num_output_buses >= 1 && data->inputs &&
                     data->outputs && data->inputs[0].num_channels == 2 &&
                     data->outputs[0].num_channels == 2 && data->nframes > 0 &&
                     HasChannels(data->inputs[0], data->symbolic_sample_size) &&
                     HasChannels(data->outputs[0], data->symbolic_sample_size);
  const int32_t frames = audio ? data->nframes : 0;
  BlockNotes notes;
  ReadNoteOns(data->input_events, frames, &notes);
  int32_t position = 0;
  do {
    // Apply every point due by `position`; the next pending point ends the slice.
    int32_t sliceEnd = frames;
    for (int q = 0; q < queueCount; ++q) {
      QueueCursor& cursor = cursors[q];
      while (cursor.next < cursor.count) {
        double value = 0.0;
        // A point past the block belongs to its last sample.
        const int32_t offset = std::min(PointOffset(cursor, cursor.next, &value), frames - 1);
        if (frames > 0 && offset > position) {
          sliceEnd = std::min(sliceEnd, offset);
          break;
        }
        ApplyParamChange(cursor.id, value);
        ++cursor.next;
      }
    }
    sliceEnd = std::min(sliceEnd, position + maxBlock_);
    if (frames > 0) {
      BuildTimeInfo(data->ctx, position);
      // The slice's notes go first: its render times them from its own start.
      notes.Deliver(*instance_, position, sliceEnd);
      const uint32_t switchesBefore = instance_->NoteProgramSwitches();
      RenderSlice(data, position, sliceEnd - position);
      if (instance_->NoteProgramSwitches() != switchesBefore) ReportProgram(data, position);
      ReportChangedParams(data, position);
    }
    position = sliceEnd;
  } while (position < frames);
  if (frames == 0) {
    // Nothing renders, yet the notes count: they act at the next sample.
    notes.Deliver(*instance_, 0, 1);
    instance_->ProcessNothing();
    ReportChangedParams(data, 0);
    // Nothing to gate, yet the host reads the outputs: they hold silence.
    if (data->nframes > 0) SilenceOutputs(data);
  }

  timeInfoValid_ = false;
  return kResultOk;
}
