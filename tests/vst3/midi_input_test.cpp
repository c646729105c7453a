// MIDI input at the VST 3 boundary: the one event input bus, and note-ons
// reaching the engine at their sample. With "Restart" on "MIDI note" and
// "MIDI Switch" on "Immediate" the last note taken sets originClock to its
// sample and each note from 36 to 85 switches the program.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
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

// One block of `frames` with the notes and a Mix point at each of `points`;
// returns the switches and the last origin's offset from the block's start
// (-1: none) once a following empty block has taken what a zero-frame one left.
std::pair<uint32_t, int64_t> RunBlock(GatePlugin& p, StereoBlock& block, int32_t frames,
                                      const std::vector<HostNote>& notes,
                                      const std::vector<int32_t>& points) {
  EventList events;
  for (const HostNote& n : notes) {
    v3_event event = {};
    event.bus_index = n.bus;
    event.sample_offset = n.offset;
    event.type = n.type;
    event.note_on.pitch = n.pitch;  // the same place in a note-off
    event.note_on.velocity = n.velocity;
    events.Add(event);
  }
  ParamChangeList changes;
  for (size_t i = 0; i < points.size(); ++i)
    changes.QueueFor(kMix)->Add(points[i], i % 2 ? 0.25 : 0.75);
  VSTCLASS* plug = p.Plug();
  auto mark = [plug] {
    ScopedLock lock(plug->InstanceLock());
    return std::make_tuple(plug->sampleClock, plug->originClock, plug->midiProgramSwitches);
  };
  const auto [clock, origin, switches] = mark();
  block.frames = frames;
  block.Process(p, &changes, nullptr, true, &events);
  block.frames = kBlock;
  block.Process(p, nullptr, nullptr);
  const auto [clockAfter, originAfter, switchesAfter] = mark();
  return {switchesAfter - switches, originAfter == origin ? -1 : originAfter - clock};
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
    uint32_t switches;
    int64_t last;
  };
  std::vector<HostNote> crowd;  // more than the queue holds
  for (int i = 0; i < 300; ++i) crowd.push_back({i * 255 / 299, static_cast<int16_t>(36 + i % 50)});
  const Case cases[] = {
      {"past the end: the last sample", kBlock, {{256, 60}}, {}, 1, 255},
      {"before the start: the first; none outside 36-85",
       kBlock,
       {{-500, 61}, {-9, 35}, {-8, 86}},
       {},
       1,
       0},
      {"velocity 0, a note-off, another bus",
       kBlock,
       {{10, 60, 0.0f}, {20, 61, 0.5f, V3_EVENT_NOTE_OFF}, {30, 62, 0.5f, V3_EVENT_NOTE_ON, 1}},
       {},
       0,
       -1},
      {"on a point; the faintest note-on; a note outside the programs restarts",
       kBlock,
       {{100, 60}, {110, 63, 0.001f}, {120, 35}},
       {100, 150},
       2,
       120},
      {"out of order across slices", kBlock, {{200, 60}, {10, 61}, {99, 62}}, {50, 100}, 3, 200},
      {"no frames: the next sample", 0, {{3, 60}, {-2, 61}, {50, 62}}, {}, 3, 0},
      {"more than the queue holds", kBlock, crowd, {64}, 256, 255 * 255 / 299},
  };
  HostContext host;
  GatePlugin p = GatePlugin::Create();
  p.Start(host, V3_SAMPLE_32, kBlock, kSampleRate);
  p.SetParam(kRestartMode, 1.0);
  p.SetParam(kMidiSwitch, 1.0 / 3.0);
  StereoBlock block(V3_SAMPLE_32, 0.5, kBlock, kSampleRate);
  RunBlock(p, block, kBlock, {{0, 20}}, {});  // the grid starts at a note
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunBlock(p, block, c.frames, c.notes, c.points), std::make_pair(c.switches, c.last));
  }
  // Switching programs kept the restart and switch modes.
  EXPECT_EQ(p.Param(kRestartMode), 1.0);
  EXPECT_EQ(p.Param(kMidiSwitch), 1.0 / 3.0);
  p.Stop();
  p.Release();
}

TEST(MidiInput, AProgramANoteSelectsIsReportedOnceWhereItsSliceStarts) {
  struct Case {
    double switchMode;
    std::vector<int16_t> pitches;  // at 100, 110, ...
    int32_t reportedAt;            // -1: no report
    int program;
  };
  const Case cases[] = {
      {1.0 / 3.0, {85}, 64, 49}, {1.0 / 3.0, {37, 36}, 64, 0}, {0.0, {37}, -1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    HostContext host;
    GatePlugin p = GatePlugin::Create();
    p.Start(host, V3_SAMPLE_32, kBlock, kSampleRate);
    p.SetParam(kMidiSwitch, c.switchMode);
    StereoBlock block(V3_SAMPLE_32, 0.5, kBlock, kSampleRate);
    block.Process(p, nullptr, nullptr);
    EventList events;
    for (size_t i = 0; i < c.pitches.size(); ++i)
      events.AddNoteOn(100 + 10 * static_cast<int32_t>(i), c.pitches[i], 0.8f);
    ParamChangeList split, output, quiet;
    split.QueueFor(kMix)->Add(64, 1.0);
    block.Process(p, &split, &output, true, &events);
    block.Process(p, nullptr, &quiet);
    std::vector<ParamQueue::Point> reported;
    for (ParamChangeList* list : {&output, &quiet}) {
      for (const auto& queue : list->Queues()) {
        if (queue->Id() != GateVst3::kProgramParamId) continue;
        reported.insert(reported.end(), queue->Points().begin(), queue->Points().end());
      }
    }
    ASSERT_EQ(reported.size(), c.reportedAt < 0 ? 0u : 1u);
    for (const ParamQueue::Point& point : reported) {
      EXPECT_EQ(point.offset, c.reportedAt);
      EXPECT_EQ(point.value, c.program / 49.0);
    }
    EXPECT_EQ(p.Param(GateVst3::kProgramParamId), c.program / 49.0);
    p.Stop();
    p.Release();
  }
}
