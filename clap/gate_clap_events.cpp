// What GateClap reads from a block besides parameter values: note-ons, as
// CLAP notes or MIDI bytes, and the transport. [audio thread, lock held]
#include <cmath>

#include "clap/gate_clap.h"
#include "instance/block_notes.h"

namespace {

bool CoreEvent(const clap_event_header_t* event, uint16_t type, uint32_t size) {
  return event && event->space_id == CLAP_CORE_EVENT_SPACE_ID && event->type == type &&
         event->size >= size;
}

// A position in samples, or 0 when it would not fit.
int64_t SamplesOf(double samples) {
  return std::fabs(samples) < 9.0e18 ? std::llround(samples) : 0;
}

}  // namespace

void GateClap::ReadNoteOns(const clap_input_events_t* in, int32_t frames, BlockNotes* notes) const {
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < count && !notes->Full(); ++i) {
    const clap_event_header_t* event = in->get(in, i);
    if (!event) continue;
    // Past the block (or the int range) is past the block: the last sample.
    const int32_t offset = event->time > kMaxBlockFrames ? static_cast<int32_t>(kMaxBlockFrames)
                                                         : static_cast<int32_t>(event->time);
    if (CoreEvent(event, CLAP_EVENT_NOTE_ON, sizeof(clap_event_note_t))) {
      const auto* note = reinterpret_cast<const clap_event_note_t*>(event);
      if (note->port_index != 0 && note->port_index != -1) continue;
      const int32_t channel = note->channel < 0 ? 0 : note->channel;
      notes->Add(offset, frames, channel, note->key, static_cast<float>(note->velocity));
    } else if (CoreEvent(event, CLAP_EVENT_MIDI, sizeof(clap_event_midi_t))) {
      const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
      if (midi->port_index != 0 || (midi->data[0] & 0xF0) != 0x90) continue;
      notes->Add(offset, frames, midi->data[0] & 0x0F, midi->data[1] & 0x7F,
                 static_cast<float>(midi->data[2] & 0x7F) / 127.0f);
    }
  }
}

void GateClap::ReadTransport(const clap_event_transport_t* transport) {
  transportValid_ = transport != nullptr;
  transport_ = {};
  if (!transport) return;
  const uint32_t flags = transport->flags;
  const bool tempoValid = (flags & CLAP_TRANSPORT_HAS_TEMPO) && transport->tempo > 0.0;
  // The seconds timeline gives samples at this rate directly; the beat
  // timeline needs the tempo.
  if (flags & CLAP_TRANSPORT_HAS_SECONDS_TIMELINE) {
    const double seconds = static_cast<double>(transport->song_pos_seconds) / CLAP_SECTIME_FACTOR;
    transport_.blockPosition = SamplesOf(seconds * sampleRate_);
  } else if ((flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) && tempoValid) {
    const double beats = static_cast<double>(transport->song_pos_beats) / CLAP_BEATTIME_FACTOR;
    transport_.blockPosition = SamplesOf(beats * 60.0 / transport->tempo * sampleRate_);
  }
  transport_.playing = (flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
  transport_.recording = (flags & CLAP_TRANSPORT_IS_RECORDING) != 0;
  transport_.tempoValid = (flags & CLAP_TRANSPORT_HAS_TEMPO) != 0;
  transport_.tempo = transport->tempo;
  transport_.signatureValid = (flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE) != 0;
  transport_.numerator = transport->tsig_num;
  transport_.denominator = transport->tsig_denom;
}
