// MIDI input at the VST 3 boundary: the object's one event input bus, and
// note-ons reaching the engine at the right sample: inside the block, past its end (its last
// sample), before it (its first), in a block of no frames (the next sample), across slices split by
// parameter points, past the queue's capacity, and never for a note-on of
// velocity 0 (tests/module/midi_notes.sh renders the same notes through
// both formats). The effect runs with "Restart" on "MIDI note" and "MIDI
// Switch" on "Immediate": the last note it takes sets the grid's origin (the
// engine's originClock) to its sample, and each note from 36 to 85 switches
// the program (midiProgramSwitches counts them). A program a note selected
// is reported to the VST 3 host on the Program parameter.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/gate_params.h"
#include "engine/gate_plug.h"
#include "framework/recursive_lock.h"
#include "gate_plugin.h"

namespace {

constexpr double kSampleRate = 44100.0;
constexpr int32_t kBlock = 256;

struct HostNote {
  int32_t offset;
  int16_t pitch;
  float velocity = 0.8f;
  uint16_t type = V3_EVENT_NOTE_ON;
  int32_t bus = 0;
};

// What the effect took from a block's notes: the program switches they made
// and the last one's sample from the block's start (-1: no note).
struct Taken {
  uint32_t switches;
  int64_t last;
  bool operator==(const Taken& o) const { return switches == o.switches && last == o.last; }
};

std::ostream& operator<<(std::ostream& out, const Taken& t) {
  return out << "{switches " << t.switches << ", last " << t.last << "}";
}

struct EngineMark {
  int64_t clock, origin;
  uint32_t switches;
};

EngineMark MarkOf(VSTCLASS* plug) {
  ScopedLock lock(plug->InstanceLock());
  return {plug->sampleClock, plug->originClock, plug->midiProgramSwitches};
}

Taken TakenSince(VSTCLASS* plug, const EngineMark& before) {
  const EngineMark after = MarkOf(plug);
  return {after.switches - before.switches,
          after.origin == before.origin ? -1 : after.origin - before.clock};
}

// One VST 3 block of `frames` with the notes and a Mix point at each of
// `points`; returns the mark before it.
EngineMark RunVst3(GatePlugin& p, StereoBlock& block, int32_t frames,
                   const std::vector<HostNote>& notes, const std::vector<int32_t>& points) {
  EventList events;
  for (const HostNote& n : notes) {
    v3_event event = {};
    event.bus_index = n.bus;
    event.sample_offset = n.offset;
    event.type = n.type;
    event.note_on.pitch = n.pitch;  // the same place in a note-off
    if (n.type == V3_EVENT_NOTE_OFF) event.note_off.velocity = n.velocity;
    if (n.type == V3_EVENT_NOTE_ON) event.note_on.velocity = n.velocity;
    events.Add(event);
  }
  ParamChangeList changes;
  for (size_t i = 0; i < points.size(); ++i)
    changes.QueueFor(kMix)->Add(points[i], i % 2 ? 0.25 : 0.75);
  const EngineMark before = MarkOf(p.Object()->Plug());
  const int32_t full = block.frames;
  block.frames = frames;
  block.Process(p, &changes, nullptr, true, &events);
  block.frames = full;
  return before;
}

// Restart on "MIDI note", MIDI Switch on "Immediate".
void TakeEveryNote(GatePlugin& p) {
  p.SetParam(kRestartMode, 1.0);
  p.SetParam(kMidiSwitch, 1.0 / 3.0);
}

}  // namespace

TEST(MidiInput, OneEventInputBusBesideTheStereoAudioBuses) {
  struct Case {
    int32_t media, direction, count, channels;
    const char* name;
  };
  const Case cases[] = {{V3_AUDIO, V3_INPUT, 1, 2, "Input"},
                        {V3_AUDIO, V3_OUTPUT, 1, 2, "Output"},
                        {V3_EVENT, V3_INPUT, 1, 1, "MIDI In"},
                        {V3_EVENT, V3_OUTPUT, 0, 0, ""},
                        {7, V3_INPUT, 0, 0, ""},
                        {V3_EVENT, 2, 0, 0, ""}};
  GatePlugin p = GatePlugin::Create();
  v3_component** k = p.component;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.media << " " << c.direction);
    EXPECT_EQ(v3_cpp_obj(k)->get_bus_count(k, c.media, c.direction), c.count);
    v3_bus_info info = {};
    EXPECT_EQ(v3_cpp_obj(k)->get_bus_info(k, c.media, c.direction, 0, &info) == kResultOk,
              c.count == 1);
    EXPECT_EQ(v3_cpp_obj(k)->activate_bus(k, c.media, c.direction, 0, true) == kResultOk,
              c.count == 1);
    EXPECT_NE(v3_cpp_obj(k)->activate_bus(k, c.media, c.direction, 1, true), kResultOk);
    if (c.count == 0) continue;
    std::string name;
    for (int i = 0; i < 128 && info.bus_name[i]; ++i) name += static_cast<char>(info.bus_name[i]);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(info.media_type, c.media);
    EXPECT_EQ(info.direction, c.direction);
    EXPECT_EQ(info.channel_count, c.channels);
    EXPECT_EQ(info.bus_type, V3_MAIN);
    EXPECT_EQ(info.flags, static_cast<uint32_t>(V3_DEFAULT_ACTIVE));
  }
  p.Release();
}

TEST(MidiInput, Vst3NoteOnsReachTheEngineAtTheirSample) {
  struct Case {
    const char* what;
    int32_t frames;
    std::vector<HostNote> notes;
    std::vector<int32_t> points;  // Mix points that split the block
    Taken taken;
  };
  std::vector<HostNote> crowd;  // more than the queue holds
  for (int i = 0; i < 300; ++i) crowd.push_back({i * 255 / 299, static_cast<int16_t>(36 + i % 50)});
  const Case cases[] = {
      {"inside", kBlock, {{5, 60}}, {}, {1, 5}},
      {"two inside", kBlock, {{200, 60}, {0, 61}}, {}, {2, 200}},
      {"the last sample", kBlock, {{255, 60}}, {}, {1, 255}},
      {"past the end", kBlock, {{256, 60}}, {}, {1, 255}},
      {"far past the end", kBlock, {{1000, 61}}, {}, {1, 255}},
      {"before the start", kBlock, {{-500, 61}}, {}, {1, 0}},
      {"velocity 0", kBlock, {{10, 60, 0.0f}}, {}, {0, -1}},
      {"note-off", kBlock, {{20, 61, 0.5f, V3_EVENT_NOTE_OFF}}, {}, {0, -1}},
      {"another bus", kBlock, {{30, 62, 0.5f, V3_EVENT_NOTE_ON, 1}}, {}, {0, -1}},
      {"the faintest note-on", kBlock, {{40, 63, 0.001f}}, {}, {1, 40}},
      {"a note outside the programs", kBlock, {{40, 20}}, {}, {0, 40}},
      {"just before a point", kBlock, {{99, 60}}, {100, 150}, {1, 99}},
      {"on a point", kBlock, {{100, 60}}, {100, 150}, {1, 100}},
      {"just after a point", kBlock, {{101, 60}}, {100, 150}, {1, 101}},
      {"out of order across slices", kBlock, {{200, 60}, {10, 61}, {100, 62}}, {50, 120}, {3, 200}},
      {"no frames: the next sample", 0, {{3, 60}, {-2, 61}, {50, 62}}, {}, {3, 0}},
      {"more than the queue holds", kBlock, crowd, {64}, {256, 255 * 255 / 299}},
  };
  HostContext host;
  GatePlugin p = GatePlugin::Create();
  p.Start(host, V3_SAMPLE_32, kBlock, kSampleRate);
  TakeEveryNote(p);
  StereoBlock block(V3_SAMPLE_32, 0.5, kBlock, kSampleRate);
  RunVst3(p, block, kBlock, {{0, 20}}, {});  // the grid starts at a note
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const EngineMark before = RunVst3(p, block, c.frames, c.notes, c.points);
    RunVst3(p, block, kBlock, {}, {});  // takes what a block of no frames left
    EXPECT_EQ(TakenSince(p.Object()->Plug(), before), c.taken);
  }
  // The switches kept the restart mode and the switch mode.
  EXPECT_EQ(p.Param(kRestartMode), 1.0);
  EXPECT_EQ(p.Param(kMidiSwitch), 1.0 / 3.0);
  p.Stop();
  p.Release();
}

TEST(MidiInput, AProgramANoteSelectsIsReportedWhereItsSliceStarts) {
  struct Case {
    const char* what;
    double switchMode;
    std::vector<HostNote> notes;
    int32_t reportedAt;  // -1: no report
    int program;
  };
  const Case cases[] = {
      {"in the second slice", 1.0 / 3.0, {{100, 37}}, 64, 1},
      {"the last program", 1.0 / 3.0, {{0, 85}}, 0, 49},
      {"there and back in one slice", 1.0 / 3.0, {{10, 37}, {20, 36}}, 0, 0},
      {"a note below the programs", 1.0 / 3.0, {{100, 35}}, -1, 0},
      {"switching off", 0.0, {{100, 37}}, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostContext host;
    GatePlugin p = GatePlugin::Create();
    p.Start(host, V3_SAMPLE_32, kBlock, kSampleRate);
    p.SetParam(kMidiSwitch, c.switchMode);
    StereoBlock block(V3_SAMPLE_32, 0.5, kBlock, kSampleRate);
    block.Process(p, nullptr, nullptr);
    EventList events;
    for (const HostNote& n : c.notes) events.AddNoteOn(n.offset, n.pitch, n.velocity);
    ParamChangeList split, output, quiet;
    split.QueueFor(kMix)->Add(64, 1.0);
    block.Process(p, &split, &output, true, &events);
    block.Process(p, nullptr, &quiet);  // reported once
    std::vector<ParamQueue::Point> reported;
    for (ParamChangeList* list : {&output, &quiet}) {
      for (const auto& queue : list->Queues()) {
        if (queue->Id() != GateVst3::kProgramParamId) continue;
        reported.insert(reported.end(), queue->Points().begin(), queue->Points().end());
      }
    }
    EXPECT_EQ(reported.size(), c.reportedAt < 0 ? 0u : 1u);
    for (const ParamQueue::Point& point : reported) {
      EXPECT_EQ(point.offset, c.reportedAt);
      EXPECT_EQ(point.value, c.program / 49.0);
    }
    EXPECT_EQ(p.Param(GateVst3::kProgramParamId), c.program / 49.0);
    EXPECT_EQ(p.Param(kMidiSwitch), c.switchMode);
    p.Stop();
    p.Release();
  }
}
