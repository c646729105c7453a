// Restart modes and MIDI program switches through the VST 2 record, with a
// constant input so the output is the gate's gain.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/engine/vst2_render.h"

namespace {

constexpr int kCall = 1000;  // frames per process call

// A restart sounds exactly like a fresh instance in "Host position" mode
// from host position 0 at that sample, a rate change at the same distance;
// with no restart, like one from the same host position.
TEST(Restart, EachModeRestartsAtItsExactSample) {
  const struct {
    const char* what;
    int mode;
    double hostStart;   // host position at the first call
    int stoppedCalls;   // calls with the transport stopped
    int noteCall;       // call with a note-on (-1: none) ...
    int noteOffset;     // ... at this offset into it
    int rateCall;       // call before which "Rate" becomes 1/8 (-1: never)
    int64_t restartAt;  // -1: none
  } rows[] = {
      {"transport start", kRestartTransportStart, 12345, 3, -1, 0, -1, 3000},
      {"transport already running", kRestartTransportStart, 12345, 0, -1, 0, -1, 0},
      {"transport start, then a new rate", kRestartTransportStart, 12345, 3, -1, 0, 9, 3000},
      {"no note yet", kRestartMidiNote, 12345, 0, -1, 0, -1, -1},
      {"note at offset 321, then a new rate", kRestartMidiNote, 12345, 0, 2, 321, 7, 2321},
      {"note at offset 0", kRestartMidiNote, 40000, 0, 5, 0, -1, 5000},
      {"note at the last offset", kRestartMidiNote, 40000, 0, 5, 999, -1, 5999},
  };
  for (const auto& row : rows) {
    const int64_t from = std::max<int64_t>(row.restartAt, 0);
    vst2_render::Effect effect(120, kCall, row.hostStart);
    vst2_render::Effect fresh(120, kCall, row.restartAt < 0 ? row.hostStart : 0);
    effect.Set(kRestartMode, row.mode);
    for (int call = 0; call < 40; ++call) {
      const bool playing = call >= row.stoppedCalls;
      effect.time.flags = vst2::kVstTempoValid | (playing ? vst2::kVstTransportPlaying : 0);
      if (call == row.noteCall) effect.SendNote(row.noteOffset, 60);
      if (call == row.rateCall) effect.Set(kRate, 12);
      effect.Process(kCall);
    }
    const int64_t rateAt = row.rateCall < 0 ? -1 : int64_t{row.rateCall} * kCall - from;
    while (fresh.rendered < 40 * kCall - from) {
      if (fresh.rendered == rateAt) fresh.Set(kRate, 12);
      int64_t n = std::min<int64_t>(40 * kCall - from - fresh.rendered, kCall);
      if (rateAt > fresh.rendered) n = std::min(n, rateAt - fresh.rendered);
      fresh.Process(static_cast<int>(n));
    }
    const auto [differs, unused] =
        std::mismatch(effect.outLeft.begin() + from, effect.outLeft.end(), fresh.outLeft.begin());
    EXPECT_EQ(differs - effect.outLeft.begin() - from, 40 * kCall - from)
        << row.what << ": samples after the restart before a difference";
  }
}

// At 120 BPM and 44100 Hz steps are 5513 samples and 16 of them 88208.
TEST(MidiSwitch, ANoteSwitchesAtItsBoundaryAndKeepsRestartAndSwitchSettings) {
  const struct {
    const char* what;
    int mode;
    double hostStart;
    std::vector<std::pair<int, std::pair<int, int>>> notes;  // call, offset, note
    int64_t firstChange;  // first sample unlike no note at all; -1: none
    int program;          // selected afterwards
  } rows[] = {
      {"immediate", kSwitchImmediate, 0, {{3, {123, 37}}}, 3123, 1},
      {"next step", kSwitchNextStep, 0, {{3, {123, 37}}}, 5513, 1},
      {"next step, same cycle", kSwitchNextStep, 0, {{3, {123, 38}}}, 5513, 2},
      {"next step, note on a boundary", kSwitchNextStep, 0, {{11, {26, 38}}}, 11026, 2},
      {"next bar", kSwitchNextBar, 0, {{3, {123, 37}}}, 88208, 1},
      // The bar line at host position 88200 is boundary 88208: sample 8208.
      {"next bar from a position", kSwitchNextBar, 80000, {{5, {0, 38}}}, 8208, 2},
      {"a later note replaces", kSwitchNextStep, 0, {{3, {123, 37}}, {4, {10, 38}}}, 5513, 2},
      {"off", kSwitchOff, 0, {{3, {123, 37}}}, -1, 0},
      {"below the first switch note", kSwitchImmediate, 0, {{3, {123, 35}}}, -1, 0},
      {"past the last switch note", kSwitchImmediate, 0, {{3, {123, 86}}}, -1, 0},
  };
  for (const auto& row : rows) {
    // "Transport start" from the first call puts the origin where the host's is at 0.
    const int restart = row.hostStart == 0 ? kRestartTransportStart : kRestartHostPosition;
    vst2_render::Effect effect(120, kCall, row.hostStart), plain(120, kCall, row.hostStart);
    for (vst2_render::Effect* e : {&effect, &plain}) {
      e->Set(kMidiSwitch, row.mode);
      e->Set(kRestartMode, restart);
    }
    for (int call = 0; call < 100; ++call) {
      for (const auto& note : row.notes) {
        if (note.first == call) effect.SendNote(note.second.first, note.second.second);
      }
      effect.Process(kCall);
      plain.Process(kCall);
    }
    const auto differs =
        std::mismatch(effect.outLeft.begin(), effect.outLeft.end(), plain.outLeft.begin()).first;
    const int64_t firstChange =
        differs == effect.outLeft.end() ? -1 : differs - effect.outLeft.begin();
    EXPECT_EQ(firstChange, row.firstChange) << row.what;
    EXPECT_EQ(effect.plug->CurrentPresetIndex(), row.program) << row.what;
    EXPECT_EQ(effect.plug->midiProgramSwitches, row.program ? 1u : 0u) << row.what;
    // Performance settings stay (the programs hold 0 for them); Mix is the program's.
    EXPECT_EQ(effect.plug->GetParam(kRestartMode)->Value(), restart) << row.what;
    EXPECT_EQ(effect.plug->GetParam(kMidiSwitch)->Value(), row.mode) << row.what;
    EXPECT_EQ(effect.plug->restartMode, restart) << row.what;
    EXPECT_EQ(effect.plug->midiSwitch, row.mode) << row.what;
    EXPECT_EQ(effect.plug->GetParam(kMix)->Value(), row.program ? 100 : 80) << row.what;
  }
}

}  // namespace
