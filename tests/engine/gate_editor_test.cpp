// The engine with editor controls in place of the layout's: a status line,
// the StepEdited relay and the 64 step bars on a headless view, so edits,
// messages and pattern changes travel the same roads as in the editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/gate_plug.h"
#include "engine/pattern_ops.h"
#include "engine/pattern_text.h"
#include "gui/empty_control.h"
#include "gui/pattern_editor.h"
#include "gui/step_bar.h"
#include "gui/text_control.h"
#include "support/gesture_balance.h"
#include "support/gesture_script.h"
#include "support/gui_headless_editor.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace {

vst2::VstTimeInfo editorTime{};

// The host's begin and end of edit calls, for gesture balance.
struct HostCall {
  int32_t opcode;
  int32_t index;
};
std::vector<HostCall> gestureCalls;

intptr_t VST2_CALL EditorHost(vst2::AEffect*, int32_t opcode, int32_t index, intptr_t, void*,
                              float) {
  if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(&editorTime);
  if (opcode == vst2::audioMasterBeginEdit || opcode == vst2::audioMasterEndEdit) {
    gestureCalls.push_back({opcode, index});
  }
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

class GateEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    gestureCalls.clear();
    editorTime.tempo = 120;
    editorTime.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
    effect = VSTPluginMain(EditorHost);
    ASSERT_NE(effect, nullptr);
    plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
    auto* view = new HeadlessEditor(plug, 620, 285);
    status = new ITextControl(plug, Rect{316, 180, 446, 198}, TextStyle{}, "");
    view->AttachControl(status);
    plug->InfoText = status;
    view->AttachControl(new IEmpty(plug, kStepEdited));
    for (int i = 0; i < 32; ++i) {
      const int x = 30 + 35 * (i % 16), y = 221 + 34 * (i / 16);
      plug->timeBars[i] = new MyBar(plug, Rect{x, y - 11, x + 34, y - 1}, Colour{}, int16_t(i),
                                    &plug->StepPattern[i], &plug->editedIndex, &plug->editedValue);
      view->AttachControl(plug->timeBars[i]);
      plug->volumeBars[i] =
          new MyBar(plug, Rect{x, y, x + 34, y + 8}, Colour{}, int16_t(32 + i),
                    &plug->StepPattern[32 + i], &plug->editedIndex, &plug->editedValue);
      view->AttachControl(plug->volumeBars[i]);
    }
    plug->AttachEditor(view);
    editor = view;
    effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0);
    effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0);
  }
  void TearDown() override { effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0); }
  void Block() {
    float zeros[64] = {};
    float out[2][64];
    float* in[2] = {zeros, zeros};
    float* outs[2] = {out[0], out[1]};
    effect->processReplacing(effect, in, outs, 64);
  }

  // The entries where the engine, the host's words (decoded) and the bars
  // differ from `expected`; "" when all three show it.
  std::string ViewsDifferFrom(const uint16_t* expected) {
    const std::vector<int> host = editor_test::PatternTheHostSees(effect);
    std::string problems;
    for (int k = 0; k < kPatternEntries; ++k) {
      const double bar = (k < 32 ? plug->timeBars[k] : plug->volumeBars[k - 32])->GetValue() * 4;
      if (plug->StepPattern[k] == expected[k] && host[k] == expected[k] && bar == expected[k])
        continue;
      problems += "entry " + std::to_string(k) + " engine " + std::to_string(plug->StepPattern[k]) +
                  " host " + std::to_string(host[k]) + " bar " + std::to_string(bar) + "; ";
    }
    return problems;
  }

  int GesturesOn(int index) const {
    return static_cast<int>(std::count_if(
        gestureCalls.begin(), gestureCalls.end(),
        [=](HostCall c) { return c.opcode == vst2::audioMasterBeginEdit && c.index == index; }));
  }

  vst2::AEffect* effect = nullptr;
  VSTCLASS* plug = nullptr;
  HeadlessEditor* editor = nullptr;
  ITextControl* status = nullptr;
};

TEST_F(GateEditorTest, OpeningFillsBarsAndShowsTieLock) {
  EXPECT_STREQ(status->GetText(), "Tie steps locked");
  for (int i = 0; i < 32; ++i) {
    EXPECT_DOUBLE_EQ(plug->timeBars[i]->GetValue(), 0.5);
    EXPECT_DOUBLE_EQ(plug->volumeBars[i]->GetValue(), 1.0);
  }
}

TEST_F(GateEditorTest, BarClickEditsShowsAndPacksAtTheNextBlock) {
  plug->timeBars[4]->OnMouseDown(192, 215, MouseMods{});  // 65 % along: 3 quarters
  EXPECT_EQ(plug->StepPattern[4], 3);
  EXPECT_STREQ(status->GetText(), "Step 5 time: 75%");
  EXPECT_EQ(plug->lastApplied[kStepEdited], 0);
  EXPECT_EQ(plug->GetParam(kStepEdited)->Value(), 0);
  Block();
  EXPECT_EQ(plug->GetParam(kPatternWord0)->Value(), 4882812 + 3125);
  MouseMods right;
  right.R = true;
  plug->volumeBars[0]->OnMouseDown(0, 0, right);
  EXPECT_STREQ(status->GetText(), "Step 1 volume: 100%");
}

TEST_F(GateEditorTest, NudgeMovesBarsAndPattern) {
  plug->GetParam(kCycle)->SetValueClamped(4);
  plug->OnParamChanged(kCycle);
  plug->ApplyEditorParamChange(kTimesNudge, 0.6);  // +1
  EXPECT_STREQ(status->GetText(), "Steps time: +25%");
  EXPECT_DOUBLE_EQ(plug->timeBars[3]->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(plug->timeBars[4]->GetValue(), 0.5);
  EXPECT_EQ(plug->StepPattern[3], 3);
  plug->ApplyEditorParamChange(kTimesNudge, 0.5);    // release
  plug->ApplyEditorParamChange(kVolumesNudge, 0.4);  // -1
  EXPECT_STREQ(status->GetText(), "Steps volume: -25%");
  EXPECT_EQ(plug->StepPattern[32], 3);
  EXPECT_EQ(plug->StepPattern[36], 4);
}

TEST_F(GateEditorTest, RecallingTrance10ShowsItsGate) {
  effect->dispatcher(effect, vst2::effSetProgram, 0, 20, nullptr, 0);  // "Trance 9"
  effect->dispatcher(effect, vst2::effSetProgram, 0, 21, nullptr, 0);  // "Trance 10"
  EXPECT_STREQ(status->GetText(), "Gate steps: 47%");
  EXPECT_DOUBLE_EQ(plug->timeBars[0]->GetValue(), 1.0);  // 41411411...
  EXPECT_DOUBLE_EQ(plug->timeBars[1]->GetValue(), 0.25);
}

// The same pattern again is no step; the status says when none is left.
TEST_F(GateEditorTest, ApplyingTheSamePatternAgainIsNoUndoStep) {
  PatternEditor& patterns = *plug->Patterns();
  uint16_t applied[kPatternEntries];
  std::fill_n(applied, kPatternEntries, uint16_t{3});
  patterns.Apply(applied, "Test pattern", "Applied the test pattern");
  patterns.Apply(applied, "Same", "Applied again");
  EXPECT_FALSE(patterns.Redo());
  EXPECT_STREQ(status->GetText(), "Nothing to redo");
  EXPECT_TRUE(patterns.Undo());
  EXPECT_STREQ(status->GetText(), "Undone: Test pattern");
  EXPECT_FALSE(patterns.Undo());
}

// Strokes in one motion event each way: the pressed bar takes the curved
// place of the press, the bar reached the linear place of the pointer, the
// skipped bars places on the line between (hand-computed), with audio
// blocks between the motions and motions off the row ignored: one host
// gesture on StepEdited and on each pattern word, one undo step.
TEST_F(GateEditorTest, AStrokeSetsEveryStepPassedInOneGestureAndOneUndoStep) {
  const struct {
    int downX, y, dragX;
    int first;  // entry of the leftmost step drawn (five, at 4 3 2 1 0)
    const char* label;
  } strokes[] = {
      // Step 3's time bar (x 100-134) at its top to step 7's (240-274) at its foot.
      {134, 215, 240, 2, "Draw times, steps 3-7"},
      // Back along the second row's levels: step 25's (x 310-344) foot to step 21's (170-204) top.
      {310, 259, 204, 52, "Draw levels, steps 21-25"},
  };
  const MouseMods left{true};
  for (const auto& s : strokes) {
    if (&s != strokes) {  // a fresh instance for each
      TearDown();
      SetUp();
    }
    uint16_t expected[kPatternEntries];
    std::copy_n(plug->StepPattern, kPatternEntries, expected);
    for (int k = 0; k < 5; ++k) expected[s.first + k] = static_cast<uint16_t>(4 - k);
    editor->OnMouseDown(s.downX, s.y, left);
    Block();
    editor->OnMouseDrag(s.dragX, s.y, left);
    Block();
    editor->OnMouseDrag(s.dragX + 10, s.y + 25, left);  // off the row: nothing
    editor->OnMouseDrag(s.dragX + 17, s.y + 11, left);  // another band: nothing
    Block();
    editor->OnMouseUp(s.dragX + 17, s.y + 11, left);
    EXPECT_STREQ(status->GetText(), s.label);
    // Packed at every block of the stroke, each word in one gesture all the same.
    EXPECT_EQ(GesturesOn(kStepEdited), 1) << s.label << ", StepEdited";
    for (int index = kPatternWord6; index >= kPatternWord0; --index) {
      EXPECT_EQ(GesturesOn(index), 1) << s.label << ", parameter " << index;
    }
    Block();
    EXPECT_EQ(ViewsDifferFrom(expected), "") << s.label;
    EXPECT_EQ(UnbalancedGesturesIn(gestureCalls), "") << s.label;
    EXPECT_STREQ(plug->Patterns()->History().UndoLabel(), s.label);
    EXPECT_TRUE(plug->Patterns()->Undo());
    EXPECT_FALSE(plug->Patterns()->History().CanUndo());
  }
}

// Keys as a VST 2 host forwards them (character, virtual key, modifier
// bits), one after another, with what the host is answered, where the
// cursor is, and step 2's time and level after each. Ctrl comes as the
// command bit (4) or the control bit (8), its letters as themselves or as
// control codes; keys the editor does not use are answered 0.
TEST_F(GateEditorTest, HostKeysUndoRedoAndMoveAndSetTheStepCursor) {
  constexpr int kShift = 1, kAlt = 2, kCommand = 4, kControl = 8;
  constexpr int kLeft = 11, kUp = 12, kRight = 13, kDown = 14, kF1 = 40;
  const struct {
    int character, virtualKey, modifiers;
    intptr_t answer;
    int cursor, time, level;  // step 2's (entries 1 and 33); cursor -1: hidden
  } keys[] = {
      {'q', 0, 0, 0, -1, 2, 4},        {0, kF1, 0, 0, -1, 2, 4},
      {'q', 0, kControl, 0, -1, 2, 4}, {'z', 0, kAlt, 0, -1, 2, 4},
      {0, kRight, 0, 1, 0, 2, 4},      {0, kRight, 0, 1, 1, 2, 4},
      {'3', 0, 0, 1, 1, 3, 4},         {'1', 0, kShift, 1, 1, 3, 1},
      {'#', 0, kShift, 1, 1, 3, 3},    {'7', 0, 0, 0, 1, 3, 3},
      {0, kUp, 0, 1, 1, 4, 3},         {0, kUp, 0, 1, 1, 4, 3},
      {0, kDown, kShift, 1, 1, 4, 2},  {'z', 0, kCommand, 1, 1, 4, 3},
      {26, 0, kControl, 1, 1, 3, 3},   {'Z', 0, kCommand | kShift, 1, 1, 4, 3},
      {'y', 0, kControl, 1, 1, 4, 2},  {0, kLeft, 0, 1, 0, 4, 2},
      {0, kLeft, 0, 1, 15, 4, 2},      {0, kRight, 0, 1, 0, 4, 2},
  };
  PatternEditor& patterns = *plug->Patterns();
  for (const auto& k : keys) {
    const auto send = [&](int opcode) {
      return effect->dispatcher(effect, opcode, k.character, k.virtualKey, nullptr,
                                static_cast<float>(k.modifiers));
    };
    const std::string row = std::to_string(k.character) + "/" + std::to_string(k.virtualKey) + "/" +
                            std::to_string(k.modifiers);
    EXPECT_EQ(send(vst2::effEditKeyDown), k.answer) << row;
    EXPECT_EQ(send(vst2::effEditKeyUp), 0) << row;
    EXPECT_EQ(patterns.CursorStep(), k.cursor) << row;
    EXPECT_EQ(plug->StepPattern[1] * 10 + plug->StepPattern[33], k.time * 10 + k.level) << row;
    for (int step = 0; step < 32; ++step) {
      EXPECT_EQ(plug->timeBars[step]->CursorMark() + plug->volumeBars[step]->CursorMark(),
                2 * (step == k.cursor))
          << row << " step " << step;
    }
  }
  Block();
  uint16_t expected[kPatternEntries];
  std::copy_n(plug->StepPattern, kPatternEntries, expected);
  EXPECT_EQ(ViewsDifferFrom(expected), "");
  EXPECT_EQ(UnbalancedGesturesIn(gestureCalls), "");
}

// After pattern edits, an old 140-byte chunk (version 10000, then 17
// little-endian doubles, written byte by byte; the words hold every entry at
// 1: 1111111111 and 1111 in base 5) loads exactly, bars too, and saves as
// the same bytes.
TEST_F(GateEditorTest, AnOldStateLoadsExactlyAfterPatternEditsAndSavesTheSameBytes) {
  editor->OnMouseDown(134, 215, MouseMods{true});
  editor->OnMouseDrag(300, 215, MouseMods{true});
  editor->OnMouseUp(300, 215, MouseMods{true});
  plug->Patterns()->RunOp(PatternOp::kReverse);
  plug->Patterns()->Undo();
  Block();

  const double saved[17] = {12, 8,       20,      75,      0,       40,      10,      2500, 2,
                            60, 2441406, 2441406, 2441406, 2441406, 2441406, 2441406, 156};
  std::vector<uint8_t> chunk = {0x10, 0x27, 0x00, 0x00};
  for (double value : saved) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int byte = 0; byte < 8; ++byte) chunk.push_back(static_cast<uint8_t>(bits >> (8 * byte)));
  }
  ASSERT_EQ(chunk.size(), 140u);
  std::vector<uint8_t> copy = chunk;
  ASSERT_EQ(effect->dispatcher(effect, vst2::effSetChunk, 1, 140, copy.data(), 0.0f), 1);
  for (int i = 0; i < 17; ++i) EXPECT_EQ(plug->GetParam(i)->Value(), saved[i]) << "parameter " << i;
  Block();
  uint16_t ones[kPatternEntries];
  std::fill_n(ones, kPatternEntries, uint16_t{1});
  EXPECT_EQ(ViewsDifferFrom(ones), "");

  void* data = nullptr;
  ASSERT_EQ(effect->dispatcher(effect, vst2::effGetChunk, 1, 0, &data, 0.0f), 140);
  EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + 140),
            chunk);
}

// Any seeded sequence of strokes, clicks, wheel notches, menu operations
// and pastes, with audio blocks between, followed by as many undos,
// restores the exact starting pattern in the engine, the host's words and
// the bars; as many redos replay it to the exact end; every host gesture
// closes. QUORVEL_PATTERN_SEED replays one seed.
TEST_F(GateEditorTest, AnyEditsFollowedByAsManyUndosRestoreThePatternAndRedosReplayIt) {
  const unsigned firstSeed = editor_test::EnvNumber("QUORVEL_PATTERN_SEED", 20261207);
  const unsigned seeds = std::getenv("QUORVEL_PATTERN_SEED") ? 1 : 200;
  for (unsigned seed = firstSeed; seed < firstSeed + seeds && !HasFailure(); ++seed) {
    PatternEditor& patterns = *plug->Patterns();
    std::mt19937 rng(seed);
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // A start of the host's: a random pattern word, outside the history.
    effect->setParameter(effect, kPatternWord0 + pick(7), static_cast<float>(pick(1000)) / 999);
    effect->setParameter(effect, kCycle, static_cast<float>(pick(32)) / 31);
    Block();
    uint16_t start[kPatternEntries];
    std::copy_n(plug->StepPattern, kPatternEntries, start);
    const int edits = 1 + pick(30);
    for (int e = 0; e < edits; ++e) {
      const Rect bar = editor_test::BarRect(pick(kPatternEntries));
      const int x = bar.left + pick(bar.Width() + 1), y = bar.top + pick(bar.Height() + 1);
      const MouseMods left{true}, right{false, true};
      switch (pick(6)) {
        case 0:  // a stroke over its row and beyond
          editor->OnMouseDown(x, y, left);
          for (int moves = pick(6); moves > 0; --moves) {
            editor->OnMouseDrag(20 + pick(580), y - 3 + pick(7), left);
          }
          editor->OnMouseUp(x, y, left);
          break;
        case 1:
          editor->OnMouseDown(x, y, right);
          editor->OnMouseUp(x, y, right);
          break;
        case 2:
          editor->OnMouseWheel(x, y, MouseMods{}, pick(2) ? 1.0f : -2.0f);
          break;
        case 3:
          patterns.RunOp(static_cast<PatternOp>(pick(kPatternOpCount)));
          break;
        case 4:
          patterns.RunEuclid(pick(33), pick(9) - 4);
          break;
        default: {  // a random pattern, applied whole or pasted as text
          uint16_t random[kPatternEntries];
          for (uint16_t& entry : random) entry = static_cast<uint16_t>(pick(5));
          char text[kPatternTextSize];
          const int length = FormatPatternText(random, 1 + pick(32), text);
          if (pick(2))
            patterns.Apply(random, "Randomise", "Randomised");
          else
            patterns.PasteText(text, static_cast<size_t>(length));
        }
      }
      if (pick(3) == 0) Block();
    }
    Block();
    uint16_t end[kPatternEntries];
    std::copy_n(plug->StepPattern, kPatternEntries, end);
    for (int e = 0; e < edits; ++e) patterns.Undo();
    Block();
    EXPECT_EQ(ViewsDifferFrom(start), "") << "after the undos; seed " << seed;
    for (int e = 0; e < edits; ++e) patterns.Redo();
    Block();
    EXPECT_EQ(ViewsDifferFrom(end), "") << "after the redos; seed " << seed;
    EXPECT_EQ(UnbalancedGesturesIn(gestureCalls), "") << "seed " << seed;
    // A fresh instance: an edit that changed nothing left no step, so the
    // next sequence's surplus undos must find no older history.
    TearDown();
    SetUp();
  }
  std::printf("%u sequences from seed %u (QUORVEL_PATTERN_SEED)\n", seeds, firstSeed);
}

}  // namespace
