// Ordinary gestures that once left the pattern, the bars and the host out of
// step: nudges sent while a pass draws, wheel notches over rockers and bars,
// a press whose capture is lost, double clicks. Each case ends settled, with
// the three views of the pattern in agreement, and the outcome a user expects.
#include <array>

#include "gesture_fixture.h"

namespace editor_test {
namespace {

constexpr int kTimesPlus = 120;  // x on the right half of the time rocker (22-134)
constexpr int kTimesMinus = 40;
constexpr int kVolumesMinus = 495;  // left half of the volume rocker (485-597)
constexpr int kRockerY = 187;

// PatternWord value whose ten entries are `digits`, first most significant.
int WordOf(const std::array<int, 10>& digits) {
  int word = 0;
  for (int digit : digits) word = word * 5 + digit;
  return word;
}

struct GestureCase {
  const char* name;
  Script script;
  // Pattern entries and the quarters they must hold afterwards.
  std::vector<std::pair<int, int>> entries;
  int param = -1;  // and a parameter's value in its own units
  double paramValue = 0;
  const char* status = nullptr;  // and the status line
};

std::vector<GestureCase> Cases() {
  const Step timesHeld = {Step::kDown, kTimesPlus, kRockerY};
  const Step timesUp = {Step::kUp, kTimesPlus, kRockerY};
  return {
      // Nudges sent from the rocker's Draw reach the bars: step 1 climbs from
      // 0 at the press, after about 10 ticks and after about 30.
      {"HeldRockerNudgesAreDrawn",
       {{Step::kHostSet, kPatternWord0, 0, WordOf({0, 2, 2, 2, 2, 2, 2, 2, 2, 2})},
        timesHeld,
        {Step::kTicks, 0, 0, 35},
        timesUp,
        {Step::kTicks, 0, 0, 10}},
       {{0, 3}, {1, 4}, {15, 4}, {16, 2}},
       kTimesNudge,
       0,
       "Steps time: +25%"},
      // One wheel notch is one nudge, whichever half is under the pointer.
      {"WheelDownOverTheTimeRockerIsOneNudge",
       Wheel(kTimesPlus, kRockerY, -WHEEL_DELTA),
       {{0, 1}, {15, 1}, {16, 2}, {32, 4}},
       kTimesNudge,
       0,
       "Steps time: -25%"},
      {"NotchesOverTheVolumeRockerNudgeOneEach",
       Then(Wheel(kVolumesMinus, kRockerY, -2 * WHEEL_DELTA),
            Wheel(kVolumesMinus, kRockerY, WHEEL_DELTA)),
       {{32, 3}, {47, 3}, {48, 4}, {0, 2}},
       kVolumesNudge,
       0,
       "Steps volume: +25%"},
      // A lost capture ends the press: one nudge, the gesture closed.
      {"StolenCaptureReleasesTheTimeRocker",
       {timesHeld, {Step::kTicks, 0, 0, 3}, {Step::kStealCapture}, {Step::kTicks, 0, 0, 40}},
       {{0, 3}, {15, 3}, {16, 2}},
       kTimesNudge,
       0},
      {"CancelModeReleasesTheVolumeRocker",
       {{Step::kDown, kVolumesMinus, kRockerY},
        {Step::kTicks, 0, 0, 3},
        {Step::kCancelMode},
        {Step::kTicks, 0, 0, 40},
        {Step::kUp, kVolumesMinus, kRockerY}},
       {{32, 3}, {47, 3}, {48, 4}},
       kVolumesNudge,
       0},
      {"ClosingTheEditorReleasesAHeldRocker",
       {timesHeld, {Step::kTicks, 0, 0, 3}, {Step::kReopen}, {Step::kTicks, 0, 0, 40}},
       {{0, 3}, {15, 3}},
       kTimesNudge,
       0},
      // The wheel over a bar moves it a quarter a notch through the edit path.
      {"WheelUpOverABarIsOneQuarter",
       Wheel(40, 215, WHEEL_DELTA),
       {{0, 3}, {1, 2}},
       -1,
       0,
       "Step 1 time: 75%"},
      {"ThirteenNotchesStopAtTheFullBar",
       Wheel(40, 215, 13 * WHEEL_DELTA),
       {{0, 4}},
       -1,
       0,
       "Step 1 time: 100%"},
      {"WheelDownOverTheLastVolumeBar",
       Wheel(588, 259, -3 * WHEEL_DELTA),
       {{63, 1}, {62, 4}},
       -1,
       0,
       "Step 32 volume: 25%"},
      // A double click on a bar resets it through the edit path, after the
      // host has already heard of the click.
      {"DoubleClickOnABarResetsTheStepForTheHostToo",
       Then(Then(Click(63, 215), {{Step::kBlock}}), DoubleClick(63, 215)),
       {{0, 2}},
       -1,
       0,
       "Step 1 time: 50%"},
      // A double click is two clicks on rockers, radio buttons and the padlock.
      {"DoubleClickOnPlusIsTwoNudges",
       DoubleClick(kTimesPlus, kRockerY),
       {{0, 4}, {15, 4}, {16, 2}},
       kTimesNudge,
       0,
       "Steps time: +25%"},
      {"DoubleClickOnATargetButtonKeepsIt", DoubleClick(420, 142), {}, kTarget, 2},
      // A stroke across time bars: the pressed bar at the press's place, the
      // reached one at the pointer's, the skipped ones on the line between.
      {"AStrokeAcrossBarsSetsEveryStepPassed",
       {{Step::kDown, 134, 215}, {Step::kMove, 240, 215}, {Step::kUp, 240, 215}},
       {{2, 4}, {3, 3}, {4, 2}, {5, 1}, {6, 0}},
       -1,
       0,
       "Draw times, steps 3-7"},
      // Keys to the window, the modifiers from the thread's key state.
      {"CtrlZUndoesTheStroke",
       {{Step::kDown, 134, 215},
        {Step::kMove, 240, 215},
        {Step::kUp, 240, 215},
        {Step::kKey, LetterKey('Z'), 0, Step::kKeyCtrl}},
       {{2, 2}, {4, 2}, {6, 2}},
       -1,
       0,
       "Undone: Draw times, steps 3-7"},
      {"CtrlShiftZRedoesWhatCtrlZUndid",
       Then(Click(63, 215), {{Step::kKey, LetterKey('Z'), 0, Step::kKeyCtrl},
                             {Step::kKey, LetterKey('Z'), 0, Step::kKeyCtrl | Step::kKeyShift}}),
       {{0, 4}},
       -1,
       0,
       "Redone: Step 1 time"},
      {"CursorKeysSetTheFirstStepsTimeAndLevel",
       {{Step::kKey, kKeyRight, 0, 0},
        {Step::kKey, kKeyDigit0 + 3, 0, 0},
        {Step::kKey, kKeyDigit0 + 1, 0, Step::kKeyShift}},
       {{0, 3}, {32, 1}},
       -1,
       0,
       "Step 1 volume: 25%"},
      // Ctrl+C copies the pattern to the clipboard, Ctrl+V pastes it back
      // over a later change.
      {"CtrlCThenCtrlVRestoresTheCopiedPattern",
       {{Step::kKey, kKeyRight, 0, 0},
        {Step::kKey, kKeyDigit0 + 1, 0, 0},
        {Step::kKey, LetterKey('C'), 0, Step::kKeyCtrl},
        {Step::kKey, kKeyDigit0 + 4, 0, 0},
        {Step::kKey, LetterKey('V'), 0, Step::kKeyCtrl}},
       {{0, 1}},
       -1,
       0,
       "Pasted pattern"},
      // The same keys forwarded by the host, Ctrl as the control bit.
      {"HostForwardedCtrlYRedoes",
       Then(Click(63, 215), {{Step::kKey, LetterKey('Z'), 2, Step::kKeyCtrl},
                             {Step::kKey, LetterKey('Y'), 2, Step::kKeyCtrl}}),
       {{0, 4}},
       -1,
       0,
       "Redone: Step 1 time"},
      {"DoubleClickOnThePadlockTogglesTwice",
       Then({{Step::kHostSet, kTieLock, 0, 0}}, DoubleClick(299, 189)),
       {},
       kTieLock,
       0,
       "Tie steps unlocked"},
  };
}

TEST_F(GestureEditor, OrdinaryGesturesLeaveThePatternInAgreement) {
  for (const GestureCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    FreshInstance();
    Run(c.script);
    Settle();
    EXPECT_EQ(Disagreements(), "") << Describe(c.script);
    for (const auto& [entry, quarters] : c.entries) {
      EXPECT_EQ(plug_->StepPattern[entry], quarters) << "entry " << entry;
    }
    if (c.param >= 0) {
      EXPECT_EQ(plug_->GetParam(c.param)->Value(), c.paramValue);
    }
    if (c.status) {
      EXPECT_STREQ(plug_->InfoText->GetText(), c.status);
    }
  }
}

// The drop-down list of an enumerated parameter offers the parameter's own
// display texts, whatever values they stand for, and picking one applies its
// value.
TEST_F(GestureEditor, TheListPopupOffersTheParametersOwnTexts) {
  IPlugParam shape;
  shape.SetupEnum("Shape", 2, 5, "");
  shape.AddDisplayText(0, "Off");
  shape.AddDisplayText(2, "Half");
  shape.AddDisplayText(4, "Full");
  IControl* status = editor_->GetControl(3);  // the status line: bound to nothing
  ASSERT_TRUE(editor_->PromptParamEdit(status, &shape, true));
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(SendMessageA(popup, CB_GETCOUNT, 0, 0), 3);
  const char* expected[] = {"Off", "Half", "Full"};
  for (int i = 0; i < 3; ++i) {
    char text[32] = {};
    SendMessageA(popup, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i]);
  }
  EXPECT_EQ(SendMessageA(popup, CB_GETCURSEL, 0, 0), 1);  // "Half", the current value

  SendMessageA(popup, CB_SETCURSEL, 2, 0);
  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IEditorWindow::kPopupControlId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(popup));
  Tick();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(status->GetValue(), shape.ToNormalized(4.0));
}

}  // namespace
}  // namespace editor_test
