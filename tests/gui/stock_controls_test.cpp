#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "gui/button_control.h"
#include "gui/knob_control.h"
#include "gui/radio_buttons.h"
#include "gui/slider_control.h"
#include "gui/url_open.h"
#include "support/gui_test_images.h"
#include "tests/gui/gui_fixture.h"

namespace {

constexpr int kKnobImage = 940;
constexpr int kRadioImage = 941;
constexpr int kHandleImage = 942;
constexpr int kButtonImage = 943;
constexpr uint32_t kBlack = 0xFF000000;

// A grey 50 x 50 knob with a white 4 x 4 pointer mark at its top centre.
void DefineImages() {
  gui_images::Define(kKnobImage, 50, 50, [](int x, int y) {
    return (x >= 23 && x <= 26 && y >= 2 && y <= 5) ? 0xFFFFFFFFu : 0xFF404040u;
  });
  gui_images::Define(kRadioImage, 70, 72,
                     [](int x, int y) { return gui_images::PositionPixel(x, y, 41); });
  gui_images::Define(kHandleImage, 31, 14,
                     [](int x, int y) { return gui_images::PositionPixel(x, y, 42); });
  gui_images::Define(kButtonImage, 22, 20,
                     [](int x, int y) { return gui_images::PositionPixel(x, y, 43); });
}

TextStyle LabelStyle(int size) {
  return TextStyle("Arial", size, Colour{180, 255, 255, 255}, 0, 1);
}

IKnobRotVal* MakeKnob(GuiFixture& f, int positions) {
  DefineImages();
  const BitmapRef image = f.view->LoadBitmap(kKnobImage, "", 1);
  return new IKnobRotVal(&f.plug, GuiTestPlug::kPercent, 100, 100, image, LabelStyle(15), 5, 300,
                         4.0, 0, 0, 1.0f, true, positions);
}

TEST(Knob, GeometryAndGearing) {
  GuiFixture f(300, 300);
  IKnobRotVal* knob = MakeKnob(f, 0);
  f.view->AttachControl(knob);
  f.Attach();
  // 50-pixel image plus a 15-pixel label 5 pixels below: 70 pixels tall.
  EXPECT_EQ(knob->GetRect(), (Rect{75, 75, 125, 145}));
  knob->SetValueFromUser(0.0);

  f.view->OnMouseDown(100, 100, LeftButton());
  f.view->OnMouseDrag(100, 40, LeftButton());
  EXPECT_NEAR(knob->GetValue(), 60.0 / 280.0, 1e-12);
  f.view->OnMouseDrag(100, -180, LeftButton());
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);  // 280 pixels sweep the range
  f.view->OnMouseUp(100, -180, LeftButton());

  knob->SetValueFromUser(0.0);
  MouseMods fine = LeftButton();
  fine.S = true;
  f.view->OnMouseDown(100, 100, fine);
  f.view->OnMouseDrag(100, -180, fine);
  EXPECT_NEAR(knob->GetValue(), 0.1, 1e-12);
  fine.S = false;
  fine.C = true;
  f.view->OnMouseDrag(100, -460, fine);
  EXPECT_NEAR(knob->GetValue(), 0.2, 1e-12);
  f.view->OnMouseUp(100, -460, fine);
  EXPECT_NEAR(knob->GetValue(), 0.2, 1e-12);  // no snapping with positions 0
}

TEST(Knob, SnapsOnReleaseToItsPositions) {
  GuiFixture f(300, 300);
  IKnobRotVal* knob = MakeKnob(f, 5);
  f.view->AttachControl(knob);
  f.Attach();
  for (auto [set, snapped] : {std::pair{0.3, 0.25}, {0.4, 0.5}, {0.9, 1.0}, {0.1, 0.0}}) {
    knob->SetValueFromUser(set);
    f.view->OnMouseDown(100, 100, LeftButton());
    f.view->OnMouseUp(100, 100, LeftButton());
    EXPECT_DOUBLE_EQ(knob->GetValue(), snapped) << set;
  }
}

// Where the pointer mark lands: the centre of the bright pixels.
std::pair<double, double> MarkCentre(HeadlessEditor& view) {
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = 70; y < 130; ++y) {
    for (int x = 70; x < 130; ++x) {
      if (((view.PixelAt(x, y) >> 16) & 255) > 160) {
        sx += x;
        sy += y;
        ++n;
      }
    }
  }
  return n ? std::pair{sx / n, sy / n} : std::pair{-1.0, -1.0};
}

TEST(Knob, TurnsClockwiseThroughThreeHundredDegrees) {
  GuiFixture f(300, 300);
  IKnobRotVal* knob = MakeKnob(f, 0);
  f.view->AttachControl(knob);
  f.Attach();

  // At 0.5 the image is copied unturned and unshifted.
  knob->SetValueFromUser(0.5);
  f.view->ClearBackBuffer(kBlack);
  f.view->Draw(Rect{0, 0, 300, 300});
  EXPECT_EQ(f.view->PixelAt(75, 75), 0xFF404040u);
  EXPECT_EQ(f.view->PixelAt(124, 124), 0xFF404040u);
  EXPECT_EQ(f.view->PixelAt(98, 77), 0xFFFFFFFFu);
  EXPECT_EQ(f.view->PixelAt(101, 80), 0xFFFFFFFFu);
  EXPECT_EQ(f.view->PixelAt(74, 100), kBlack);
  EXPECT_EQ(f.view->PixelAt(125, 100), kBlack);

  // The mark sits 21.5 pixels above the centre; at the ends it is turned by
  // 150 degrees either way (clockwise for rising values).
  const double pi = 3.14159265358979323846;
  for (auto [value, degrees] : {std::pair{1.0, 150.0}, {0.0, -150.0}}) {
    knob->SetValueFromUser(value);
    f.view->ClearBackBuffer(kBlack);
    f.view->Draw(Rect{0, 0, 300, 300});
    const double a = degrees * pi / 180.0;
    const double expectX = 100.0 + 21.5 * std::sin(a);
    const double expectY = 100.0 - 21.5 * std::cos(a);
    const auto [x, y] = MarkCentre(*f.view);
    EXPECT_NEAR(x, expectX, 2.0) << value;
    EXPECT_NEAR(y, expectY, 2.0) << value;
  }
}

TEST(Knob, WheelAndDoubleClick) {
  GuiFixture f(300, 300);
  IKnobRotVal* knob = MakeKnob(f, 0);
  f.view->AttachControl(knob);
  f.Attach();
  EXPECT_DOUBLE_EQ(knob->GetResetValue(), 0.8);  // the parameter's value at attach
  knob->SetValueFromUser(0.5);
  f.view->OnMouseWheel(100, 100, MouseMods{}, 3.0f);
  EXPECT_NEAR(knob->GetValue(), 0.53, 1e-9);
  MouseMods shift;
  shift.S = true;
  f.view->OnMouseWheel(100, 100, shift, 3.0f);
  EXPECT_NEAR(knob->GetValue(), 0.533, 1e-9);
  f.view->OnMouseDoubleClick(100, 100, LeftButton());
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.8);
  EXPECT_DOUBLE_EQ(f.plug.GetParam(GuiTestPlug::kPercent)->Value(), 80.0);
}

// Wheel movement in parts of a notch (fine wheels, touch pads) adds up to
// whole notches on one control in one direction; turning back or moving to
// another control starts again. A notch while a button is held does nothing.
TEST(Knob, WheelPartsAddUpToNotchesAndAHeldPressIgnoresTheWheel) {
  struct Row {
    const char* name;
    std::vector<std::pair<int, float>> moves;  // (x, notches), y 100 on the knob
    int notchesTaken;                          // seen by the knob, in 0.01 steps
  };
  const Row rows[] = {
      {"two halves", {{100, 0.5f}, {100, 0.5f}}, 1},
      {"three thirds", {{100, 1.0f / 3}, {100, 1.0f / 3}, {100, 1.0f / 3}}, 1},
      {"a notch and a half, then a half", {{100, 1.5f}, {100, 0.5f}}, 2},
      {"down in quarters", {{100, -0.25f}, {100, -0.5f}, {100, -0.25f}}, -1},
      {"turning back starts again", {{100, 0.75f}, {100, -0.5f}, {100, 0.5f}}, 0},
      {"another control between", {{100, 0.5f}, {205, 0.25f}, {100, 0.5f}}, 0},
      {"less than a notch", {{100, 0.9f}}, 0},
  };
  for (const Row& row : rows) {
    GuiFixture f(300, 300);
    IKnobRotVal* knob = MakeKnob(f, 0);
    f.view->AttachControl(knob);
    auto* button = new IButton(&f.plug, GuiTestPlug::kSwitch, 200, 200,
                               f.view->LoadBitmap(kButtonImage, "", 1));
    f.view->AttachControl(button);
    f.Attach();
    knob->SetValueFromUser(0.5);
    for (const auto& [x, notches] : row.moves) {
      f.view->OnMouseWheel(x, x, MouseMods{}, notches);
    }
    EXPECT_NEAR(knob->GetValue(), 0.5 + 0.01 * row.notchesTaken, 1e-9) << row.name;
  }

  GuiFixture f(300, 300);
  IKnobRotVal* knob = MakeKnob(f, 0);
  f.view->AttachControl(knob);
  f.Attach();
  f.view->OnMouseDown(100, 100, LeftButton());
  const double held = knob->GetValue();
  f.plug.log.clear();
  f.view->OnMouseWheel(100, 100, LeftButton(), 1.0f);
  EXPECT_EQ(knob->GetValue(), held);
  EXPECT_TRUE(f.plug.log.empty());
  EXPECT_EQ(f.view->deferredTicks, 0);
  f.view->OnMouseUp(100, 100, LeftButton());
  EXPECT_EQ(f.plug.LogWith("begin"), std::vector<std::string>{});
  EXPECT_EQ(f.plug.LogWith("end"), std::vector<std::string>{"end 0"});
}

TEST(Control, ClampsUserValuesAndKeepsTheFirstPluginValueAsReset) {
  GuiFixture f(300, 300);
  IKnobRotVal* knob = MakeKnob(f, 0);
  f.view->AttachControl(knob);
  EXPECT_DOUBLE_EQ(knob->GetResetValue(), -1.0);
  // Without a plug-in value a double click changes nothing.
  knob->SetValueFromUser(0.3);
  knob->OnMouseDoubleClick(0, 0, LeftButton());
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.3);

  knob->MarkClean();
  knob->MarkClean();
  knob->SetValueFromPlugin(0.3);  // equal value, but the first: still dirty
  EXPECT_TRUE(knob->NeedsRedraw());
  EXPECT_DOUBLE_EQ(knob->GetResetValue(), 0.3);

  f.plug.log.clear();
  knob->SetValueFromUser(1.3);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  EXPECT_EQ(f.plug.LogWith("automate"), (std::vector<std::string>{"automate 0 1"}));
  f.Attach();
}

TEST(Gestures, DragDoubleClickAndWheelRuns) {
  GuiFixture f(300, 300);
  IKnobRotVal* knob = MakeKnob(f, 0);
  f.view->AttachControl(knob);
  DefineImages();
  auto* button =
      new IButton(&f.plug, GuiTestPlug::kSwitch, 200, 200, f.view->LoadBitmap(kButtonImage, "", 1));
  f.view->AttachControl(button);
  f.Attach();

  f.plug.log.clear();
  f.view->OnMouseDown(100, 100, LeftButton());
  f.view->OnMouseDrag(100, 90, LeftButton());
  f.view->OnMouseUp(100, 90, LeftButton());
  // The drag and the release (which may snap) each send the value.
  ASSERT_EQ(f.plug.log.size(), 6u);
  EXPECT_EQ(f.plug.log.front(), "begin 0");
  for (size_t i = 1; i < 5; i += 2) {
    EXPECT_EQ(f.plug.log[i].rfind("automate 0 ", 0), 0u);
    EXPECT_EQ(f.plug.log[i + 1].rfind("changed 0 = ", 0), 0u);
  }
  EXPECT_EQ(f.plug.log.back(), "end 0");

  // A double click begins and holds the control (the window captures the
  // mouse); the mouse up the platform sends after it ends.
  f.plug.log.clear();
  EXPECT_TRUE(f.view->OnMouseDoubleClick(100, 100, LeftButton()));
  f.view->OnMouseUp(100, 100, LeftButton());
  EXPECT_EQ(f.plug.log, (std::vector<std::string>{"begin 0", "automate 0 0.8", "changed 0 = 80",
                                                  "automate 0 0.8", "changed 0 = 80", "end 0"}));

  // Wheel notches on one control form one gesture, ended by the countdown; a
  // notch on another control closes it first.
  f.plug.log.clear();
  f.view->OnMouseWheel(100, 100, MouseMods{}, 1.0f);
  f.view->OnMouseWheel(100, 100, MouseMods{}, 1.0f);
  EXPECT_EQ(f.view->deferredTicks, 12);
  EXPECT_EQ(f.plug.LogWith("begin").size(), 1u);
  EXPECT_TRUE(f.plug.LogWith("end").empty());
  f.view->OnMouseWheel(205, 205, MouseMods{}, 1.0f);
  f.plug.FlushPendingEditEnd();
  EXPECT_EQ(f.plug.LogWith("begin"), (std::vector<std::string>{"begin 0", "begin 4"}));
  EXPECT_EQ(f.plug.LogWith("end"), (std::vector<std::string>{"end 0", "end 4"}));
  EXPECT_EQ(f.view->deferredTicks, 0);
}

// A press ends exactly once: at its release, when the window loses the mouse
// (as a release at the last position), or when the other button goes down.
// A release without a press of ours ends nothing.
TEST(Gestures, EveryPressEndsOnce) {
  GuiFixture f(300, 300);
  f.view->AttachControl(MakeKnob(f, 0));
  auto* button =
      new IButton(&f.plug, GuiTestPlug::kSwitch, 200, 200, f.view->LoadBitmap(kButtonImage, "", 1));
  f.view->AttachControl(button);
  f.Attach();
  const std::vector<std::string> knobGesture = {"begin 0", "end 0"};

  f.plug.log.clear();
  f.view->OnMouseDown(100, 100, LeftButton());
  f.view->OnMouseDrag(100, 90, LeftButton());
  f.view->OnCaptureLost();
  f.view->OnCaptureLost();
  f.view->OnMouseUp(100, 90, MouseMods{});
  f.view->OnMouseUp(205, 205, MouseMods{});
  EXPECT_EQ(f.plug.LogWith("begin"), std::vector<std::string>{"begin 0"});
  EXPECT_EQ(f.plug.LogWith("end"), std::vector<std::string>{"end 0"});
  EXPECT_EQ(f.view->CapturedControl(), -1);

  f.plug.log.clear();
  f.view->OnMouseDown(100, 100, LeftButton());
  f.view->OnMouseDown(205, 205, RightButton());
  f.view->OnMouseUp(100, 100, MouseMods{});
  f.view->OnMouseUp(205, 205, MouseMods{});
  std::vector<std::string> gestures;
  for (const std::string& entry : f.plug.log) {
    if (entry.rfind("begin", 0) == 0 || entry.rfind("end", 0) == 0) gestures.push_back(entry);
  }
  EXPECT_EQ(gestures, (std::vector<std::string>{"begin 0", "end 0", "begin 4", "end 4"}));
}

TEST(Button, TogglesAndDrawsOnlyWhenOn) {
  DefineImages();
  GuiFixture f(300, 300);
  auto* button =
      new IButton(&f.plug, GuiTestPlug::kSwitch, 288, 179, f.view->LoadBitmap(kButtonImage, "", 1));
  f.view->AttachControl(button);
  f.Attach();
  EXPECT_EQ(button->GetRect(), (Rect{288, 179, 310, 199}));
  button->SetValueFromPlugin(0.5);
  button->OnMouseDown(290, 180, LeftButton());
  EXPECT_DOUBLE_EQ(button->GetValue(), 1.0);
  button->SetValueFromPlugin(0.6);
  button->OnMouseDown(290, 180, LeftButton());
  EXPECT_DOUBLE_EQ(button->GetValue(), 0.0);
  f.view->ClearBackBuffer(kBlack);
  f.view->Draw(Rect{0, 0, 300, 300});
  EXPECT_EQ(f.view->PixelAt(288, 179), kBlack);
  button->OnMouseDown(290, 180, LeftButton());
  f.view->Draw(Rect{0, 0, 300, 300});
  EXPECT_EQ(f.view->PixelAt(288, 179), gui_images::PositionPixel(0, 0, 43));
  EXPECT_EQ(f.view->PixelAt(299, 198), gui_images::PositionPixel(11, 19, 43));
}

TEST(RadioButtons, FourEqualButtonsAndTheSelectedOneIsCopied) {
  DefineImages();
  GuiFixture f(620, 285);
  auto* radio = new IRadioButtons(&f.plug, GuiTestPlug::kChoice, 387, 97,
                                  f.view->LoadBitmap(kRadioImage, "", 4), true, 0, 0, 0, 0);
  f.view->AttachControl(radio);
  f.Attach();
  EXPECT_EQ(radio->GetRect(), (Rect{387, 97, 457, 169}));
  ASSERT_EQ(radio->ButtonCount(), 4);
  EXPECT_EQ(radio->Button(0), (Rect{387, 97, 457, 115}));
  EXPECT_EQ(radio->Button(2), (Rect{387, 133, 457, 151}));
  EXPECT_EQ(radio->Button(3), (Rect{387, 151, 457, 169}));

  f.view->OnMouseDown(400, 140, LeftButton());
  f.view->OnMouseUp(400, 140, LeftButton());
  EXPECT_DOUBLE_EQ(radio->GetValue(), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(f.plug.GetParam(GuiTestPlug::kChoice)->Value(), 2.0);

  f.view->ClearBackBuffer(kBlack);
  f.view->Draw(Rect{0, 0, 620, 285});
  EXPECT_EQ(f.view->PixelAt(387, 133), gui_images::PositionPixel(0, 36, 41));
  EXPECT_EQ(f.view->PixelAt(456, 150), gui_images::PositionPixel(69, 53, 41));
  EXPECT_EQ(f.view->PixelAt(387, 132), kBlack);
  EXPECT_EQ(f.view->PixelAt(387, 151), kBlack);
}

TEST(Slider, TrackHandleAndLine) {
  DefineImages();
  GuiFixture f(620, 285);
  auto* slider = new ISlider(&f.plug, GuiTestPlug::kPercent, Rect{193, 174, 285, 194},
                             f.view->LoadBitmap(kHandleImage, "", 1), LabelStyle(0), 89, true,
                             Colour{255, 66, 110, 170}, 2, 8);
  f.view->AttachControl(slider);
  f.Attach();
  EXPECT_EQ(slider->HandleArea(), (Rect{195, 174, 283, 188}));
  EXPECT_EQ(slider->TrackArea(), (Rect{195, 174, 283, 188}));
  EXPECT_EQ(slider->Travel(), 58);

  // The pointer holds the handle by its centre, 15.5 pixels into it.
  f.view->OnMouseDown(239, 180, LeftButton());
  f.view->OnMouseUp(239, 180, LeftButton());
  EXPECT_NEAR(slider->GetValue(), 28.5 / 58.0, 1e-6);
  EXPECT_NEAR(f.plug.GetParam(GuiTestPlug::kPercent)->Value(), 2850.0 / 58.0, 1e-4);
  slider->SetValueFromUser(0.5);

  f.view->ClearBackBuffer(kBlack);
  f.view->Draw(Rect{0, 0, 620, 285});
  const uint32_t line = 0xFF426EAA;
  // Line rows 180-181 from x 203 to the handle at 224.
  EXPECT_EQ(f.view->PixelAt(203, 180), line);
  EXPECT_EQ(f.view->PixelAt(223, 181), line);
  EXPECT_EQ(f.view->PixelAt(202, 180), kBlack);
  EXPECT_EQ(f.view->PixelAt(210, 179), kBlack);
  EXPECT_EQ(f.view->PixelAt(210, 182), kBlack);
  EXPECT_EQ(f.view->PixelAt(224, 174), gui_images::PositionPixel(0, 0, 42));
  EXPECT_EQ(f.view->PixelAt(254, 187), gui_images::PositionPixel(30, 13, 42));

  // A press off the track leaves the value alone.
  f.view->OnMouseDown(284, 180, LeftButton());
  EXPECT_NEAR(slider->GetValue(), 0.5, 1e-6);
}

TEST(UrlOpen, OpensTheEffectPage) {
  GuiFixture f(620, 285);
  f.view->AttachControl(new IURLOpen(&f.plug, Rect{164, 6, 356, 54}));
  f.Attach();
  f.view->OnMouseDown(200, 20, RightButton());
  ASSERT_EQ(f.view->openedUrls.size(), 1u);
  EXPECT_EQ(f.view->openedUrls[0], std::string("https://") + IURLOpen::kWebHost + "/Quorvel");
  EXPECT_EQ(f.view->lastUrlError, "Cannot open url. Check your default browser.");
}

}  // namespace
