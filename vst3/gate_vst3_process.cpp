// GateVst3's audio processing: the block is split at every parameter-change
// point of the input queues, the note-ons that fall in a slice are handed to
// the instance, each slice goes through the instance's own replacing callback
// with the time info of its first sample, the bypass crossfade follows, and
// parameters (and a program a note-on selected) the instance changed itself
// are reported back. No allocation here. [audio thread, takes the instance lock]
#include <algorithm>
#include <cmath>

#include "engine/gate_plug.h"
#include "engine/note_queue.h"
#include "framework/recursive_lock.h"
#include "instance/vst2_effect_instance.h"
#include "vst3/gate_vst3.h"

// A note-on of the host's event list, at its sample of the block.
struct BlockNote {
  int32_t offset;
  MidiMessage message;
};

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

// The note-ons of the event list, at most `capacity` (as many as the
// instance's queue holds for one call), in the list's order. An offset at
// or past the block's end belongs to its last sample, a negative one to its
// first; with no frames every note sits at 0. A note-on of velocity 0 is a
// note-off, and like the other events it means nothing here.
int ReadNoteOns(v3_event_list** list, int32_t frames, BlockNote* notes, int capacity) {
  if (!list) return 0;
  const uint32_t count = v3_cpp_obj(list)->get_event_count(list);
  int read = 0;
  for (uint32_t i = 0; i < count && read < capacity; ++i) {
    v3_event event = {};
    if (v3_cpp_obj(list)->get_event(list, static_cast<int32_t>(i), &event) != kResultOk) continue;
    if (event.bus_index != 0 || event.type != V3_EVENT_NOTE_ON) continue;
    const v3_event_note_on& on = event.note_on;
    if (!(on.velocity > 0.0f) || on.pitch < 0 || on.pitch > 127) continue;
    const long velocity = std::lround(std::min(on.velocity, 1.0f) * 127.0f);
    const int32_t last = frames > 0 ? frames - 1 : 0;
    notes[read++] = {
        std::min(std::max(event.sample_offset, 0), last),
        {0, static_cast<uint8_t>(0x90 | (on.channel & 0x0F)), static_cast<uint8_t>(on.pitch),
         static_cast<uint8_t>(std::max(1L, velocity))}};
  }
  return read;
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
  HostTime& t = hostTime_;
  t = {};
  const uint32_t state = context->state;
  const int64_t position = context->project_time_in_samples + offset;
  t.samplePosition = static_cast<double>(position);
  // A host may roll through a pre-roll at negative project time, where a
  // VST 2 host reports its transport still stopped: the transport starts, and
  // the step clock aligns, when the position reaches zero.
  const bool rolling = position >= 0;
  t.playing = rolling && (state & V3_PROCESS_CTX_PLAYING);
  t.recording = rolling && (state & V3_PROCESS_CTX_RECORDING);
  if (state & V3_PROCESS_CTX_TEMPO_VALID) {
    t.tempo = context->bpm;
    t.tempoValid = true;
  }
  if (state & V3_PROCESS_CTX_TIME_SIG_VALID) {
    t.numerator = context->time_sig_numerator;
    t.denominator = context->time_sig_denom;
    t.signatureValid = true;
  }
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
  reported_[id] = instance_->ParamNormalized(static_cast<int32_t>(id));
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
  const bool fading = bypassed || bypassMix_ > 0.0;
  if (fading) {
    for (int c = 0; c < 2; ++c) {
      double* dry = dry_[c].data();
      for (int32_t j = 0; j < frames; ++j) {
        dry[j] = wide ? in.channel_buffers_64[c][offset + j] : in.channel_buffers_32[c][offset + j];
      }
    }
  }
  if (wide) {
    instance_->ProcessDouble(in.channel_buffers_64, out.channel_buffers_64, offset, frames);
  } else {
    instance_->ProcessFloat(in.channel_buffers_32, out.channel_buffers_32, offset, frames);
  }
  if (fading) CrossfadeBypass(data, offset, frames, bypassed);
}

void GateVst3::CrossfadeBypass(v3_process_data* data, int32_t offset, int32_t frames,
                               bool bypassed) {
  const bool wide = data->symbolic_sample_size == V3_SAMPLE_64;
  const v3_audio_bus_buffers& out = data->outputs[0];
  const double fadeSamples = std::max(1.0, std::round(sampleRate_ * kBypassFadeSeconds));
  const double stepPerSample = (bypassed ? 1.0 : -1.0) / fadeSamples;
  const double startMix = bypassMix_;
  double mix = startMix;
  for (int c = 0; c < 2; ++c) {
    const double* dry = dry_[c].data();
    mix = startMix;
    for (int32_t j = 0; j < frames; ++j) {
      mix = std::min(1.0, std::max(0.0, mix + stepPerSample));
      // out = wet + (dry - wet) * mix, and exactly dry once mix reaches 1
      if (wide) {
        double& sample = out.channel_buffers_64[c][offset + j];
        sample = mix >= 1.0 ? dry[j] : sample + (dry[j] - sample) * mix;
      } else {
        float& sample = out.channel_buffers_32[c][offset + j];
        const double wet = sample;
        sample = static_cast<float>(mix >= 1.0 ? dry[j] : wet + (dry[j] - wet) * mix);
      }
    }
  }
  bypassMix_ = mix;
}

void GateVst3::DeliverNotes(const BlockNote* notes, int count, int32_t start, int32_t end) {
  for (int i = 0; i < count; ++i) {
    if (notes[i].offset < start || notes[i].offset >= end) continue;
    MidiMessage message = notes[i].message;
    message.offset = notes[i].offset - start;
    instance_->QueueMidi(message);
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
  for (int i = 0; i < kVisibleParams; ++i) {
    const double now = instance_->ParamNormalized(i);
    if (now == reported_[i]) continue;
    if (!changes) {
      reported_[i] = now;
      continue;
    }
    v3_param_id id = static_cast<v3_param_id>(i);
    int32_t queueIndex = 0;
    v3_param_value_queue** queue = v3_cpp_obj(changes)->add_param_data(changes, &id, &queueIndex);
    int32_t pointIndex = 0;
    if (queue && v3_cpp_obj(queue)->add_point(queue, offset, now, &pointIndex) == kResultOk) {
      reported_[i] = now;
    }
  }
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
  BlockNote notes[NoteQueue::kCapacity];
  const int noteCount = ReadNoteOns(data->input_events, frames, notes, NoteQueue::kCapacity);
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
      DeliverNotes(notes, noteCount, position, sliceEnd);
      const uint32_t switchesBefore = instance_->NoteProgramSwitches();
      RenderSlice(data, position, sliceEnd - position);
      if (instance_->NoteProgramSwitches() != switchesBefore) ReportProgram(data, position);
      ReportChangedParams(data, position);
    }
    position = sliceEnd;
  } while (position < frames);
  if (frames == 0) {
    // Nothing renders, yet the notes count: they act at the next sample.
    DeliverNotes(notes, noteCount, 0, 1);
    instance_->ProcessNothing();
    ReportChangedParams(data, 0);
    // Nothing to gate, yet the host reads the outputs: they hold silence.
    if (data->nframes > 0) SilenceOutputs(data);
  }

  timeInfoValid_ = false;
  return kResultOk;
}
