// The VST 3 object as a host sees it: reference counts that return to zero
// after every host sequence, stereo-only buses, component states that load
// or report failure like the VST 2 chunk, a bypass that crossfades without a
// click and settles on the exact dry signal, and pattern words the engine
// packs reported back through the output parameter changes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "engine/gate_params.h"
#include "engine/gate_plug.h"
#include "framework/recursive_lock.h"
#include "gate_plugin.h"
#include "tools/host/host_services.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 256;

// One block of this file's size and rate.
struct Block : StereoBlock {
  Block(int32_t size, double level) : StereoBlock(size, level, kBlock, kRate) {}
};

void ExpectAllReleased(const HostContext& host) {
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
  EXPECT_EQ(PluginFactoryReferences(), 0u);
  EXPECT_EQ(host.References(), 0u);
}

TEST(GateVst3, ReferenceCountsReturnToZeroAfterEveryHostSequence) {
  enum Step { kInitialise = 1, kProcess = 2, kView = 4, kUnknownQuery = 8, kStateRoundTrip = 16 };
  const int sequences[] = {0,
                           kInitialise,
                           kInitialise | kProcess,
                           kInitialise | kProcess | kView | kStateRoundTrip,
                           kUnknownQuery,
                           kInitialise | kUnknownQuery | kStateRoundTrip};
  for (int sequence : sequences) {
    SCOPED_TRACE(sequence);
    HostContext host;
    {
      GatePlugin p = GatePlugin::Create();
      ASSERT_NE(p.component, nullptr);
      if (sequence & kInitialise) p.Start(host, V3_SAMPLE_32, kBlock, kRate);
      if (sequence & kProcess) {
        Block block(V3_SAMPLE_32, 0.5);
        ParamChangeList in, out;
        in.QueueFor(kMix)->Add(100, 0.25);
        for (int i = 0; i < 4; ++i) block.Process(p, &in, &out);
      }
      if (sequence & kView) {
        // The native build offers no view; Windows' view is checked in the host.
        v3_plugin_view** view = v3_cpp_obj(p.controller)->create_view(p.controller, "editor");
        if (view) v3_cpp_obj_unref(view);
      }
      if (sequence & kUnknownQuery) {
        v3_plugin_view** none = reinterpret_cast<v3_plugin_view**>(&p);
        EXPECT_EQ(v3_cpp_obj_query_interface(p.component, v3_plugin_view_iid, &none), kNoInterface);
        EXPECT_EQ(none, nullptr);
      }
      if (sequence & kStateRoundTrip) {
        MemoryStream saved;
        ASSERT_EQ(v3_cpp_obj(p.component)->get_state(p.component, saved.Stream()), kResultOk);
        MemoryStream again(saved.Bytes());
        EXPECT_EQ(v3_cpp_obj(p.component)->set_state(p.component, again.Stream()), kResultOk);
        EXPECT_EQ(saved.References(), 0u);
      }
      if (sequence & kInitialise) p.Stop();
      p.Release();
    }
    ExpectAllReleased(host);
  }
  // A class id or interface the factory does not make leaves nothing behind.
  auto** factory = static_cast<v3_plugin_factory**>(AcquirePluginFactory());
  void* object = &object;
  const v3_tuid otherClass = {1, 2, 3};
  EXPECT_NE(v3_cpp_obj(factory)->create_instance(factory, otherClass, v3_component_iid, &object),
            kResultOk);
  EXPECT_NE(
      v3_cpp_obj(factory)->create_instance(factory, kGateClassId, v3_plugin_view_iid, &object),
      kResultOk);
  EXPECT_EQ(object, nullptr);
  v3_cpp_obj_unref(factory);
  ExpectAllReleased(HostContext());
}

TEST(GateVst3, OnlyStereoInAndOutIsAccepted) {
  struct Case {
    std::vector<v3_speaker_arrangement> inputs, outputs;
    bool accepted;
  };
  const v3_speaker_arrangement stereo = V3_SPEAKER_L | V3_SPEAKER_R;
  const Case cases[] = {{{stereo}, {stereo}, true},
                        {{V3_SPEAKER_M}, {stereo}, false},
                        {{stereo}, {V3_SPEAKER_M}, false},
                        {{stereo | V3_SPEAKER_C | V3_SPEAKER_LFE}, {stereo}, false},
                        {{stereo, stereo}, {stereo}, false},
                        {{}, {stereo}, false}};
  GatePlugin p = GatePlugin::Create();
  for (const Case& c : cases) {
    std::vector<v3_speaker_arrangement> in = c.inputs, out = c.outputs;
    const v3_result result =
        v3_cpp_obj(p.processor)
            ->set_bus_arrangements(p.processor, in.data(), static_cast<int32_t>(in.size()),
                                   out.data(), static_cast<int32_t>(out.size()));
    EXPECT_EQ(result == kResultOk, c.accepted) << in.size() << " " << out.size();
  }
  p.Release();
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
}

// Little-endian int32 as the test writes it, independent of the plug-in's writer.
void PutInt32(std::vector<char>& bytes, size_t at, int32_t value) {
  if (bytes.size() < at + 4) bytes.resize(at + 4);
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<char>(static_cast<uint32_t>(value) >> 8 * i);
}

int32_t GetInt32(const std::vector<char>& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return static_cast<int32_t>(value);
}

TEST(GateVst3, StatesLoadWholeKeepWhatShortOnesCannotSupplyAndRefuseForeignOnes) {
  using Bytes = std::vector<char>;
  struct Case {
    const char* name;
    Bytes (*make)(const Bytes& saved);
    bool loads;
    int firstKept;      // parameters 0-16 from here on keep their values
    int rest;           // parameters 17-23: saved (1), defaults (0) or kept (-1)
    bool takesProgram;  // program and bypass from the extension
  };
  const Case cases[] = {
      {"whole", [](const Bytes& s) { return s; }, true, 17, 1, true},
      // An older VST 2 build's chunk: program and bypass stay, the groove defaults.
      {"bare chunk", [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 140); }, true, 17, 0,
       false},
      {"extension cut", [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 150); }, false, 17,
       -1, false},
      {"extension tag cut", [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 142); }, false,
       17, -1, false},
      // int32 version, then 17 doubles: 60 bytes carry the first seven.
      {"60 bytes", [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 60); }, false, 7, -1,
       false},
      {"3 bytes", [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 3); }, false, 0, -1,
       false},
      {"empty", [](const Bytes&) { return Bytes(); }, false, 0, -1, false},
      {"text", [](const Bytes&) { return Bytes(400, 'x'); }, false, 0, -1, false},
      {"a later version",
       [](const Bytes& s) {
         Bytes b = s;
         PutInt32(b, 0, 10001);
         return b;
       },
       false, 0, -1, false},
      {"version 0",
       [](const Bytes& s) {
         Bytes b = s;
         PutInt32(b, 0, 0);
         return b;
       },
       false, 0, -1, false},
      {"another tag",
       [](const Bytes& s) {
         Bytes b = s;
         b[141] = 'x';
         return b;
       },
       false, 0, -1, false},
      {"program out of range",
       [](const Bytes& s) {
         Bytes b = s;
         PutInt32(b, 152, 50);
         return b;
       },
       false, 0, -1, false},
      {"bytes past the extension",
       [](const Bytes& s) {
         Bytes b = s;
         b.push_back(0);
         return b;
       },
       false, 0, -1, false},
  };
  // Positions of the groove and control defaults: Swing 50 of 50-75, Chance 100 %, the rest 0.
  const double defaults[7] = {0, 1, 0, 0, 0, 0, 0};
  HostContext host;
  GatePlugin source = GatePlugin::Create();
  source.Start(host, V3_SAMPLE_32, kBlock, kRate);
  source.SetParam(GateVst3::kProgramParamId, 12.0 / 49.0);
  for (int id = 0; id < GateVst3::kVisibleParams; ++id) source.SetParam(id, 0.25);
  source.SetParam(GateVst3::kBypassParamId, 1.0);
  MemoryStream saved;
  ASSERT_EQ(v3_cpp_obj(source.component)->get_state(source.component, saved.Stream()), kResultOk);
  // The chunk, then the extension: tag, version 2, 12 + 7 * 8 payload bytes,
  // program, bypass, 7 values.
  ASSERT_EQ(saved.Bytes().size(), 220u);
  EXPECT_EQ(GetInt32(saved.Bytes(), 0), 10000);
  EXPECT_EQ(std::string(saved.Bytes().data() + 140, 4), "QRVX");
  const int32_t words[5] = {2, 68, 12, 1, 7};
  for (int w = 0; w < 5; ++w) EXPECT_EQ(GetInt32(saved.Bytes(), 144 + 4 * w), words[w]) << w;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GatePlugin p = GatePlugin::Create();
    p.Start(host, V3_SAMPLE_32, kBlock, kRate);
    p.SetParam(GateVst3::kProgramParamId, 3.0 / 49.0);
    for (int id = 0; id < GateVst3::kVisibleParams; ++id) p.SetParam(id, 0.75);
    double before[GateVst3::kVisibleParams];
    for (int id = 0; id < GateVst3::kVisibleParams; ++id) before[id] = p.Param(id);
    MemoryStream stream(c.make(saved.Bytes()));
    EXPECT_EQ(v3_cpp_obj(p.component)->set_state(p.component, stream.Stream()) == kResultOk,
              c.loads);
    for (int id = 0; id < GateVst3::kVisibleParams; ++id) {
      double expected = id < c.firstKept ? source.Param(id) : before[id];
      if (id >= 17 && c.rest == 0) expected = defaults[id - 17];
      if (id >= 17 && c.rest == 1) expected = source.Param(id);
      EXPECT_EQ(p.Param(id), expected) << id;
    }
    EXPECT_EQ(p.Param(GateVst3::kProgramParamId), (c.takesProgram ? 12.0 : 3.0) / 49.0);
    EXPECT_EQ(p.Param(GateVst3::kBypassParamId), c.takesProgram ? 1.0 : 0.0);
    p.Stop();
    p.Release();
  }
  // A host stream that takes only part of the state: the save failed.
  MemoryStream full;
  full.writeLimit = 100;
  EXPECT_NE(v3_cpp_obj(source.component)->get_state(source.component, full.Stream()), kResultOk);
  source.Stop();
  source.Release();
  ExpectAllReleased(host);
}

// What a host's validator does: bypass on, save, bypass off, load; the
// controller, which reads the component's state through setComponentState,
// shows bypass on again, and the program saved.
TEST(GateVst3, ComponentStateGivesTheControllerItsProgramAndBypass) {
  HostContext host;
  GatePlugin p = GatePlugin::Create();
  p.Start(host, V3_SAMPLE_32, kBlock, kRate);
  p.SetParam(GateVst3::kProgramParamId, 7.0 / 49.0);
  p.SetParam(GateVst3::kBypassParamId, 1.0);
  MemoryStream saved;
  ASSERT_EQ(v3_cpp_obj(p.component)->get_state(p.component, saved.Stream()), kResultOk);
  p.SetParam(GateVst3::kBypassParamId, 0.0);
  p.SetParam(GateVst3::kProgramParamId, 2.0 / 49.0);
  MemoryStream again(saved.Bytes());
  EXPECT_EQ(v3_cpp_obj(p.controller)->set_component_state(p.controller, again.Stream()), kResultOk);
  EXPECT_EQ(p.Param(GateVst3::kBypassParamId), 1.0);
  EXPECT_EQ(p.Param(GateVst3::kProgramParamId), 7.0 / 49.0);
  p.Stop();
  p.Release();
  ExpectAllReleased(host);
}

TEST(GateVst3, BypassCrossfadesWithoutAClickAndSettlesOnTheDrySignal) {
  const double level = 0.5;
  const double fadeSamples = std::round(kRate * GateVst3::kBypassFadeSeconds);
  for (int32_t size : {V3_SAMPLE_32, V3_SAMPLE_64}) {
    SCOPED_TRACE(size);
    HostContext host;
    GatePlugin p = GatePlugin::Create();
    p.Start(host, size, kBlock, kRate);
    // Every step closed at level 0, all wet: the effect's own output is silence.
    for (int word = kPatternWord0; word <= kPatternWord6; ++word) p.SetParam(word, 0.0);
    p.SetParam(kMix, 1.0);
    Block block(size, level);
    for (int i = 0; i < 40; ++i) block.Process(p, nullptr, nullptr);
    ASSERT_LT(std::fabs(block.Out(0, kBlock - 1)), 1e-6);

    std::vector<double> channels[2];
    for (int turn = 0; turn < 2; ++turn) {
      ParamChangeList changes;
      changes.QueueFor(GateVst3::kBypassParamId)->Add(10, turn == 0 ? 1.0 : 0.0);
      for (int i = 0; i < 4; ++i) {
        block.Process(p, i == 0 ? &changes : nullptr, nullptr);
        for (int c = 0; c < 2; ++c) {
          for (int j = 0; j < kBlock; ++j) channels[c].push_back(block.Out(c, j));
        }
      }
      // Settled: exactly the input while bypassed, the effect's silence after.
      for (int c = 0; c < 2; ++c) {
        const double expected = turn == 0 ? block.In(c, kBlock - 1) : 0.0;
        if (turn == 0) {
          EXPECT_EQ(block.Out(c, kBlock - 1), expected);
        } else {
          EXPECT_LT(std::fabs(block.Out(c, kBlock - 1)), 1e-6);
        }
      }
      EXPECT_EQ(p.Param(GateVst3::kBypassParamId), turn == 0 ? 1.0 : 0.0);
    }
    // No click on either channel: each step is at most the fade's share of the jump.
    for (const std::vector<double>& channel : channels) {
      double largestStep = 0.0;
      for (size_t i = 1; i < channel.size(); ++i) {
        largestStep = std::max(largestStep, std::fabs(channel[i] - channel[i - 1]));
      }
      EXPECT_LE(largestStep, level / fadeSamples * 1.001 + 1e-6);
      EXPECT_GT(largestStep, 0.0);
    }
    p.Stop();
    p.Release();
    ExpectAllReleased(host);
  }
}

TEST(GateVst3, PackedPatternWordsAreReportedThroughOutputChanges) {
  HostContext host;
  GatePlugin p = GatePlugin::Create();
  p.Start(host, V3_SAMPLE_32, kBlock, kRate);
  Block block(V3_SAMPLE_32, 0.5);
  block.Process(p, nullptr, nullptr);
  const double before = p.Param(kPatternWord0);
  {
    // What a step bar does: write the entry, then raise "step edited".
    VSTCLASS* plug = p.Plug();
    ScopedLock lock(plug->InstanceLock());
    plug->StepPattern[0] = 0;
    plug->ApplyEditorParamChange(kStepEdited, 1.0);
  }
  ParamChangeList output;
  block.Process(p, nullptr, &output);
  const double after = p.Param(kPatternWord0);
  EXPECT_NE(after, before);
  ASSERT_EQ(output.Queues().size(), 1u);
  EXPECT_EQ(output.Queues()[0]->Id(), static_cast<v3_param_id>(kPatternWord0));
  ASSERT_EQ(output.Queues()[0]->Points().size(), 1u);
  EXPECT_EQ(output.Queues()[0]->Points()[0].value, after);
  // The audio thread's own edits never reach the component handler.
  EXPECT_EQ(host.edits, 0);
  // Reported once: the next block has nothing new to say.
  ParamChangeList quiet;
  block.Process(p, nullptr, &quiet);
  EXPECT_TRUE(quiet.Queues().empty());
  p.Stop();
  p.Release();
  ExpectAllReleased(host);
}

// A pre-roll at negative project time is a stopped transport, as VST 2 hosts
// report it: the step clock aligns when the position reaches zero.
TEST(GateVst3, PreRollAtNegativeProjectTimeCountsAsStopped) {
  std::vector<double> renders[2];
  for (int preRollPlays = 0; preRollPlays < 2; ++preRollPlays) {
    HostContext host;
    GatePlugin p = GatePlugin::Create();
    p.Start(host, V3_SAMPLE_64, kBlock, kRate);
    Block block(V3_SAMPLE_64, 0.5);
    block.position = -3 * kBlock;
    for (int i = 0; i < 40; ++i) {
      block.Process(p, nullptr, nullptr, preRollPlays || block.position >= 0);
      for (int j = 0; j < kBlock; ++j) renders[preRollPlays].push_back(block.Out(0, j));
    }
    p.Stop();
    p.Release();
  }
  EXPECT_EQ(renders[0], renders[1]);
  ExpectAllReleased(HostContext());
}

// Silence from the effect (every step closed, all wet): the bypass shows
// where a queue point took effect.
GatePlugin SilentEffect(HostContext& host, int32_t size) {
  GatePlugin p = GatePlugin::Create();
  p.Start(host, size, kBlock, kRate);
  for (int word = kPatternWord0; word <= kPatternWord6; ++word) p.SetParam(word, 0.0);
  p.SetParam(kMix, 1.0);
  return p;
}

TEST(GateVst3, AQueuePointPastTheBlockAppliesAtItsLastSample) {
  for (int32_t offset : {kBlock, kBlock + 50, 30000}) {
    SCOPED_TRACE(offset);
    HostContext host;
    GatePlugin p = SilentEffect(host, V3_SAMPLE_32);
    Block block(V3_SAMPLE_32, 0.5);
    for (int i = 0; i < 40; ++i) block.Process(p, nullptr, nullptr);
    ParamChangeList changes;
    changes.QueueFor(GateVst3::kBypassParamId)->Add(offset, 1.0);
    block.Process(p, &changes, nullptr);
    for (int c = 0; c < 2; ++c) {
      for (int j = 0; j < kBlock - 1; ++j) ASSERT_LT(std::fabs(block.Out(c, j)), 1e-6) << j;
      // The fade's first step, on the last sample.
      EXPECT_GT(block.Out(c, kBlock - 1), 0.0);
    }
    EXPECT_EQ(p.Param(GateVst3::kBypassParamId), 1.0);
    p.Stop();
    p.Release();
  }
}

TEST(GateVst3, WithoutAnInputBusTheOutputsAreSilence) {
  struct Case {
    int32_t inputBuses;
    bool inputPointer;
  };
  for (int32_t size : {V3_SAMPLE_32, V3_SAMPLE_64}) {
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{0, true}}) {
      SCOPED_TRACE(testing::Message() << size << " " << c.inputBuses << " " << c.inputPointer);
      HostContext host;
      GatePlugin p = GatePlugin::Create();
      p.Start(host, size, kBlock, kRate);
      std::vector<float> out32[2] = {std::vector<float>(kBlock, 7.0f),
                                     std::vector<float>(kBlock, 7.0f)};
      std::vector<double> out64[2] = {std::vector<double>(kBlock, 7.0),
                                      std::vector<double>(kBlock, 7.0)};
      float* pointers32[2] = {out32[0].data(), out32[1].data()};
      double* pointers64[2] = {out64[0].data(), out64[1].data()};
      v3_audio_bus_buffers inBus = {}, outBus = {};
      inBus.num_channels = outBus.num_channels = 2;
      // One union: the 32- or the 64-bit pointers. The input bus is never
      // read (its count or pointer says there is none).
      if (size == V3_SAMPLE_64) {
        outBus.channel_buffers_64 = inBus.channel_buffers_64 = pointers64;
      } else {
        outBus.channel_buffers_32 = inBus.channel_buffers_32 = pointers32;
      }
      v3_process_data data = {};
      data.symbolic_sample_size = size;
      data.nframes = kBlock;
      data.num_input_buses = c.inputBuses;
      data.num_output_buses = 1;
      data.inputs = c.inputPointer ? &inBus : nullptr;
      data.outputs = &outBus;
      EXPECT_EQ(v3_cpp_obj(p.processor)->process(p.processor, &data), kResultOk);
      for (int ch = 0; ch < 2; ++ch) {
        for (int j = 0; j < kBlock; ++j) {
          ASSERT_EQ(size == V3_SAMPLE_64 ? out64[ch][j] : out32[ch][j], 0.0) << ch << " " << j;
        }
      }
      p.Stop();
      p.Release();
    }
  }
  ExpectAllReleased(HostContext());
}

std::vector<int16_t> Text16(const char* text) {
  std::vector<int16_t> wide;
  for (const char* c = text; *c; ++c) wide.push_back(static_cast<int16_t>(*c));
  wide.push_back(0);
  return wide;
}

// What a host learns of each parameter and what its typed text stands for.
TEST(GateVst3, StepCountsAndTypedTextFollowTheVst2Parameters) {
  GatePlugin p = GatePlugin::Create();
  struct StepCase {
    int32_t index;
    int32_t steps;
  };
  for (const StepCase& c : {StepCase{GateParam::kRate, 27}, StepCase{kCycle, 31},
                            StepCase{kTieLock, 1}, StepCase{GateVst3::kVisibleParams, 49}}) {
    v3_param_info info = {};
    ASSERT_EQ(v3_cpp_obj(p.controller)->get_parameter_info(p.controller, c.index, &info),
              kResultOk);
    EXPECT_EQ(info.step_count, c.steps) << c.index;
  }
  struct TextCase {
    v3_param_id id;
    const char* text;
    bool accepted;
    double plain;  // the value the answer stands for
  };
  const TextCase texts[] = {
      {kCycle, "2.7", true, 3},  // stepped as effString2Parameter stores it
      {kCycle, "5", true, 5},
      {kCycle, "abc", false, 0},
      {kCycle, "", false, 0},
      {GateParam::kRate, "x2", false, 0},
      {GateVst3::kBypassParamId, "On", true, 1},
      {GateVst3::kBypassParamId, "abc", false, 0},
  };
  for (const TextCase& c : texts) {
    SCOPED_TRACE(testing::Message() << c.id << " \"" << c.text << "\"");
    const double before = p.Param(c.id);
    double normalized = -1.0;
    std::vector<int16_t> text = Text16(c.text);
    const v3_result result =
        v3_cpp_obj(p.controller)
            ->get_parameter_value_for_string(p.controller, c.id, text.data(), &normalized);
    EXPECT_EQ(result == kResultOk, c.accepted);
    if (c.accepted) {
      EXPECT_EQ(
          v3_cpp_obj(p.controller)->normalised_parameter_to_plain(p.controller, c.id, normalized),
          c.plain);
    } else {
      EXPECT_EQ(result, kResultFalse);
      EXPECT_EQ(normalized, -1.0);
    }
    EXPECT_EQ(p.Param(c.id), before);
  }
  p.Release();
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
}

// Every program: plain number to position and back, and chosen through the
// process input queue with 32-bit samples; the values it changes are
// reported at the sample the choice took effect.
TEST(GateVst3, ProgramsRoundTripAndTheirChangesAreReportedWhereTheyApply) {
  HostContext host;
  GatePlugin p = GatePlugin::Create();
  p.Start(host, V3_SAMPLE_32, kBlock, kRate);
  v3_edit_controller** controller = p.controller;
  const v3_param_id id = GateVst3::kProgramParamId;
  Block block(V3_SAMPLE_32, 0.5);
  block.Process(p, nullptr, nullptr);
  int reports = 0;
  for (int program = 49; program >= 0; --program) {
    SCOPED_TRACE(program);
    const double position =
        v3_cpp_obj(controller)->plain_parameter_to_normalised(controller, id, program);
    EXPECT_EQ(v3_cpp_obj(controller)->normalised_parameter_to_plain(controller, id, position),
              program);
    ParamChangeList in, out;
    in.QueueFor(id)->Add(100, position);
    block.Process(p, &in, &out);
    EXPECT_EQ(p.Param(id), position);
    EXPECT_EQ(p.Plug()->CurrentPresetIndex(), program);
    for (const auto& queue : out.Queues()) {
      for (const ParamQueue::Point& point : queue->Points()) {
        EXPECT_EQ(point.offset, 100) << queue->Id();
        ++reports;
      }
    }
  }
  EXPECT_GT(reports, 100);
  p.Stop();
  p.Release();
  ExpectAllReleased(host);
}

// A program chosen through the controller: the host is told at once, with
// the new values already in place, from its own thread and without the
// instance lock held; values the host set itself are not echoed back.
TEST(GateVst3, TheHostHearsOfAProgramAtOnceAndNotOfItsOwnValues) {
  HostContext host;
  GatePlugin p = GatePlugin::Create();
  p.Start(host, V3_SAMPLE_32, kBlock, kRate);
  Block block(V3_SAMPLE_32, 0.5);
  block.Process(p, nullptr, nullptr);
  RecursiveLock& lock = p.Plug()->InstanceLock();
  const std::thread::id hostThread = std::this_thread::get_id();
  int lockedCalls = 0, otherThreadCalls = 0;
  double rateSeen = -1.0;
  host.duringHandlerCall = [&] {
    bool free = false;
    std::thread probe([&] {
      free = lock.TryEnter();
      if (free) lock.Leave();
    });
    probe.join();
    if (!free) ++lockedCalls;
    if (std::this_thread::get_id() != hostThread) ++otherThreadCalls;
    rateSeen = p.Param(GateParam::kRate);
  };
  p.SetParam(GateVst3::kProgramParamId, 12.0 / 49.0);
  EXPECT_EQ(host.restarts, 1);
  EXPECT_EQ(host.restartFlags, V3_RESTART_PARAM_VALUES_CHANGED);
  EXPECT_EQ(rateSeen, p.Param(GateParam::kRate));
  p.SetParam(kMix, 0.3);
  ParamChangeList quiet;
  block.Process(p, nullptr, &quiet);
  EXPECT_TRUE(quiet.Queues().empty()) << quiet.Queues().size() << " reported";
  // The same program again changes nothing and tells nothing.
  p.SetParam(GateVst3::kProgramParamId, 12.0 / 49.0);
  EXPECT_EQ(host.restarts, 1);

  // An editor gesture made inside the instance lock, as the editor's input
  // passes are: the handler hears it once the lock is released.
  VSTCLASS* plug = p.Plug();
  {
    ScopedLock held(lock);
    plug->BeginParamEdit(kGate);
    plug->ApplyEditorParamChange(kGate, 0.25);
    plug->ApplyEditorParamChange(kGate, 0.5);
    plug->EndParamEdit(kGate);
    EXPECT_EQ(host.edits, 0);
  }
  EXPECT_EQ(host.edits, 3);  // begin, one perform with the latest value, end
  EXPECT_EQ(lockedCalls, 0);
  EXPECT_EQ(otherThreadCalls, 0);
  host.duringHandlerCall = nullptr;
  p.Stop();
  p.Release();

  // Ardour waits in its restart handler for a lock it holds while it sets
  // the program (and reads every value again itself): it is not asked.
  const std::string ownName = Host().productString;
  Host().productString = "Ardour 7.3";
  GatePlugin ardour = GatePlugin::Create();
  ardour.Start(host, V3_SAMPLE_32, kBlock, kRate);
  Host().productString = ownName;
  const int restarts = host.restarts;
  ardour.SetParam(GateVst3::kProgramParamId, 5.0 / 49.0);
  EXPECT_EQ(ardour.Plug()->CurrentPresetIndex(), 5);
  EXPECT_EQ(host.restarts, restarts);
  ardour.Stop();
  ardour.Release();
  ExpectAllReleased(host);
}

}  // namespace
