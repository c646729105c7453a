// The CLAP plug-in's process call against the instance driven straight:
// seeded random parameter values and note-ons (QUORVEL_SEED replays
// another seed; the seed is printed), at offset 0, inside the block, in
// the same sample, and past its end, must render sample for sample what an
// instance renders when the test itself cuts the block at each value's
// sample (a value past the end at the last sample) and hands it each
// slice's notes. Then the edges: a block with no frames, a block with no
// usable audio, and what reaches the host as output events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "clap_test_host.h"
#include "engine/gate_params.h"

namespace {

constexpr double kRate = 48000.0;

struct Change {
  uint32_t time;  // as the host sends it, maybe past the block
  bool note;
  clap_id id;
  double value;  // plain value, or the note's velocity
  int16_t key;
};

// The block cut by the test: values applied in the order sent at the
// sample they name (the last one when past the end), the notes of each
// slice queued from its start, then the slice rendered.
void RenderStraight(EffectInstance& instance, const std::vector<Change>& changes,
                    ClapBlock& expected) {
  const auto frames = static_cast<int32_t>(expected.frames);
  auto due = [&](const Change& c) {
    return std::min<int32_t>(static_cast<int32_t>(c.time), frames - 1);
  };
  int32_t position = 0;
  std::vector<bool> applied(changes.size(), false);
  while (position < frames) {
    for (size_t i = 0; i < changes.size(); ++i) {
      const Change& c = changes[i];
      if (c.note || applied[i] || due(c) > position) continue;
      // Sent in time order, so nothing later is due before an earlier one.
      applied[i] = true;
      const int32_t index = static_cast<int32_t>(c.id);
      instance.SetParamNormalized(index, instance.ParamNormalizedOfPlain(index, c.value));
    }
    int32_t end = frames;
    for (size_t i = 0; i < changes.size(); ++i) {
      if (!changes[i].note && !applied[i]) end = std::min(end, due(changes[i]));
    }
    for (const Change& c : changes) {
      const int32_t at = due(c);
      if (!c.note || at < position || at >= end) continue;
      const long velocity = std::lround(std::min(static_cast<float>(c.value), 1.0f) * 127.0f);
      instance.QueueMidi({at - position, 0x90, static_cast<uint8_t>(c.key),
                          static_cast<uint8_t>(std::max(1L, velocity))});
    }
    expected.RenderStraight(instance, position, end - position);
    position = end;
  }
}

// Random values in each parameter's own range (stepped ones on a step),
// sent in time order with some at 0, some sharing a sample and some past
// the end; note-ons between them.
std::vector<Change> RandomChanges(std::mt19937& random, ClapPlugin& p, uint32_t frames) {
  std::vector<Change> changes;
  // Often the modes where note-ons restart the pattern or switch programs.
  if (random() % 2) changes.push_back({0, false, kRestartMode, 2.0, 0});
  if (random() % 2) changes.push_back({0, false, kMidiSwitch, 1.0 + random() % 3, 0});
  const int count = 1 + static_cast<int>(random() % 12);
  for (int i = 0; i < count; ++i) {
    Change c = {};
    const uint32_t when = random() % 4;  // at 0, past the end, or inside
    c.time = when == 0 ? 0 : when == 1 ? frames + random() % 3000 : random() % frames;
    if (random() % 3 == 0) {
      c.note = true;
      // Half of them on the notes that select programs.
      c.key =
          static_cast<int16_t>(random() % 2 ? kFirstSwitchNote + random() % 50 : random() % 128);
      c.value = (1 + random() % 127) / 127.0;
    } else {
      const clap_param_info_t info = p.Info(random() % GateClap::kVisibleParams);
      std::uniform_real_distribution<double> position(0.0, 1.0);
      double value = info.min_value + (info.max_value - info.min_value) * position(random);
      if (info.flags & CLAP_PARAM_IS_STEPPED) value = std::round(value);
      c.id = info.id;
      c.value = value;
    }
    changes.push_back(c);
  }
  std::stable_sort(changes.begin(), changes.end(),
                   [](const Change& a, const Change& b) { return a.time < b.time; });
  return changes;
}

TEST(ClapProcess, TimedValuesAndNotesRenderAsTheInstanceCutAtTheirSamples) {
  std::mt19937 random(TestSeed(0xC1A9u));
  for (int round = 0; round < 24; ++round) {
    const bool wide = round % 2 == 1;
    const uint32_t frames = 1 + random() % 700;
    SCOPED_TRACE(testing::Message()
                 << "round " << round << " frames " << frames << " wide " << wide);
    TestHost host;
    ClapPlugin p(host);
    ASSERT_NE(p.plugin, nullptr);
    p.Start(kRate, 1024);
    FixedTimeHost silent;
    const auto straight = StartedInstance(silent, kRate, 1024);

    ClapBlock block(wide, frames);
    ClapBlock expected(wide, frames);
    std::uniform_real_distribution<double> sample(-1.0, 1.0);
    for (int blockNumber = 0; blockNumber < 3; ++blockNumber) {
      for (int c = 0; c < 2; ++c) {
        for (uint32_t i = 0; i < frames; ++i) {
          const double s = sample(random);
          block.SetIn(c, i, s);
          expected.SetIn(c, i, s);
        }
      }
      const std::vector<Change> changes = RandomChanges(random, p, frames);
      const int32_t programBefore = straight->CurrentProgram();
      InputEvents events;
      for (const Change& c : changes) {
        if (!c.note) {
          events.Value(c.time, c.id, c.value);
        } else if (random() % 2) {
          events.Note(c.time, c.key, c.value);
        } else {
          events.Midi(c.time, 0x90, static_cast<uint8_t>(c.key),
                      static_cast<uint8_t>(std::lround(c.value * 127.0)));
        }
      }
      OutputEvents out;
      ASSERT_EQ(block.Run(p, &events, &out), CLAP_PROCESS_CONTINUE);
      RenderStraight(*straight, changes, expected);
      for (int c = 0; c < 2; ++c) {
        for (uint32_t i = 0; i < frames; ++i) {
          ASSERT_EQ(block.Out(c, i), expected.Out(c, i))
              << "block " << blockNumber << " channel " << c << " frame " << i;
        }
      }
      // A program a note-on chose is the host's to hear; the last it hears is the one in use.
      const auto told =
          std::find_if(out.events.rbegin(), out.events.rend(),
                       [](const OutputEvent& e) { return e.id == GateClap::kProgramParamId; });
      if (told != out.events.rend()) {
        EXPECT_EQ(told->value, straight->CurrentProgram());
      }
      if (straight->CurrentProgram() != programBefore) {
        EXPECT_TRUE(told != out.events.rend());
      }
    }
  }
}

// No frames: the values still apply and nothing is written; frames but no
// stereo pair to gate: the outputs hold silence, the values apply too.
TEST(ClapProcess, BlocksWithoutAudioApplyTheirValuesAndLeaveSilence) {
  const uint32_t rows[][2] = {{0, 2}, {64, 1}, {64, 0}};  // frames, input channels
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "frames " << row[0] << " inputs " << row[1]);
    TestHost host;
    ClapPlugin p(host);
    p.Start(kRate, 256);
    ClapBlock block(false, row[0]);
    for (int c = 0; c < 2; ++c) std::fill(block.out32[c].begin(), block.out32[c].end(), 7.0f);
    block.inBuffer.channel_count = row[1];
    const clap_param_info_t info = p.Info(2);
    InputEvents events;
    events.Value(0, GateClap::kBypassParamId, 1.0);
    events.Value(row[0] + 10, info.id, info.max_value);
    ASSERT_EQ(block.Run(p, &events, nullptr), CLAP_PROCESS_CONTINUE);
    EXPECT_EQ(p.Value(GateClap::kBypassParamId), 1.0);
    EXPECT_EQ(p.Value(info.id), info.max_value);
    for (int c = 0; c < 2; ++c) {
      for (uint32_t i = 0; i < row[0]; ++i) ASSERT_EQ(block.out32[c][i], 0.0f);
    }
  }
}

// An edit reaches the host with the value the parameter holds, through a
// flush it asked for while nothing processes or at the start of the next
// block while processing; from the editor as a gesture, from what a host's
// thread check calls the audio thread as a bare value (no flush asked for).
TEST(ClapProcess, EditsBecomeOutputEvents) {
  const bool rows[][3] = {// processing, thread check offered, on the audio thread
                          {false, false, false},
                          {true, false, false},
                          {false, true, true},
                          {false, true, false}};
  for (const auto& row : rows) {
    const bool processing = row[0], audio = row[2];
    SCOPED_TRACE(testing::Message() << "processing " << processing << " audio thread " << audio);
    TestHost host;
    host.offerThreadCheck = row[1];
    ClapPlugin p(host);
    if (processing) p.Start(kRate, 256);
    EffectInstance& instance = *p.Object()->Instance();
    const double target = instance.ParamNormalized(1) < 0.5 ? 0.75 : 0.0;
    host.onAudioThread = audio;
    p.Object()->BeginEdit(1);
    instance.SetParamNormalized(1, target);
    p.Object()->PerformEdit(1, target);
    p.Object()->EndEdit(1);
    host.onAudioThread = false;
    EXPECT_EQ(host.flushRequests > 0, !processing && !audio);
    OutputEvents out;
    ClapBlock block(false, 32);
    if (processing) {
      block.Run(p, nullptr, &out);
    } else {
      p.Params()->flush(p.plugin, nullptr, out.List());
    }
    const std::vector<uint16_t> types =
        audio ? std::vector<uint16_t>{CLAP_EVENT_PARAM_VALUE}
              : std::vector<uint16_t>{CLAP_EVENT_PARAM_GESTURE_BEGIN, CLAP_EVENT_PARAM_VALUE,
                                      CLAP_EVENT_PARAM_GESTURE_END};
    ASSERT_EQ(out.events.size(), types.size());
    for (size_t i = 0; i < types.size(); ++i) {
      EXPECT_EQ(out.events[i].type, types[i]);
      EXPECT_EQ(out.events[i].id, 1u);
      EXPECT_EQ(out.events[i].time, 0u);
    }
    const OutputEvent& value = out.events[audio ? 0 : 1];
    EXPECT_EQ(value.value, instance.ParamPlain(1, instance.ParamNormalized(1)));
    EXPECT_EQ(value.value, p.Value(1));
  }
}

// A flood of gestures with nothing draining them (no flush between): the
// host gets whole gestures, the first ones, each value inside its own
// gesture, and never a begin without its end.
TEST(ClapProcess, GesturesTheHostCannotTakeInTimeAreDroppedWhole) {
  TestHost host;
  ClapPlugin p(host);
  EffectInstance& instance = *p.Object()->Instance();
  for (int gesture = 0; gesture < 200; ++gesture) {
    const int32_t index = gesture % 3;
    p.Object()->BeginEdit(index);
    for (int step = 0; step < 1 + gesture % 5; ++step) {
      instance.SetParamNormalized(index, step / 5.0);
      p.Object()->PerformEdit(index, step / 5.0);
    }
    p.Object()->EndEdit(index);
  }
  OutputEvents out;
  p.Params()->flush(p.plugin, nullptr, out.List());
  int open = -1, begins = 0;
  for (const OutputEvent& e : out.events) {
    if (e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN) {
      ASSERT_EQ(open, -1);
      EXPECT_EQ(e.id, static_cast<clap_id>(begins++ % 3));  // the first gestures, in order
      open = static_cast<int>(e.id);
    } else if (open >= 0 || e.type == CLAP_EVENT_PARAM_GESTURE_END) {
      ASSERT_EQ(static_cast<int>(e.id), open);
      if (e.type == CLAP_EVENT_PARAM_GESTURE_END) open = -1;
    }
  }
  EXPECT_EQ(open, -1);
  EXPECT_GT(begins, 10);
  EXPECT_LT(begins, 200);
}

// A program chosen by the host brings new values: the host hears each
// value that changed, as the parameter now holds it, and nothing else.
TEST(ClapProcess, ProgramValueReportsTheValuesItChanged) {
  TestHost host;
  ClapPlugin p(host);
  EffectInstance& instance = *p.Object()->Instance();
  double before[GateClap::kVisibleParams];
  for (int i = 0; i < GateClap::kVisibleParams; ++i) before[i] = p.Value(static_cast<clap_id>(i));
  InputEvents in;
  in.Value(0, GateClap::kProgramParamId, 3.0);
  OutputEvents out;
  p.Params()->flush(p.plugin, in.List(), out.List());
  EXPECT_EQ(instance.CurrentProgram(), 3);
  EXPECT_EQ(p.Value(GateClap::kProgramParamId), 3.0);
  int changed = 0;
  for (int i = 0; i < GateClap::kVisibleParams; ++i) {
    const double now = p.Value(static_cast<clap_id>(i));
    const auto told = std::find_if(out.events.begin(), out.events.end(), [&](const OutputEvent& e) {
      return e.id == static_cast<clap_id>(i);
    });
    EXPECT_EQ(told != out.events.end(), now != before[i]) << "parameter " << i;
    if (told != out.events.end()) {
      EXPECT_EQ(told->value, now) << "parameter " << i;
    }
    changed += now != before[i];
  }
  EXPECT_GT(changed, 0);
}

}  // namespace
