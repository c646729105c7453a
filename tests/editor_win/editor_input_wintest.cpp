// Window messages reaching the controls: clicks and drags on step bars and
// knobs, wheel gestures, keys, and the text-entry popups.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "gesture_fixture.h"
#include "gui/control.h"
#include "gui/pattern_menu.h"
#include "gui/text_control.h"

namespace editor_test {
namespace {

TEST_F(OpenEditor, ClickOnATimeBarEditsThePatternAndShowsTheStep) {
  OpenEffect();
  vst2::VstTimeInfo time = {};
  time.sampleRate = 44100.0;
  time.tempo = 120.0;
  time.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
  HostTime() = &time;
  vst2::AEffect* effect = plug_->Effect();
  RunAudioBlock(effect);
  HostLog().clear();

  // Step 17's time bar spans (30, 244)-(64, 254); its right end means 4 quarters.
  Click(63, 249);
  EXPECT_EQ(plug_->StepPattern[16], 4);
  ASSERT_NE(plug_->InfoText, nullptr);
  EXPECT_STREQ(plug_->InfoText->GetText(), "Step 17 time: 100%");
  EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, kStepEdited), 1);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kStepEdited), 1);
  // Its left end empties the step; a right click fills the volume bar below.
  Click(30, 249);
  EXPECT_EQ(plug_->StepPattern[16], 0);
  plug_->StepPattern[48] = 1;
  RightClick(40, 259);
  EXPECT_EQ(plug_->StepPattern[48], 4);
  EXPECT_STREQ(plug_->InfoText->GetText(), "Step 17 volume: 100%");
  // Step 2's time bar (65, 210)-(99, 220): a click at 70 % of it means 3.
  Click(65 + 24, 215);
  EXPECT_EQ(plug_->StepPattern[1], 3);
  // With Control in the message the click cycles step 2's chance (digit 4^9
  // of the first chance word) in a gesture of its own and leaves its time.
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, Point(65 + 24, 215));
  SendMessageA(window_, WM_LBUTTONUP, MK_CONTROL, Point(65 + 24, 215));
  EXPECT_EQ(plug_->StepPattern[1], 3);
  EXPECT_DOUBLE_EQ(plug_->GetParam(kChanceWord0)->Value(), 262144.0);
  EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, kChanceWord0), 1);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kChanceWord0), 1);

  std::vector<int> edited(64, 2);
  std::fill(edited.begin() + 32, edited.end(), 4);
  edited[1] = 3;
  edited[16] = 0;
  // The host hears of the words only at the next audio block.
  std::vector<int> before = PatternTheHostSees(effect);
  EXPECT_NE(before, edited);
  for (int index = 10; index <= 16; ++index) {
    EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, index), 0) << index;
  }
  HostLog().clear();
  RunAudioBlock(effect);
  EXPECT_GE(CountCalls(vst2::audioMasterGetTime, 0), 2);
  // Each word is one gesture of its own, in word order, with no automation
  // request: the host reads the new values through getParameter.
  std::vector<std::pair<int32_t, int32_t>> wordCalls;
  for (const HostCall& call : HostLog()) {
    if (call.index >= 10 && call.index <= 16 && call.opcode != vst2::audioMasterGetTime) {
      wordCalls.emplace_back(call.opcode, call.index);
    }
  }
  std::vector<std::pair<int32_t, int32_t>> expectedCalls;
  for (int index = 10; index <= 16; ++index) {
    expectedCalls.emplace_back(vst2::audioMasterBeginEdit, index);
    expectedCalls.emplace_back(vst2::audioMasterEndEdit, index);
  }
  EXPECT_EQ(wordCalls, expectedCalls);
  EXPECT_EQ(PatternTheHostSees(effect), edited);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(plug_->StepPattern[k], edited[k]) << k;

  // Nothing is left to pack for the block after.
  HostLog().clear();
  RunAudioBlock(effect);
  for (int index = 10; index <= 16; ++index) {
    EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, index), 0) << index;
  }
}

TEST_F(OpenEditor, KnobDragIsOneHostGesture) {
  const double before = plug_->GetParam(kMix)->Value();
  // The "Mix" knob is centred at (569, 125); dragging up raises it.
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, Point(569, 125));
  SendMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, Point(569, 120));
  SendMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, Point(569, 120));  // same place: ignored
  SendMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, Point(569, 110));
  SendMessageA(window_, WM_LBUTTONUP, 0, Point(569, 110));

  std::vector<HostCall> calls;
  for (const HostCall& call : HostLog()) {
    if (call.index == kMix) calls.push_back(call);
  }
  // Begin at the press, an automation per move (and one as the knob lets
  // go), end at the release.
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls.front().opcode, vst2::audioMasterBeginEdit);
  EXPECT_EQ(calls.back().opcode, vst2::audioMasterEndEdit);
  for (size_t i = 1; i + 1 < calls.size(); ++i) {
    EXPECT_EQ(calls[i].opcode, vst2::audioMasterAutomate) << i;
  }
  EXPECT_LT(calls[1].value, calls[2].value);
  EXPECT_GT(plug_->GetParam(kMix)->Value(), before);
}

TEST_F(OpenEditor, WheelNotchesFormOneGestureEndingHalfASecondLater) {
  RECT windowRect = {};
  GetWindowRect(window_, &windowRect);
  // Wheel positions are in screen coordinates; "Cycle" sits at (121, 125).
  const LPARAM overCycle = Point(windowRect.left + 121, windowRect.top + 125);
  const double before = plug_->GetParam(kCycle)->Value();
  SendMessageA(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 2), overCycle);
  Tick(5);
  SendMessageA(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), overCycle);
  EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, kCycle), 1);
  EXPECT_EQ(CountCalls(vst2::audioMasterAutomate, kCycle), 2);
  EXPECT_GT(plug_->GetParam(kCycle)->Value(), before);

  // 24 ticks a second: the gesture ends on the 12th tick after the last notch.
  Tick(11);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kCycle), 0);
  Tick();
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kCycle), 1);
  Tick(20);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kCycle), 1);
}

// Fine wheels send parts of a notch: alone they change nothing, together
// they make whole notches. While a button is held the wheel does nothing.
TEST_F(OpenEditor, WheelPartsAddUpToNotchesAndAHeldPressTakesNoWheel) {
  RECT windowRect = {};
  GetWindowRect(window_, &windowRect);
  const LPARAM overMix = Point(windowRect.left + 569, windowRect.top + 125);
  IPlugParam* mix = plug_->GetParam(kMix);
  const double before = mix->GetNormalized();
  SendMessageA(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-100)), overMix);
  EXPECT_EQ(mix->GetNormalized(), before);
  EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, kMix), 0);
  SendMessageA(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-100)), overMix);
  EXPECT_NEAR(mix->GetNormalized(), before - 0.01, 1e-6);
  Tick(12);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kMix), 1);

  HostLog().clear();
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, Point(569, 125));
  const double held = mix->GetNormalized();
  SendMessageA(window_, WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, WHEEL_DELTA), overMix);
  EXPECT_EQ(mix->GetNormalized(), held);
  EXPECT_EQ(editor_->DeferredTicks(), 0);
  SendMessageA(window_, WM_LBUTTONUP, 0, Point(569, 125));
  EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, kMix), 1);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kMix), 1);
}

TEST_F(OpenEditor, ClosingDuringAWheelGestureEndsIt) {
  RECT windowRect = {};
  GetWindowRect(window_, &windowRect);
  SendMessageA(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
               Point(windowRect.left + 121, windowRect.top + 125));
  EXPECT_EQ(editor_->DeferredTicks(), 12);
  editor_->CloseEditorWindow();
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kCycle), 1);
  EXPECT_EQ(editor_->DeferredTicks(), 0);
}

TEST_F(OpenEditor, RightClickOnAKnobOpensAnEditBoxThatAppliesTheTypedValue) {
  // "Attack" at (207, 125): 0..200 %, so its top-of-range text is "200".
  RightClick(207, 125);
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(editor_->Popup(), popup);
  char className[16] = {};
  GetClassNameA(popup, className, sizeof(className));
  EXPECT_EQ(lstrcmpiA(className, "Edit"), 0);
  EXPECT_EQ(WindowText(popup), "5");
  RECT place = {};
  GetWindowRect(popup, &place);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.right - place.left, 32);  // 7 x 3 + 6 is below the minimum
  EXPECT_EQ(place.bottom - place.top, 16);
  EXPECT_EQ(place.left, 207 - 16);
  // A second request while the popup is open does nothing.
  EXPECT_FALSE(editor_->PromptParamEdit(editor_->GetControl(7), plug_->GetParam(kRelease), true));
  EXPECT_EQ(FindPopup(window_), popup);

  HostLog().clear();
  SetWindowTextA(popup, "50");
  SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(editor_->GetPopupState(), IEditorWindow::kPopupCommit);
  EXPECT_EQ(plug_->GetParam(kAttack)->Value(), 5.0);  // applied on the tick
  Tick();
  EXPECT_EQ(FindPopup(window_), nullptr);
  EXPECT_EQ(editor_->Popup(), nullptr);
  EXPECT_EQ(plug_->GetParam(kAttack)->Value(), 50.0);
  EXPECT_GE(CountCalls(vst2::audioMasterAutomate, kAttack), 1);
  EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, kAttack), 1);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kAttack), 1);
}

TEST_F(OpenEditor, RightClickInTheEditorCancelsTheOpenPopup) {
  RightClick(207, 125);
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  SetWindowTextA(popup, "150");
  HostLog().clear();
  SendMessageA(window_, WM_RBUTTONDOWN, MK_RBUTTON, Point(63, 249));
  EXPECT_EQ(editor_->GetPopupState(), IEditorWindow::kPopupCancel);
  Tick();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(plug_->GetParam(kAttack)->Value(), 5.0);
  // The right click stayed with the popup: the step bar under it is untouched.
  EXPECT_EQ(plug_->StepPattern[16], 2);
}

TEST_F(OpenEditor, LeftClickInTheEditorCommitsThePopupAndReachesTheControl) {
  RightClick(207, 125);
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  SetWindowTextA(popup, "120");
  Click(63, 249);
  EXPECT_EQ(plug_->StepPattern[16], 4);
  Tick();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(plug_->GetParam(kAttack)->Value(), 120.0);
}

TEST_F(OpenEditor, RightClickOnTheTargetSelectorOffersItsFourTexts) {
  RightClick(420, 105);
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  char className[16] = {};
  GetClassNameA(popup, className, sizeof(className));
  EXPECT_EQ(lstrcmpiA(className, "ComboBox"), 0);
  ASSERT_EQ(SendMessageA(popup, CB_GETCOUNT, 0, 0), 4);
  const char* expected[] = {"Volume", "Low Gain", "High Gain", "Low - High"};
  for (int i = 0; i < 4; ++i) {
    char text[32] = {};
    SendMessageA(popup, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i]);
  }
  EXPECT_EQ(SendMessageA(popup, CB_GETCURSEL, 0, 0), 0);  // the current value

  // Picking an entry commits it, as the list tells its parent.
  SendMessageA(popup, CB_SETCURSEL, 2, 0);
  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IEditorWindow::kPopupControlId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(popup));
  Tick();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(plug_->GetParam(kTarget)->Value(), 2.0);
}

// The pattern menu through window messages: the footer button opens it,
// Escape and Return are its keys, losing the keyboard focus or the window
// closing closes it, and a click beside it is heard by nothing beneath.
TEST_F(OpenEditor, PatternMenuAnswersKeysFocusLossAndClicksBesideIt) {
  OpenEffect();
  auto* menu = dynamic_cast<PatternMenu*>(editor_->GetControl(editor_->ControlCount() - 1));
  ASSERT_NE(menu, nullptr);
  const uint16_t firstTime = plug_->StepPattern[0];
  Click(456, 276);
  ASSERT_TRUE(menu->IsOpen());
  SendMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(menu->IsOpen());

  Click(456, 276);
  ASSERT_TRUE(menu->IsOpen());
  SendMessageA(window_, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(menu->IsOpen());

  Click(456, 276);
  Click(40, 215);  // step 1's time bar, beside the box
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_EQ(plug_->StepPattern[0], firstTime);

  // Up from Copy wraps to Fill; Return fills the playing steps.
  Click(456, 276);
  SendMessageA(window_, WM_KEYDOWN, VK_UP, 0);
  SendMessageA(window_, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_EQ(plug_->StepPattern[0], 4);
  EXPECT_EQ(plug_->StepPattern[32], 4);

  Click(456, 276);
  editor_->CloseEditorWindow();
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_EQ(UnbalancedGesturesIn(HostLog()), "");
}

}  // namespace
}  // namespace editor_test
