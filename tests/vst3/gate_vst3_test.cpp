// The VST 3 object as a host sees it: reference counts that return to zero
// after every host sequence, stereo-only buses, component states that load
// or report failure like the VST 2 chunk, a bypass that crossfades without a
// click and settles on the exact dry signal, and pattern words the engine
// packs reported back through the output parameter changes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/gate_params.h"
#include "engine/gate_plug.h"
#include "framework/recursive_lock.h"
#include "gate_plugin.h"

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

TEST(GateVst3, ShortStatesKeepWhatTheyCannotSupplyAndReportFailure) {
  struct Case {
    size_t bytes;
    bool loads;
    int firstKept;  // parameters from here on keep their values
  };
  // int32 version, then 17 doubles: 60 bytes carry the first seven.
  const Case cases[] = {{140, true, 17}, {60, false, 7}, {3, false, 0}, {0, false, 0}};
  HostContext host;
  GatePlugin source = GatePlugin::Create();
  source.Start(host, V3_SAMPLE_32, kBlock, kRate);
  for (int id = 0; id < GateVst3::kVisibleParams; ++id) source.SetParam(id, 0.0);
  MemoryStream saved;
  ASSERT_EQ(v3_cpp_obj(source.component)->get_state(source.component, saved.Stream()), kResultOk);
  ASSERT_EQ(saved.Bytes().size(), 140u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    GatePlugin p = GatePlugin::Create();
    p.Start(host, V3_SAMPLE_32, kBlock, kRate);
    for (int id = 0; id < GateVst3::kVisibleParams; ++id) p.SetParam(id, 1.0);
    std::vector<char> bytes(saved.Bytes().begin(), saved.Bytes().begin() + c.bytes);
    MemoryStream stream(bytes);
    EXPECT_EQ(v3_cpp_obj(p.component)->set_state(p.component, stream.Stream()) == kResultOk,
              c.loads);
    for (int id = 0; id < GateVst3::kVisibleParams; ++id) {
      EXPECT_EQ(p.Param(id), id < c.firstKept ? source.Param(id) : 1.0) << id;
    }
    p.Stop();
    p.Release();
  }
  source.Stop();
  source.Release();
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

    std::vector<double> left;
    for (int turn = 0; turn < 2; ++turn) {
      ParamChangeList changes;
      changes.QueueFor(GateVst3::kBypassParamId)->Add(10, turn == 0 ? 1.0 : 0.0);
      for (int i = 0; i < 4; ++i) {
        block.Process(p, i == 0 ? &changes : nullptr, nullptr);
        for (int j = 0; j < kBlock; ++j) left.push_back(block.Out(0, j));
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
    // No click: each step is at most the fade's share of the jump.
    double largestStep = 0.0;
    for (size_t i = 1; i < left.size(); ++i) {
      largestStep = std::max(largestStep, std::fabs(left[i] - left[i - 1]));
    }
    EXPECT_LE(largestStep, level / fadeSamples * 1.001 + 1e-6);
    EXPECT_GT(largestStep, 0.0);
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
    VSTCLASS* plug = p.Object()->Plug();
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

}  // namespace
