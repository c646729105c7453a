// The engine with editor controls in place of the layout's: a status line,
// the StepEdited relay and the 64 step bars on a headless view, so edits,
// messages and pattern changes travel the same roads as in the editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/gate_plug.h"
#include "gui/empty_control.h"
#include "gui/pattern_editor.h"
#include "gui/step_bar.h"
#include "gui/text_control.h"
#include "support/gesture_script.h"
#include "support/gui_headless_editor.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace {

vst2::VstTimeInfo editorTime{};

intptr_t VST2_CALL EditorHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(&editorTime);
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

class GateEditorTest : public testing::Test {
 protected:
  void SetUp() override {
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

  vst2::AEffect* effect = nullptr;
  VSTCLASS* plug = nullptr;
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

TEST_F(GateEditorTest, WholePatternApplyUndoAndRedoKeepEngineHostWordsAndBarsAgreeing) {
  PatternEditor& patterns = *plug->Patterns();
  uint16_t start[kPatternEntries], applied[kPatternEntries];
  std::copy_n(plug->StepPattern, kPatternEntries, start);
  for (int k = 0; k < kPatternEntries; ++k) applied[k] = static_cast<uint16_t>((k * 3 + 1) % 5);

  patterns.Apply(applied, "Test pattern", "Applied the test pattern");
  EXPECT_STREQ(status->GetText(), "Applied the test pattern");
  Block();
  EXPECT_EQ(ViewsDifferFrom(applied), "");
  EXPECT_STREQ(patterns.History().UndoLabel(), "Test pattern");

  EXPECT_TRUE(patterns.Undo());
  EXPECT_STREQ(status->GetText(), "Undone: Test pattern");
  Block();
  EXPECT_EQ(ViewsDifferFrom(start), "");

  EXPECT_TRUE(patterns.Redo());
  EXPECT_STREQ(status->GetText(), "Redone: Test pattern");
  Block();
  EXPECT_EQ(ViewsDifferFrom(applied), "");

  // The same pattern again is no step; nothing is left to redo.
  patterns.Apply(applied, "Same", "Applied again");
  EXPECT_STREQ(patterns.History().UndoLabel(), "Test pattern");
  EXPECT_FALSE(patterns.Redo());
  EXPECT_STREQ(status->GetText(), "Nothing to redo");
  EXPECT_TRUE(patterns.Undo());
  EXPECT_FALSE(patterns.Undo());
  EXPECT_STREQ(status->GetText(), "Nothing to undo");
  Block();
  EXPECT_EQ(ViewsDifferFrom(start), "");
}

}  // namespace
