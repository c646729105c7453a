// The X11 editor under the Win32 editor's random gestures: the same seeded
// scripts (clicks, drags, strokes across bars, right and double clicks,
// wheel notches, rocker holds, grabs taken away, ticks, audio blocks and
// keys, some forwarded by the host), played as X events, each
// on a fresh instance. After each sequence settles, every host gesture is
// closed, the engine, the host's pattern words and the bars' pixels show one
// pattern, and no control asks to redraw.
//
// QUORVEL_MONKEY_SEED sets the first sequence's seed (sequence i uses seed
// + i) and QUORVEL_MONKEY_SEQUENCES how many run; a failure prints the seed
// that replays it alone.
#include <memory>
#include <string>

#include "tests/editor_x11/xvfb_display.h"
// after gtest
#include "graphics/png_loader.h"
#include "support/gesture_monkey.h"
#include "tests/editor_x11/x11_editor_fixture.h"

namespace editor_test {
namespace {

const ::testing::Environment* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbDisplay);

constexpr unsigned kDefaultSeed = 20261207;
constexpr int kDefaultSequences = 150;

// One step as X delivers it: buttons 1 and 3, a notch of the wheel per 120
// units (buttons 4 and 5), the second press of a double click 100 ms after
// the first, and the grab taken away by another client's grab or a window
// switch.
void Play(HostedX11Editor* hosted, const Step& step) {
  const int x = step.x, y = step.y;
  switch (step.kind) {
    case Step::kDown:
      return hosted->Pointer(ButtonPress, Button1, 0, x, y);
    case Step::kUp:
      return hosted->Pointer(ButtonRelease, Button1, Button1Mask, x, y);
    case Step::kRightDown:
      return hosted->Pointer(ButtonPress, Button3, 0, x, y);
    case Step::kRightUp:
      return hosted->Pointer(ButtonRelease, Button3, Button3Mask, x, y);
    case Step::kMove:
      return hosted->Pointer(MotionNotify, 0, Button1Mask, x, y);
    case Step::kDoubleClick:
      return hosted->Pointer(ButtonPress, Button1, 0, x, y, 100);
    case Step::kWheel:
      for (int notch = 0; notch < std::abs(step.n) / 120; ++notch) {
        const unsigned button = step.n > 0 ? Button4 : Button5;
        hosted->Pointer(ButtonPress, button, 0, x, y);
        hosted->Pointer(ButtonRelease, button, 0, x, y);
      }
      return;
    case Step::kTicks:
      return hosted->Tick(step.n);
    case Step::kBlock:
      return RunAudioBlock(hosted->Effect());
    case Step::kStealCapture:
      return hosted->Notify(LeaveNotify, NotifyUngrab);
    case Step::kCancelMode:
      return hosted->Notify(FocusOut, NotifyNormal);
    case Step::kReopen:
      hosted->Close();
      EXPECT_TRUE(hosted->Open());
      return;
    case Step::kKey: {
      if (step.y != 0) {
        ForwardKey(hosted->Effect(), step);
        return;
      }
      KeySym symbol = XK_space;
      if (step.x >= kKeyUp && step.x <= kKeyRight) {
        static const KeySym kArrows[] = {XK_Up, XK_Down, XK_Left, XK_Right};
        symbol = kArrows[step.x - kKeyUp];
      } else if (step.x >= kKeyLetterA) {
        symbol = XK_a + static_cast<KeySym>(step.x - kKeyLetterA);
      } else if (step.x >= kKeyDigit0) {
        symbol = XK_0 + static_cast<KeySym>(step.x - kKeyDigit0);
      }
      const unsigned state = ((step.n & Step::kKeyShift) ? ShiftMask : 0u) |
                             ((step.n & Step::kKeyCtrl) ? ControlMask : 0u);
      return hosted->Key(hosted->Editor()->XWindow(), symbol, state);
    }
    case Step::kHostSet: {
      IPlugParam* param = hosted->Plug()->GetParam(step.x);
      const double position = (step.n - param->Min()) / (param->Max() - param->Min());
      hosted->Effect()->setParameter(hosted->Effect(), step.x, static_cast<float>(position));
      return;
    }
  }
}

TEST(X11EditorMonkey, RandomGesturesLeaveEngineHostAndBarsAgreeing) {
  Display* display = OpenDisplayConnection();
  ASSERT_NE(display, nullptr);
  const char* source = std::getenv("QUORVEL_SOURCE_DIR");
  std::unique_ptr<Bitmap> background(LoadPngFromFile(
      (std::string(source != nullptr ? source : QUORVEL_SOURCE_ROOT) + "/img/bg.png").c_str(),
      nullptr));
  ASSERT_NE(background, nullptr);
  const unsigned seed = EnvNumber("QUORVEL_MONKEY_SEED", kDefaultSeed);
  const int sequences = static_cast<int>(EnvNumber("QUORVEL_MONKEY_SEQUENCES", kDefaultSequences));
  int failures = 0;
  for (int i = 0; i < sequences && failures < 3; ++i) {
    HostLog().clear();
    const Script script = GestureMonkey(seed + static_cast<unsigned>(i)).Sequence();
    HostedX11Editor hosted(display);
    ASSERT_TRUE(hosted.Open());
    RunAudioBlock(hosted.Effect());
    hosted.Tick(2);
    for (const Step& step : script) Play(&hosted, step);
    // Settle: an open popup or pattern menu ends (a right click cancels it,
    // in a corner the menu's box never reaches), an audio block packs the
    // pattern, then the editor idles.
    if (hosted.Editor()->Popup() != 0 || hosted.Editor()->OverlayShown()) {
      Play(&hosted, {Step::kRightDown, 5, 280});
      Play(&hosted, {Step::kRightUp, 5, 280});
    }
    RunAudioBlock(hosted.Effect());
    hosted.Tick(16);
    std::string problems = UnbalancedGestures();
    problems += PatternDisagreements(
        std::vector<int>(hosted.Plug()->StepPattern, hosted.Plug()->StepPattern + kPatternEntries),
        PatternTheHostSees(hosted.Effect()),
        PatternTheBarsDraw(hosted.Editor()->BackBuffer(), background.get(), 100));
    Rect dirty;
    if (hosted.Editor()->CollectDirty(&dirty)) problems += "a control asks to redraw; ";
    if (hosted.Editor()->DeferredTicks() != 0) problems += "a wheel gesture is still open; ";
    if (!problems.empty()) {
      ++failures;
      ADD_FAILURE() << problems << "\nsequence: " << Describe(script)
                    << "\nreplay: QUORVEL_MONKEY_SEED=" << seed + static_cast<unsigned>(i)
                    << " QUORVEL_MONKEY_SEQUENCES=1";
    }
  }
  std::printf("%d sequences from seed %u\n", sequences, seed);
  XCloseDisplay(display);
}

}  // namespace
}  // namespace editor_test
