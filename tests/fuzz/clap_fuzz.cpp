// libFuzzer target for the CLAP plug-in: a state of arbitrary bytes, then
// process calls (and now and then a params flush) whose input event lists
// hold parameter values of any id, time and value (NaN, infinities, times
// past the block, out of order), note-ons of either dialect on any port,
// MIDI bytes, events of other types and of short sizes, with or without a
// transport of arbitrary flags and positions, in 32- or 64-bit samples and
// blocks past the activated maximum. The plug-in must stay sane: a load
// that succeeds or fails as the target's own decoding says (JudgeChunk)
// and changes nothing when foreign, finite audio, output events in time
// order inside the block with finite values, every value inside its range
// afterwards, texts of any value or any text answered within bounds, and a
// whole state of ours.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_host.h"
#include "fuzz_input.h"
#include "tests/clap/clap_test_host.h"

namespace {

constexpr uint32_t kMaxBlock = 512;
constexpr uint32_t kMaxEvents = 64;
constexpr size_t kEventRoom = 64;  // bytes kept behind every event, whatever its size says

// One raw event in room enough for any event type it claims to be.
void AddEvent(FuzzInput& in, InputEvents& events) {
  uint64_t room[kEventRoom / 8] = {};
  auto* bytes = reinterpret_cast<uint8_t*>(room);
  clap_event_header_t header = {};
  header.time = in.Choose(4) == 0 ? in.Raw<uint32_t>() : in.Byte() * 4u;
  header.space_id = in.Choose(8) == 0 ? in.Raw<uint16_t>() : CLAP_CORE_EVENT_SPACE_ID;
  switch (in.Choose(5)) {
    case 0: {
      clap_event_note_t note = {};
      note.port_index = static_cast<int16_t>(in.Choose(3) - 1);
      note.channel = static_cast<int16_t>(in.Choose(18) - 1);
      note.key = in.Choose(4) == 0 ? in.Raw<int16_t>() : static_cast<int16_t>(in.Byte() & 0x7F);
      note.velocity = in.Choose(4) == 0 ? in.Raw<double>() : in.Byte() / 255.0;
      header.type = CLAP_EVENT_NOTE_ON;
      header.size = sizeof note;
      std::memcpy(bytes, &note, sizeof note);
      break;
    }
    case 1: {
      clap_event_midi_t midi = {};
      midi.port_index = static_cast<uint16_t>(in.Choose(2));
      for (uint8_t& b : midi.data) b = in.Byte();
      header.type = CLAP_EVENT_MIDI;
      header.size = sizeof midi;
      std::memcpy(bytes, &midi, sizeof midi);
      break;
    }
    case 2:  // anything else, of any claimed size
      in.Take(bytes, kEventRoom);
      header.type = in.Raw<uint16_t>();
      header.size = in.Raw<uint32_t>();
      break;
    default: {
      clap_event_param_value_t value = {};
      const uint32_t pick = in.Choose(4);
      value.param_id = pick == 0   ? GateClap::kProgramParamId
                       : pick == 1 ? GateClap::kBypassParamId
                       : pick == 2 ? in.Raw<uint32_t>()
                                   : in.Choose(GateClap::kVisibleParams + 3);
      value.value = in.Choose(2) == 0 ? in.Raw<double>() : in.Raw<int16_t>() / 100.0;
      header.type = CLAP_EVENT_PARAM_VALUE;
      header.size = sizeof value;
      std::memcpy(bytes, &value, sizeof value);
      break;
    }
  }
  if (in.Choose(16) == 0) header.size = in.Byte();  // a short or odd claimed size
  std::memcpy(bytes, &header, sizeof header);
  events.Raw(room, kEventRoom);
}

void CheckOutputs(const OutputEvents& out, uint32_t frames) {
  uint32_t last = 0;
  for (const OutputEvent& e : out.events) {
    FUZZ_CHECK(e.time >= last, "output events out of time order");
    FUZZ_CHECK(e.time < frames || e.time == 0, "an output event past the block");
    last = e.time;
    if (e.type != CLAP_EVENT_PARAM_VALUE) continue;
    FUZZ_CHECK(std::isfinite(e.value), "an output value is not finite");
  }
}

void CheckValues(ClapPlugin& p) {
  const uint32_t count = p.Params()->count(p.plugin);
  for (uint32_t i = 0; i < count; ++i) {
    clap_param_info_t info = {};
    FUZZ_CHECK(p.Params()->get_info(p.plugin, i, &info), "a parameter without info");
    double value = 0.0;
    FUZZ_CHECK(p.Params()->get_value(p.plugin, info.id, &value), "a parameter without value");
    FUZZ_CHECK(value >= info.min_value && value <= info.max_value, "a value left its range");
  }
}

void RunBlocks(FuzzInput& in, ClapPlugin& p, bool wide) {
  ClapBlock block(wide, 2 * kMaxBlock, 0.5);
  for (int round = 0; round < 3 && !in.Empty(); ++round) {
    InputEvents events;
    const uint32_t count = in.Choose(kMaxEvents);
    for (uint32_t i = 0; i < count; ++i) AddEvent(in, events);
    OutputEvents out;
    if (in.Choose(6) == 0) {
      p.Params()->flush(p.plugin, events.List(), out.List());
      CheckOutputs(out, 1);
      continue;
    }
    clap_event_transport_t transport = {};
    transport.header = {sizeof transport, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
    transport.flags = in.Raw<uint8_t>();
    transport.tempo = in.Choose(4) == 0 ? in.Raw<double>() : 30.0 + in.Byte();
    transport.song_pos_beats = in.Raw<int64_t>() >> in.Choose(64);
    transport.song_pos_seconds = in.Raw<int64_t>() >> in.Choose(64);
    transport.tsig_num = in.Raw<uint16_t>();
    transport.tsig_denom = in.Raw<uint16_t>();
    const uint32_t frames = in.Choose(4) == 0 ? 2 * kMaxBlock : in.Byte() * 2u;
    block.process.frames_count = frames;
    const bool withTransport = in.Choose(8) != 0;
    block.Run(p, events.List(), out.List(), withTransport ? &transport : nullptr);
    for (int c = 0; c < 2; ++c) {
      for (uint32_t i = 0; i < frames; ++i) {
        FUZZ_CHECK(std::isfinite(block.Out(c, i)), "the output is not finite");
      }
    }
    CheckOutputs(out, frames);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const bool wide = in.Choose(2) == 1;
  std::vector<uint8_t> state(in.Choose(256));
  in.Take(state.data(), state.size());

  TestHost host;
  ClapPlugin p(host);
  FUZZ_CHECK(p.plugin != nullptr, "no plug-in");
  const std::vector<uint8_t> before = p.Save();
  ByteStreams streams(state, 1 + in.Choose(16));
  const bool loaded = p.State()->load(p.plugin, &streams.in);
  const ChunkVerdict verdict = JudgeChunk(state.data(), state.size());
  FUZZ_CHECK(loaded == verdict.succeeds, "load reports the wrong result");
  if (verdict.foreign) FUZZ_CHECK(p.Save() == before, "a foreign state changed the plug-in");

  p.Start(44100.0, kMaxBlock);
  RunBlocks(in, p, wide);
  CheckValues(p);
  // Texts of any value, and any text, for every parameter.
  const uint32_t count = p.Params()->count(p.plugin);
  for (uint32_t i = 0; i < count && !in.Empty(); ++i) {
    clap_param_info_t info = {};
    p.Params()->get_info(p.plugin, i, &info);
    char text[64] = {};
    const uint32_t room = in.Choose(sizeof text);
    if (p.Params()->value_to_text(p.plugin, info.id, in.Raw<double>(), text, room)) {
      FUZZ_CHECK(room > 0 && std::memchr(text, 0, room) != nullptr, "a text without its end");
    }
    char typed[16] = {};
    in.Take(typed, in.Choose(sizeof typed));
    double value = 0.0;
    if (p.Params()->text_to_value(p.plugin, info.id, typed, &value)) {
      FUZZ_CHECK(value >= info.min_value && value <= info.max_value,
                 "a typed value left its range");
    }
  }
  const std::vector<uint8_t> saved = p.Save();
  FUZZ_CHECK(saved.size() == static_cast<size_t>(kChunkBytes),
             "the state is not a whole chunk and extension");
  FUZZ_CHECK(JudgeChunk(saved.data(), saved.size()).succeeds,
             "the saved state is not a whole one of ours");
  p.plugin->stop_processing(p.plugin);
  p.plugin->deactivate(p.plugin);
  return 0;
}
