#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "gui/empty_control.h"
#include "gui/rocker_button.h"
#include "gui/step_activity.h"
#include "gui/step_bar.h"
#include "gui/step_chances.h"
#include "support/gui_test_images.h"
#include "tests/engine/pattern_test_seed.h"
#include "tests/gui/gui_fixture.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000;

struct BarFixture : GuiFixture {
  BarFixture() : GuiFixture(620, 285) {
    pattern[0] = 2;
    view->AttachControl(new IEmpty(&plug, GuiTestPlug::kStepEdited));
    // A 100-pixel bar makes positions read as percentages.
    bar = new MyBar(&plug, Rect{0, 0, 100, 10}, Colour{255, 130, 195, 255}, 0, &pattern[0],
                    &editedIndex, &editedValue);
    view->AttachControl(bar);
    Attach();
    plug.log.clear();
  }
  uint16_t pattern[64] = {};
  uint16_t editedIndex = 99;
  uint16_t editedValue = 99;
  MyBar* bar;
};

TEST(StepBar, Quantisers) {
  EXPECT_EQ(MyBar::CurvedQuantise(0.20), 0);
  EXPECT_EQ(MyBar::CurvedQuantise(0.25), 1);
  EXPECT_EQ(MyBar::CurvedQuantise(0.50), 2);
  EXPECT_EQ(MyBar::CurvedQuantise(0.70), 3);
  EXPECT_EQ(MyBar::CurvedQuantise(0.80), 4);
  EXPECT_EQ(MyBar::LinearQuantise(0.20), 1);
  EXPECT_EQ(MyBar::LinearQuantise(0.25), 1);
  EXPECT_EQ(MyBar::LinearQuantise(0.60), 2);
  EXPECT_EQ(MyBar::LinearQuantise(0.90), 4);
  // The curved zone limits are acos(1 - (k + 0.5) / 2) / pi.
  const double pi = 3.14159265358979323846;
  for (int k = 0; k < 4; ++k) {
    const double limit = std::acos(1.0 - (k + 0.5) / 2.0) / pi;
    EXPECT_EQ(MyBar::CurvedQuantise(limit - 0.002), k);
    EXPECT_EQ(MyBar::CurvedQuantise(limit + 0.002), k + 1);
  }
}

TEST(StepBar, ClicksDragsAndRightClicksSetTheEntry) {
  BarFixture f;
  EXPECT_DOUBLE_EQ(f.bar->GetValue(), 0.5);
  f.view->OnMouseDown(25, 5, LeftButton());
  EXPECT_EQ(f.pattern[0], 1);
  EXPECT_EQ(f.editedIndex, 0);
  EXPECT_EQ(f.editedValue, 1);
  EXPECT_DOUBLE_EQ(f.bar->GetValue(), 0.25);
  f.view->OnMouseUp(25, 5, LeftButton());

  f.view->OnMouseDown(20, 5, LeftButton());
  EXPECT_EQ(f.pattern[0], 0);
  f.view->OnMouseDrag(50, 5, LeftButton());
  EXPECT_EQ(f.pattern[0], 2);
  f.view->OnMouseDrag(20, 5, LeftButton());
  EXPECT_EQ(f.pattern[0], 1);  // linear while dragging
  f.view->OnMouseDrag(150, 5, LeftButton());
  EXPECT_EQ(f.pattern[0], 1);  // beyond the end: the last in-bar value stays
  f.view->OnMouseUp(150, 5, LeftButton());

  f.view->OnMouseDown(3, 5, RightButton());
  EXPECT_EQ(f.pattern[0], 4);
  EXPECT_EQ(f.editedValue, 4);
  EXPECT_DOUBLE_EQ(f.bar->GetValue(), 1.0);
}

TEST(StepBar, EveryEditRaisesStepEditedOnceThroughTheParameterPath) {
  BarFixture f;
  f.view->OnMouseDown(50, 5, LeftButton());  // same entry as before: still an edit
  f.view->OnMouseUp(50, 5, LeftButton());
  EXPECT_EQ(f.plug.log, (std::vector<std::string>{"begin 24", "automate 24 1", "changed 24 = 1",
                                                  "automate 24 0", "changed 24 = 0", "end 24"}));
  EXPECT_DOUBLE_EQ(f.plug.GetParam(GuiTestPlug::kStepEdited)->Value(), 0.0);

  f.plug.log.clear();
  f.view->OnMouseDown(50, 5, LeftButton());
  f.view->OnMouseDrag(60, 5, LeftButton());
  f.view->OnMouseDrag(90, 5, LeftButton());
  f.view->OnMouseUp(90, 5, LeftButton());
  EXPECT_EQ(f.plug.LogWith("changed 24 = 1").size(), 3u);
  EXPECT_EQ(f.plug.LogWith("begin 24").size(), 3u);
  EXPECT_EQ(f.plug.LogWith("end 24").size(), 3u);
}

TEST(StepBar, DrawsItsQuartersAndWritesPluginValuesIntoThePattern) {
  BarFixture f;
  f.bar->SetValueFromPlugin(0.75);
  f.view->ClearBackBuffer(kBlack);
  f.view->Draw(Rect{0, 0, 620, 285});
  EXPECT_EQ(f.pattern[0], 3);
  EXPECT_EQ(f.view->PixelAt(74, 9), 0xFF82C3FFu);
  EXPECT_EQ(f.view->PixelAt(75, 0), kBlack);

  // A volume bar's colour is 200/255 opaque: green 255 over black becomes
  // 255 + (0 - 255) * 56 / 256 = 200, blue 180 becomes 141, alpha 212.
  uint16_t entry = 2;
  uint16_t index = 0, value = 0;
  f.view->AttachControl(new MyBar(&f.plug, Rect{30, 255, 64, 263}, Colour{200, 0, 255, 180}, 32,
                                  &entry, &index, &value));
  f.view->Draw(Rect{0, 0, 620, 285});
  EXPECT_EQ(f.view->PixelAt(30, 255), 0xD400C88Du);
  EXPECT_EQ(f.view->PixelAt(46, 262), 0xD400C88Du);  // round(34 x 0.5) = 17 columns
  EXPECT_EQ(f.view->PixelAt(47, 255), kBlack);
}

// The editor's step grid (two rows of 16 time and level bars) under the
// three chance words' marks, and the StepEdited relay.
struct ChanceFixture : GuiFixture {
  ChanceFixture() : GuiFixture(620, 285) {
    view->AttachControl(new IEmpty(&plug, GuiTestPlug::kStepEdited));
    for (int i = 0; i < 32; ++i) {
      const int x = 30 + 35 * (i % 16), y = 221 + 34 * (i / 16);
      times[i] = Rect{x, y - 11, x + 34, y - 1};
      levels[i] = Rect{x, y, x + 34, y + 8};
      pattern[i] = 2;
      pattern[32 + i] = 4;
      view->AttachControl(new MyBar(&plug, times[i], Colour{255, 130, 195, 255},
                                    static_cast<int16_t>(i), &pattern[i], &index, &value));
      view->AttachControl(new MyBar(&plug, levels[i], Colour{200, 0, 255, 180},
                                    static_cast<int16_t>(32 + i), &pattern[32 + i], &index,
                                    &value));
    }
    for (int g = 0; g < 3; ++g) view->AttachControl(new StepChances(&plug, g, times));
    Attach();
  }
  uint16_t pattern[64] = {};
  uint16_t index = 0, value = 0;
  Rect times[32], levels[32];
};

TEST(StepChance, RandomCtrlClicksKeepEveryStepsLevel) {
  const unsigned seed = PatternTestSeed(2317);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  ChanceFixture f;
  int model[32] = {};
  for (int round = 0; round < 300; ++round) {
    const int step = static_cast<int>(random() % 32);
    const int how = static_cast<int>(random() % 3);  // time bar, level bar, double click
    MouseMods mods = LeftButton();
    mods.C = true;
    // Anywhere on the bar, edges included, then a drag across other steps.
    const Rect bar = how == 1 ? f.levels[step] : f.times[step];
    const int x = bar.left + static_cast<int>(random() % 35);
    const int y = bar.top + static_cast<int>(random() % static_cast<unsigned>(bar.Height() + 1));
    f.plug.log.clear();
    if (how == 2) {
      f.view->OnMouseDoubleClick(x, y, mods);
    } else {
      f.view->OnMouseDown(x, y, mods);
    }
    f.view->OnMouseDrag(x + 70, y, mods);
    f.view->OnMouseUp(x + 70, y, mods);
    model[step] = (model[step] + 1) % 4;
    // One gesture on the step's word; every step's level decoded from the
    // words (word g holds steps 11g on, the first most significant).
    const std::string word = std::to_string(21 + step / 11);
    const std::string gesture[] = {"begin " + word, "automate " + word + " ",
                                   "changed " + word + " = ", "end " + word};
    ASSERT_EQ(f.plug.log.size(), 4u) << round;
    for (int j = 0; j < 4; ++j) EXPECT_EQ(f.plug.log[j].rfind(gesture[j], 0), 0u) << round;
    for (int s = 0; s < 32; ++s) {
      auto bits = static_cast<int64_t>(f.plug.GetParam(21 + s / 11)->Value());
      for (int later = s / 11 == 2 ? 31 : s / 11 * 11 + 10; later > s; --later) bits /= 4;
      ASSERT_EQ(bits % 4, model[s]) << round << " step " << s;
    }
  }
  for (int i = 0; i < 64; ++i) EXPECT_EQ(f.pattern[i], i < 32 ? 2 : 4) << i;
}

TEST(StepChance, MarksSitInTheTimeBarsCornerAtEverySize) {
  ChanceFixture f;
  // Step 1 at 25 % (three marks), step 2 at 75 % (one): word 0 = 3 x 4^10 + 4^9.
  f.plug.GetParam(21)->SetValue(3.0 * 1048576 + 262144);
  f.view->SetParameterFromPlugin(21, f.plug.GetParam(21)->GetNormalized(), true);
  for (int i = 0; i < 64; ++i) f.pattern[i] = 0;
  for (int i = 1; i <= 64; ++i) f.view->GetControl(i)->SetValueFromPlugin(0.0);
  // Mark k is 3 pixels square, its right edge 1 + 4k in from the bar's, its
  // bottom 1 up: step 1's bar (30, 210)-(64, 220) has marks over x 60-62,
  // 56-58, 52-54, rows 216-218; step 2's, from x 65, one over x 95-97.
  const struct {
    int percent, x, y;
    bool marked;
  } pixels[] = {
      {100, 60, 216, true},   {100, 62, 218, true},   {100, 63, 216, false}, {100, 62, 219, false},
      {100, 59, 216, false},  {100, 52, 218, true},   {100, 51, 216, false}, {100, 60, 215, false},
      {100, 95, 216, true},   {100, 91, 216, false},  {200, 120, 432, true}, {200, 125, 437, true},
      {200, 126, 432, false}, {200, 125, 438, false}, {200, 104, 437, true}, {200, 103, 432, false},
      {200, 190, 432, true},  {200, 189, 432, false},
  };
  for (int percent : {100, 200}) {
    f.view->SetSizePercent(percent);
    f.view->ClearBackBuffer(kBlack);
    f.view->Draw(f.view->PixelRect(Rect{0, 0, 620, 285}));
    for (const auto& p : pixels) {
      if (p.percent == percent) {
        EXPECT_EQ(f.view->PixelAt(p.x, p.y), p.marked ? 0xFFFFB040 : kBlack)
            << percent << "%: " << p.x << "," << p.y;
      }
    }
  }
}

TEST(Rocker, MovesOneStepPerTickWhileHeldAndRestsOnRelease) {
  gui_images::Define(950, 112, 31,
                     [](int x, int y) { return gui_images::PositionPixel(x, y, 50); });
  GuiFixture f(620, 285);
  auto* rocker =
      new MyBar2(&f.plug, GuiTestPlug::kTimesNudge, 22, 172, f.view->LoadBitmap(950, "", 2));
  f.view->AttachControl(rocker);
  f.Attach();
  EXPECT_EQ(rocker->GetRect(), (Rect{22, 172, 134, 203}));
  while (f.Tick()) {
  }

  f.plug.log.clear();
  f.view->OnMouseDown(100, 180, LeftButton());
  EXPECT_DOUBLE_EQ(rocker->GetValue(), 0.6);
  EXPECT_DOUBLE_EQ(f.plug.GetParam(GuiTestPlug::kTimesNudge)->Value(), 1.0);

  f.view->ClearBackBuffer(kBlack);
  std::vector<double> sent{rocker->GetValue()};
  for (int tick = 0; tick < 200 && rocker->GetValue() < 1.0; ++tick) {
    ASSERT_TRUE(f.Tick());
    sent.push_back(rocker->GetValue());
  }
  // The pressed right half is drawn from the image's second frame.
  EXPECT_EQ(f.view->PixelAt(78, 172), gui_images::PositionPixel(56, 0, 50));
  EXPECT_EQ(f.view->PixelAt(77, 172), kBlack);
  EXPECT_NEAR(sent[1], 0.605, 1e-9);
  EXPECT_NEAR(sent[2], 0.61, 1e-9);
  EXPECT_DOUBLE_EQ(sent.back(), 1.0);
  EXPECT_GE(sent.size(), 81u);
  EXPECT_LE(sent.size(), 82u);
  EXPECT_EQ(f.plug.LogWith("automate").size(), sent.size());
  EXPECT_DOUBLE_EQ(f.plug.GetParam(GuiTestPlug::kTimesNudge)->Value(), 5.0);

  // At the end it no longer moves or sends.
  f.plug.log.clear();
  f.Tick();
  EXPECT_TRUE(f.plug.LogWith("automate").empty());

  f.view->OnMouseUp(100, 180, LeftButton());
  EXPECT_DOUBLE_EQ(rocker->GetValue(), 0.5);
  EXPECT_EQ(f.plug.LogWith("automate"), (std::vector<std::string>{"automate 25 0.5"}));
  EXPECT_EQ(f.plug.LogWith("end"), (std::vector<std::string>{"end 25"}));
  EXPECT_TRUE(f.Tick());  // drawn once more after release
  EXPECT_FALSE(f.Tick());
}

TEST(Rocker, PressOnTheCentreSendsTheCurrentValue) {
  gui_images::Define(950, 112, 31,
                     [](int x, int y) { return gui_images::PositionPixel(x, y, 50); });
  GuiFixture f(620, 285);
  auto* rocker =
      new MyBar2(&f.plug, GuiTestPlug::kTimesNudge, 22, 172, f.view->LoadBitmap(950, "", 2));
  f.view->AttachControl(rocker);
  f.Attach();
  f.plug.log.clear();
  f.view->OnMouseDown(78, 180, LeftButton());
  EXPECT_EQ(f.plug.LogWith("automate"), (std::vector<std::string>{"automate 25 0.5"}));
  EXPECT_DOUBLE_EQ(rocker->GetValue(), 0.5);
  f.view->OnMouseDown(50, 180, RightButton());
  EXPECT_DOUBLE_EQ(rocker->GetValue(), 0.5);
}

TEST(Activity, LampFollowsTheCurrentStep) {
  gui_images::Define(107, 11, 7, [](int x, int y) { return gui_images::PositionPixel(x, y, 107); });
  gui_images::Define(108, 11, 7, [](int x, int y) { return gui_images::PositionPixel(x, y, 108); });
  GuiFixture f(620, 285);
  uint16_t currentStep = 17;
  f.view->AttachControl(new SampleActivity(&f.plug, Rect{30, 230, 589, 243}, &currentStep));
  f.Attach();
  f.view->ClearBackBuffer(kBlack);
  f.view->Draw(Rect{30, 230, 589, 243});
  // Step 17 of 0..31 is the second lamp of the lower row, 7 pixels above the bottom.
  EXPECT_EQ(f.view->PixelAt(77, 236), gui_images::PositionPixel(0, 0, 108));
  EXPECT_EQ(f.view->PixelAt(87, 242), gui_images::PositionPixel(10, 6, 108));
  EXPECT_EQ(f.view->PixelAt(76, 236), kBlack);

  currentStep = 3;
  f.view->ClearBackBuffer(kBlack);
  f.view->Draw(Rect{30, 230, 589, 243});
  EXPECT_EQ(f.view->PixelAt(30 + 105 + 12, 230), gui_images::PositionPixel(0, 0, 107));
  EXPECT_EQ(f.view->PixelAt(77, 236), kBlack);
}

}  // namespace
