// The pattern editor in the open window: rockers held down while the timer
// ticks, and the filled lengths of the step bars in the back buffer.
#include <algorithm>
#include <array>
#include <vector>

#include "editor_fixture.h"
#include "gui/text_control.h"

namespace editor_test {
namespace {

constexpr uint32_t kTimeBarColour = 0xFF82C3FF;  // (255, 130, 195, 255)
constexpr Rect kTimeRocker = {22, 172, 134, 203};
constexpr Rect kVolumeRocker = {485, 172, 597, 203};

// PatternWord value whose ten entries are `digits`, first most significant.
double WordOf(const std::array<int, 10>& digits) {
  double word = 0;
  for (int digit : digits) word = word * 5 + digit;
  return word;
}

std::vector<int> Pattern(const VSTCLASS& plug) {
  return std::vector<int>(plug.StepPattern, plug.StepPattern + kPatternEntries);
}

// Pixels of the rocker's pressed-half frame that the back buffer shows at
// `left`; frame 1 is the image's left half, frame 2 its right half.
int PressedFramePixelsShown(Bitmap* back, Bitmap* image, Bitmap* background, int frame, int left,
                            int top) {
  const int frameWidth = image->GetWidth() / 2;
  int shown = 0;
  for (int y = 0; y < image->GetHeight(); ++y) {
    for (int x = 0; x < frameWidth; ++x) {
      const uint32_t source = OpaquePixel(image, (frame - 1) * frameWidth + x, y);
      if (source == 0 || source == PixelAt(background, left + x, top + y)) continue;
      shown += PixelAt(back, left + x, top + y) == source;
    }
  }
  return shown;
}

bool LooksLikeBackground(Bitmap* back, Bitmap* background, const Rect& rect) {
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (PixelAt(back, x, y) != PixelAt(background, x, y)) return false;
    }
  }
  return true;
}

TEST_F(OpenEditor, HoldingTheTimeRockerNudgesAtThePressAndAtEachWholeStepAfter) {
  OpenEffect();
  ASSERT_NO_FATAL_FAILURE(SetFromHost(kCycle, 4));
  // Steps 1-5 get times 0, 1, 4, 2, 0; step 5 lies beyond the cycle.
  ASSERT_NO_FATAL_FAILURE(SetFromHost(kPatternWord0, WordOf({0, 1, 4, 2, 0, 2, 2, 2, 2, 2})));
  Tick();
  const std::vector<int> start = Pattern(*plug_);
  ASSERT_EQ(std::vector<int>(start.begin(), start.begin() + 5), (std::vector<int>{0, 1, 4, 2, 0}));
  auto afterNudges = [&](int nudges) {
    std::vector<int> expected = start;
    for (int i = 0; i < 4; ++i) expected[i] = std::min(4, start[i] + nudges);
    return expected;
  };

  // The right half raises; the press itself is the first nudge.
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, Point(120, 187));
  EXPECT_EQ(plug_->GetParam(kTimesNudge)->Value(), 1.0);
  EXPECT_EQ(Pattern(*plug_), afterNudges(1));
  EXPECT_STREQ(plug_->InfoText->GetText(), "Steps time: +25%");

  // Each tick moves the rocker a twentieth of a whole step further:
  // +2 after about 10 ticks, then every 20 ticks up to +5.
  auto background = Image(100);
  auto rocker = Image(102);
  ASSERT_NE(background, nullptr);
  ASSERT_NE(rocker, nullptr);
  int nudges = 1;
  std::vector<int> nudgeTicks;
  for (int tick = 1; tick <= 100; ++tick) {
    Tick();
    if (tick == 1) {
      // Held: the right half (from the centre, x 78) shows the pressed frame.
      EXPECT_GT(PressedFramePixelsShown(editor_->BackBuffer(), rocker.get(), background.get(), 2,
                                        78, kTimeRocker.top),
                50);
    }
    const int value = static_cast<int>(plug_->GetParam(kTimesNudge)->Value());
    if (value == nudges) continue;
    EXPECT_EQ(value, nudges + 1) << "tick " << tick;
    nudges = value;
    nudgeTicks.push_back(tick);
    EXPECT_EQ(Pattern(*plug_), afterNudges(nudges)) << "tick " << tick;
  }
  EXPECT_EQ(nudges, 5);
  ASSERT_EQ(nudgeTicks.size(), 4u);
  for (size_t i = 0; i < nudgeTicks.size(); ++i) {
    EXPECT_NEAR(nudgeTicks[i], 10 + 20 * static_cast<int>(i), 1) << "nudge to +" << i + 2;
  }

  // Letting go returns the rocker to rest: no further nudge, and the plain
  // rocker of the background shows again.
  SendMessageA(window_, WM_LBUTTONUP, 0, Point(120, 187));
  EXPECT_EQ(plug_->GetParam(kTimesNudge)->Value(), 0.0);
  Tick(3);
  EXPECT_EQ(Pattern(*plug_), afterNudges(5));
  EXPECT_TRUE(LooksLikeBackground(editor_->BackBuffer(), background.get(), kTimeRocker));
  EXPECT_EQ(CountCalls(vst2::audioMasterBeginEdit, kTimesNudge), 1);
  EXPECT_EQ(CountCalls(vst2::audioMasterEndEdit, kTimesNudge), 1);
}

TEST_F(OpenEditor, HoldingTheVolumeRockersLeftHalfLowersTheCycleStepsOnly) {
  OpenEffect();
  ASSERT_NO_FATAL_FAILURE(SetFromHost(kCycle, 3));
  const std::vector<int> start = Pattern(*plug_);  // volumes all 4

  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, Point(kVolumeRocker.left + 10, 187));
  EXPECT_EQ(plug_->GetParam(kVolumesNudge)->Value(), -1.0);
  EXPECT_STREQ(plug_->InfoText->GetText(), "Steps volume: -25%");
  std::vector<int> expected = start;
  for (int i = 0; i < 3; ++i) expected[32 + i] = 3;
  EXPECT_EQ(Pattern(*plug_), expected);

  auto background = Image(100);
  auto rocker = Image(103);
  ASSERT_NE(background, nullptr);
  ASSERT_NE(rocker, nullptr);
  Tick();
  // The left half (up to the centre, x 541) shows the pressed frame.
  EXPECT_GT(PressedFramePixelsShown(editor_->BackBuffer(), rocker.get(), background.get(), 1,
                                    kVolumeRocker.left, kVolumeRocker.top),
            50);
  Tick(8);
  EXPECT_EQ(plug_->GetParam(kVolumesNudge)->Value(), -1.0);
  Tick(4);  // about 10 ticks after the press: -2, the second nudge
  EXPECT_EQ(plug_->GetParam(kVolumesNudge)->Value(), -2.0);
  for (int i = 0; i < 3; ++i) expected[32 + i] = 2;
  EXPECT_EQ(Pattern(*plug_), expected);

  SendMessageA(window_, WM_LBUTTONUP, 0, Point(kVolumeRocker.left + 10, 187));
  EXPECT_EQ(plug_->GetParam(kVolumesNudge)->Value(), 0.0);
  Tick(3);
  EXPECT_EQ(Pattern(*plug_), expected);
  EXPECT_TRUE(LooksLikeBackground(editor_->BackBuffer(), background.get(), kVolumeRocker));
}

// Columns from the bar's left edge that show the time-bar colour, in a row
// through the middle of step 1's time bar (30, 210)-(64, 220).
int FilledWidthOfStepOne(Bitmap* back) {
  int width = 0;
  while (width < 40 && PixelAt(back, 30 + width, 215) == kTimeBarColour) ++width;
  return width;
}

TEST_F(OpenEditor, TimeBarFillsRoundedQuartersOfItsWidth) {
  Bitmap* back = editor_->BackBuffer();
  auto background = Image(100);
  ASSERT_NE(background, nullptr);
  // The empty cell never has the bar's colour, so the run measures the fill.
  for (int x = 30; x <= 64; ++x) ASSERT_NE(PixelAt(background.get(), x, 215), kTimeBarColour);

  // 34 pixels wide: a quarter is 8.5, rounded half away from zero.
  auto expectFill = [&](int width) {
    EXPECT_EQ(FilledWidthOfStepOne(back), width);
    for (int x = 30 + width; x <= 64; ++x) {
      EXPECT_EQ(PixelAt(back, x, 215), PixelAt(background.get(), x, 215)) << x;
    }
    if (width == 0) return;
    int rowsFilled = 0;  // the fill's last column, over the bar's whole height
    for (int y = 210; y < 220; ++y)
      rowsFilled += PixelAt(back, 30 + width - 1, y) == kTimeBarColour;
    EXPECT_EQ(rowsFilled, 10);
  };
  expectFill(17);  // the default: 2 quarters
  Click(30, 215);  // the left end: 0
  Tick();
  EXPECT_EQ(plug_->StepPattern[0], 0);
  expectFill(0);
  Click(63, 215);  // the right end: 4
  Tick();
  EXPECT_EQ(plug_->StepPattern[0], 4);
  expectFill(34);
  Click(47, 215);  // the middle: 2
  Tick();
  EXPECT_EQ(plug_->StepPattern[0], 2);
  expectFill(17);

  // The odd quarters round up: 1 fills 9 pixels, 3 fills 26.
  ASSERT_NO_FATAL_FAILURE(SetFromHost(kPatternWord0, WordOf({1, 2, 2, 2, 2, 2, 2, 2, 2, 2})));
  Tick();
  expectFill(9);
  ASSERT_NO_FATAL_FAILURE(SetFromHost(kPatternWord0, WordOf({3, 2, 2, 2, 2, 2, 2, 2, 2, 2})));
  Tick();
  expectFill(26);
}

}  // namespace
}  // namespace editor_test
