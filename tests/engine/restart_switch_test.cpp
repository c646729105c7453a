// Restart modes and program switching from MIDI, through the VST 2 record:
// note-ons go in with effProcessEvents before the process call they belong
// to. A restart must sound exactly like a fresh instance started at host
// position 0 at that sample (the input is a constant 1, so the output is
// the gate's gain); a switch must first change the output at the sample
// worked out by hand from the step and bar lengths.
#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/vst2_render.h"

namespace {

constexpr int kCall = 1000;  // frames per process call
constexpr int kCalls = 40;

struct RestartRow {
  const char* what;
  int mode;           // RestartMode
  double hostStart;   // host position at the first call
  int stoppedCalls;   // calls with the transport stopped before it runs
  int noteCall;       // call with a note-on (-1: none) ...
  int noteOffset;     // ... at this offset into it
  int rateCall;       // call before which "Rate" becomes 1/8 (-1: never)
  int64_t restartAt;  // the sample step 1 restarts at
};

// A fresh instance from host position 0 rendering what follows the restart,
// with the rate change at the same distance from it.
std::vector<double> FreshFromZero(const RestartRow& row, int64_t frames) {
  vst2_render::Effect fresh(120, kCall, 0);
  fresh.constantInput = true;
  const int64_t rateAt = row.rateCall < 0 ? -1 : int64_t{row.rateCall} * kCall - row.restartAt;
  while (fresh.rendered < frames) {
    if (fresh.rendered == rateAt) fresh.Set(kRate, 12);
    int64_t n = frames - fresh.rendered < kCall ? frames - fresh.rendered : kCall;
    if (rateAt > fresh.rendered && rateAt - fresh.rendered < n) n = rateAt - fresh.rendered;
    fresh.Process(static_cast<int>(n));
  }
  return fresh.outLeft;
}

TEST(Restart, EachModeRestartsAtItsExactSample) {
  const RestartRow rows[] = {
      // The transport starts mid-step at host position 12345.
      {"transport start", kRestartTransportStart, 12345, 3, -1, 0, -1, 3000},
      {"transport already running", kRestartTransportStart, 12345, 0, -1, 0, -1, 0},
      {"transport start, then a new rate", kRestartTransportStart, 12345, 3, -1, 0, 9, 3000},
      {"note at offset 321", kRestartMidiNote, 12345, 0, 2, 321, -1, 2321},
      {"note at offset 0", kRestartMidiNote, 40000, 0, 5, 0, -1, 5000},
      {"note at the last offset", kRestartMidiNote, 40000, 0, 5, 999, -1, 5999},
      {"note, then a new rate", kRestartMidiNote, 12345, 0, 2, 321, 7, 2321},
  };
  for (const RestartRow& row : rows) {
    vst2_render::Effect effect(120, kCall, row.hostStart);
    effect.constantInput = true;
    effect.Set(kRestartMode, row.mode);
    for (int call = 0; call < kCalls; ++call) {
      const bool playing = call >= row.stoppedCalls;
      effect.host.time.flags = vst2::kVstTempoValid | (playing ? vst2::kVstTransportPlaying : 0);
      if (call == row.noteCall) effect.SendNotes({{row.noteOffset, 60}});
      if (call == row.rateCall) effect.Set(kRate, 12);
      effect.Process(kCall);
    }
    const int64_t total = int64_t{kCalls} * kCall;
    const std::vector<double> expected = FreshFromZero(row, total - row.restartAt);
    const std::vector<double> after(effect.outLeft.begin() + row.restartAt, effect.outLeft.end());
    ASSERT_EQ(after.size(), expected.size()) << row.what;
    size_t firstDifference = after.size();
    for (size_t i = 0; i < after.size() && firstDifference == after.size(); ++i) {
      if (after[i] != expected[i]) firstDifference = i;
    }
    EXPECT_EQ(firstDifference, after.size()) << row.what << ": differs from a fresh start "
                                             << firstDifference << " samples after the restart";
  }
}

// Until the first note, "MIDI note" plays from the host's position as "Host position" does.
TEST(Restart, BeforeTheFirstNoteTheHostPositionServes) {
  vst2_render::Effect host(120, kCall, 12345), midi(120, kCall, 12345);
  host.constantInput = midi.constantInput = true;
  midi.Set(kRestartMode, kRestartMidiNote);
  for (int call = 0; call < 10; ++call) {
    host.Process(kCall);
    midi.Process(kCall);
  }
  EXPECT_TRUE(host.outLeft == midi.outLeft);
  EXPECT_EQ(midi.plug->currentStep, (12345 + 10 * kCall) / 5513 % 16);
}

struct SwitchRow {
  const char* what;
  int mode;                                                // MidiSwitch
  double hostStart;                                        // host position of the first call
  std::vector<std::pair<int, std::pair<int, int>>> notes;  // call, offset, note
  int64_t firstChange;  // first sample that differs from no note at all; -1: none
  int program;          // program selected afterwards
};

TEST(MidiSwitch, ANoteSwitchesAtItsBoundaryAndKeepsRestartAndSwitchSettings) {
  // 120 BPM at 44100 Hz: steps of 5513 samples, bars of 88200.
  const SwitchRow rows[] = {
      {"immediate", kSwitchImmediate, 0, {{3, {123, 37}}}, 3123, 1},
      {"next step", kSwitchNextStep, 0, {{3, {123, 37}}}, 5513, 1},
      {"next step, same cycle", kSwitchNextStep, 0, {{3, {123, 38}}}, 5513, 2},
      {"next step, note on a boundary", kSwitchNextStep, 0, {{11, {26, 38}}}, 11026, 2},
      // 16 steps are 88208 samples: the first boundary at or after the bar line.
      {"next bar", kSwitchNextBar, 0, {{3, {123, 37}}}, 88208, 1},
      // From host position 80000 a note at 85000 waits for the bar line at
      // position 88200, boundary 88208, which is sample 8208.
      {"next bar from a position", kSwitchNextBar, 80000, {{5, {0, 38}}}, 8208, 2},
      {"a later note replaces", kSwitchNextStep, 0, {{3, {123, 37}}, {4, {10, 38}}}, 5513, 2},
      {"off", kSwitchOff, 0, {{3, {123, 37}}}, -1, 0},
      {"below the first switch note", kSwitchImmediate, 0, {{3, {123, 35}}}, -1, 0},
      {"past the last switch note", kSwitchImmediate, 0, {{3, {123, 86}}}, -1, 0},
  };
  for (const SwitchRow& row : rows) {
    // "Transport start" from the first call puts the origin where the host's is at 0.
    const int restart = row.hostStart == 0 ? kRestartTransportStart : kRestartHostPosition;
    vst2_render::Effect effect(120, kCall, row.hostStart), plain(120, kCall, row.hostStart);
    for (vst2_render::Effect* e : {&effect, &plain}) {
      e->constantInput = true;
      e->Set(kMidiSwitch, row.mode);
      e->Set(kRestartMode, restart);
    }
    for (int call = 0; call < 100; ++call) {
      for (const auto& note : row.notes) {
        if (note.first == call) effect.SendNotes({note.second});
      }
      effect.Process(kCall);
      plain.Process(kCall);
    }
    int64_t firstChange = -1;
    for (size_t i = 0; i < plain.outLeft.size() && firstChange < 0; ++i) {
      if (effect.outLeft[i] != plain.outLeft[i]) firstChange = static_cast<int64_t>(i);
    }
    EXPECT_EQ(firstChange, row.firstChange) << row.what;
    EXPECT_EQ(effect.plug->CurrentPresetIndex(), row.program) << row.what;
    EXPECT_EQ(effect.plug->midiProgramSwitches, row.program ? 1u : 0u) << row.what;
    // Performance settings stay; the program's own values would be 0.
    EXPECT_EQ(effect.plug->GetParam(kRestartMode)->Value(), restart) << row.what;
    EXPECT_EQ(effect.plug->GetParam(kMidiSwitch)->Value(), row.mode) << row.what;
    EXPECT_EQ(effect.plug->restartMode, restart) << row.what;
    EXPECT_EQ(effect.plug->midiSwitch, row.mode) << row.what;
    EXPECT_EQ(effect.plug->GetParam(kMix)->Value(), row.program ? 100 : 80) << row.what;
  }
}

}  // namespace
