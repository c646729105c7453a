// The editor's layout, built into a view without a window: the 93 controls in
// drawing order, their places, and what the engine keeps of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "engine/editor_layout.h"
#include "engine/gate_plug.h"
#include "framework/vst2_interface.h"
#include "graphics/bitmap.h"
#include "gui/button_control.h"
#include "gui/control.h"
#include "gui/editor_scale.h"
#include "gui/editor_view.h"
#include "gui/empty_control.h"
#include "gui/groove_controls.h"
#include "gui/image_control.h"
#include "gui/image_scaling.h"
#include "gui/knob_control.h"
#include "gui/pattern_menu.h"
#include "gui/pattern_menu_openers.h"
#include "gui/program_slot.h"
#include "gui/radio_buttons.h"
#include "gui/rocker_button.h"
#include "gui/slider_control.h"
#include "gui/step_activity.h"
#include "gui/step_bar.h"
#include "gui/step_chances.h"
#include "gui/text_control.h"
#include "gui/url_open.h"
#include "support/project_image_view.h"

namespace {

class EditorLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    plug_ = std::make_unique<VSTCLASS>(SilentHost);
    // The effect's own editor (the X11 window, never opened here) gives way
    // to a view the test can draw without a display.
    ASSERT_NE(plug_->Editor(), nullptr);
    ASSERT_FALSE(plug_->Editor()->IsWindowOpen());
    view_ = new ProjectImageView(plug_.get());
    AttachEditorLayout(plug_.get(), plug_.get(), view_);
  }

  template <typename T>
  T* ControlAs(int index) {
    return dynamic_cast<T*>(view_->GetControl(index));
  }

  std::unique_ptr<VSTCLASS> plug_;
  ProjectImageView* view_ = nullptr;  // owned by the plug-in once attached
};

void ExpectRect(const Rect& actual, const Rect& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(EditorLayout, HoldsNinetyThreeControlsInDrawingOrder) {
  ASSERT_EQ(view_->ControlCount(), kEditorControlCount);
  ASSERT_NE(ControlAs<IImageControl>(0), nullptr);
  ExpectRect(view_->GetControl(0)->GetRect(), Rect{0, 0, 620, 285});

  auto* version = ControlAs<ITextControl>(1);
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version->GetText(), "v1.00");
  ExpectRect(version->GetRect(), Rect{558, 40, 608, 58});
  ASSERT_NE(ControlAs<IURLOpen>(2), nullptr);
  ExpectRect(view_->GetControl(2)->GetRect(), Rect{164, 6, 356, 54});
  auto* status = ControlAs<ITextControl>(3);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status, plug_->InfoText);
  ExpectRect(status->GetRect(), Rect{316, 180, 446, 198});

  const int knobParams[] = {kRate, kCycle, kAttack, kRelease, kFade, kSplitFreq, kMix};
  for (int k = 0; k < 7; ++k) {
    auto* knob = ControlAs<IKnobRotVal>(4 + k);
    ASSERT_NE(knob, nullptr) << k;
    EXPECT_EQ(knob->GetParamIndex(), knobParams[k]);
  }
  // 50 x 50 knob with a 15-pixel label 5 pixels below: (x - 25, y - 25, x + 25, y + 45).
  ExpectRect(view_->GetControl(4)->GetRect(), Rect{26, 100, 76, 170});
  ExpectRect(view_->GetControl(10)->GetRect(), Rect{544, 100, 594, 170});

  auto* target = ControlAs<IRadioButtons>(11);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(target->GetParamIndex(), kTarget);
  ExpectRect(target->GetRect(), Rect{387, 97, 457, 169});
  ASSERT_EQ(target->ButtonCount(), 4);
  ExpectRect(target->Button(2), Rect{387, 133, 457, 151});

  auto* gate = ControlAs<ISlider>(12);
  ASSERT_NE(gate, nullptr);
  EXPECT_EQ(gate->GetParamIndex(), kGate);
  ExpectRect(gate->GetRect(), Rect{193, 174, 285, 194});
  ExpectRect(gate->TrackArea(), Rect{195, 174, 283, 188});
  EXPECT_EQ(gate->Travel(), 58);

  auto* padlock = ControlAs<IButton>(13);
  ASSERT_NE(padlock, nullptr);
  EXPECT_EQ(padlock->GetParamIndex(), kTieLock);
  ExpectRect(padlock->GetRect(), Rect{288, 179, 310, 199});

  auto* edits = ControlAs<IEmpty>(14);
  ASSERT_NE(edits, nullptr);
  EXPECT_EQ(edits->GetParamIndex(), kStepEdited);
  EXPECT_TRUE(edits->GetRect().IsEmpty());

  auto* timeRocker = ControlAs<MyBar2>(15);
  auto* volumeRocker = ControlAs<MyBar2>(16);
  ASSERT_NE(timeRocker, nullptr);
  ASSERT_NE(volumeRocker, nullptr);
  EXPECT_EQ(timeRocker->GetParamIndex(), kTimesNudge);
  EXPECT_EQ(volumeRocker->GetParamIndex(), kVolumesNudge);
  ExpectRect(timeRocker->GetRect(), Rect{22, 172, 134, 203});
  ExpectRect(volumeRocker->GetRect(), Rect{485, 172, 597, 203});

  for (int i = 0; i < 32; ++i) {
    auto* timeBar = ControlAs<MyBar>(17 + 2 * i);
    auto* volumeBar = ControlAs<MyBar>(18 + 2 * i);
    ASSERT_NE(timeBar, nullptr) << i;
    ASSERT_NE(volumeBar, nullptr) << i;
    EXPECT_EQ(timeBar->EntryNumber(), i);
    EXPECT_EQ(volumeBar->EntryNumber(), 32 + i);
    EXPECT_EQ(plug_->timeBars[i], timeBar);
    EXPECT_EQ(plug_->volumeBars[i], volumeBar);
  }

  ASSERT_NE(ControlAs<SampleActivity>(81), nullptr);
  ExpectRect(view_->GetControl(81)->GetRect(), Rect{30, 230, 589, 243});

  // The header's groove controls, then the chance marks over the time bars
  // of steps 1-11, 12-22 (across both rows) and 23-32; the sliders' travel
  // and the selectors' buttons are checked by clicks below.
  const struct {
    int param;
    Rect rect;
  } groove[] = {{kSwing, {56, 6, 158, 30}},
                {kChance, {56, 32, 158, 56}},
                {kRestartMode, {426, 8, 594, 22}},
                {kMidiSwitch, {426, 25, 594, 39}},
                {-1, {426, 42, 554, 56}},
                {kChanceWord0, {30, 210, 414, 220}},
                {kChanceWord1, {30, 210, 589, 254}},
                {kChanceWord2, {240, 244, 589, 254}}};
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(view_->GetControl(82 + k)->GetParamIndex(), groove[k].param) << k;
    ExpectRect(view_->GetControl(82 + k)->GetRect(), groove[k].rect);
    EXPECT_EQ(view_->GetControl(82 + k)->GetTooltip() != nullptr, k < 5) << k;
  }
  ASSERT_NE(ControlAs<GrooveSlider>(83), nullptr);
  ASSERT_NE(ControlAs<GrooveSelector>(85), nullptr);
  ASSERT_NE(ControlAs<ProgramSlot>(86), nullptr);
  ASSERT_NE(ControlAs<StepChances>(89), nullptr);

  // The grid's frame only hears presses; the pattern button sits in the footer.
  auto* frame = ControlAs<GridFrame>(90);
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->GetRect().IsEmpty());
  ExpectRect(frame->GetTargetRect(), Rect{21, 205, 599, 268});
  ASSERT_NE(ControlAs<PatternMenuButton>(91), nullptr);
  ExpectRect(view_->GetControl(91)->GetRect(), Rect{420, 270, 492, 283});
  auto* menu = ControlAs<PatternMenu>(92);
  ASSERT_NE(menu, nullptr);
  ExpectRect(menu->GetRect(), Rect{0, 0, 620, 285});
  EXPECT_TRUE(menu->IsHidden());
}

TEST_F(EditorLayout, TextsUseTheirStyles) {
  const TextStyle& version = ControlAs<ITextControl>(1)->GetStyle();
  EXPECT_STREQ(version.face, "Verdana");
  EXPECT_EQ(version.size, 13);
  EXPECT_EQ(version.colour.Packed(), 0x64373737u);
  EXPECT_EQ(version.alignment, TextStyle::kLeft);

  const TextStyle& status = ControlAs<ITextControl>(3)->GetStyle();
  EXPECT_STREQ(status.face, "Arial");
  EXPECT_EQ(status.size, 15);
  EXPECT_EQ(status.colour.Packed(), 0xB4FFFFFFu);
  EXPECT_EQ(status.alignment, TextStyle::kCentre);

  for (const TextStyle* style : {&version, &status}) {
    EXPECT_EQ(style->style, 0);
    EXPECT_EQ(style->orientation, 0);
    EXPECT_EQ(style->quality, TextStyle::kDefault);
  }
}

TEST_F(EditorLayout, StepGridsSitOnTheirPitch) {
  ExpectRect(plug_->timeBars[16]->GetRect(), Rect{30, 244, 64, 254});
  ExpectRect(plug_->volumeBars[16]->GetRect(), Rect{30, 255, 64, 263});
  ExpectRect(plug_->timeBars[15]->GetRect(), Rect{555, 210, 589, 220});
  ExpectRect(plug_->timeBars[0]->GetRect(), Rect{30, 210, 64, 220});
  ExpectRect(plug_->volumeBars[31]->GetRect(), Rect{555, 255, 589, 263});
}

TEST_F(EditorLayout, BarsStartFromTheDefaultPattern) {
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(plug_->StepPattern[i], 2) << i;
    EXPECT_EQ(plug_->StepPattern[32 + i], 4) << i;
    EXPECT_DOUBLE_EQ(plug_->timeBars[i]->GetValue(), 0.5) << i;
    EXPECT_DOUBLE_EQ(plug_->volumeBars[i]->GetValue(), 1.0) << i;
  }
}

TEST_F(EditorLayout, AttachingAnnouncesTheEditorAndItsRedrawStrip) {
  EXPECT_EQ(plug_->Editor(), view_);
  const vst2::ERect& rect = plug_->EditorRect();
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.right, 620);
  EXPECT_EQ(rect.bottom, 285);
  EXPECT_NE(plug_->Effect()->flags & 1, 0);
  ExpectRect(view_->ExtraRedrawRect(), Rect{30, 230, 589, 243});
  EXPECT_NE(view_->BackBuffer(), nullptr);
  // Every control bound to a parameter got its value: Tie Lock starts on.
  EXPECT_DOUBLE_EQ(view_->GetControl(13)->GetValue(), 1.0);
}

// Along one axis: > 0 a gap of that many pixels, 0 touching, < 0 overlapping.
int32_t Gap(int32_t aLow, int32_t aHigh, int32_t bLow, int32_t bHigh) {
  return std::max(aLow, bLow) - std::min(aHigh, bHigh);
}
int Sign(int32_t v) { return (v > 0) - (v < 0); }

TEST_F(EditorLayout, ScaledControlsNeitherOverlapNorLeaveTheWindow) {
  // Index 0 is the background under everything, the last the pattern menu
  // over everything; the IEmpty and the grid's frame have no area, and the
  // chance marks are drawn over the time bars on purpose.
  const int last = view_->ControlCount() - 1;
  ASSERT_NE(ControlAs<PatternMenu>(last), nullptr);
  auto onTop = [this](int i) { return ControlAs<StepChances>(i) != nullptr; };
  for (int32_t percent : kEditorSizes) {
    const Rect window = EditorRectAt(percent);
    for (int i = 1; i < last; ++i) {
      const Rect a = view_->GetControl(i)->GetRect();
      if (a.IsEmpty() || onTop(i)) continue;
      const Rect sa = ScaleRect(a, percent);
      EXPECT_TRUE(sa.left >= 0 && sa.top >= 0 && sa.right <= window.right &&
                  sa.bottom <= window.bottom && sa.left < sa.right && sa.top < sa.bottom)
          << "control " << i << " at " << percent << "%";
      for (int j = i + 1; j < last; ++j) {
        const Rect b = view_->GetControl(j)->GetRect();
        if (b.IsEmpty() || onTop(j)) continue;
        const Rect sb = ScaleRect(b, percent);
        EXPECT_TRUE(IntersectRect(sa, sb).IsEmpty()) << i << " and " << j << " at " << percent;
        // Gaps stay gaps and shared edges stay shared, on both axes.
        EXPECT_EQ(Sign(Gap(sa.left, sa.right, sb.left, sb.right)),
                  Sign(Gap(a.left, a.right, b.left, b.right)))
            << i << " and " << j << " at " << percent;
        EXPECT_EQ(Sign(Gap(sa.top, sa.bottom, sb.top, sb.bottom)),
                  Sign(Gap(a.top, a.bottom, b.top, b.bottom)))
            << i << " and " << j << " at " << percent;
      }
    }
  }
}

TEST_F(EditorLayout, BackgroundCellsLineUpWithTheBars) {
  // The grid's empty cells are lighter than the well between them: every
  // bar's edge pixels, scaled, are lighter on average than the pixels just
  // outside them, in the image drawn for that size. A bar one pixel off in
  // any direction fails this on at least one edge.
  const struct {
    int32_t percent;
    const char* image;
  } sets[] = {{100, "img/bg.png"}, {200, "img/2x/bg.png"}};
  for (const auto& set : sets) {
    std::unique_ptr<Bitmap> image(ProjectImageView::LoadProjectImage(set.image));
    ASSERT_NE(image, nullptr) << set.image;
    const BitmapView pixels = ViewOf(image.get());
    ASSERT_EQ(pixels.width, EditorRectAt(set.percent).right);
    ASSERT_EQ(pixels.height, EditorRectAt(set.percent).bottom);
    auto light = [&pixels](int32_t x, int32_t y) {
      const Pixel p = pixels.Row(y)[x];
      return PixelRed(p) + PixelGreen(p) + PixelBlue(p);
    };
    // Mean lightness step across an edge: (inside - outside) over its length.
    auto step = [&light](int32_t from, int32_t to, int32_t inside, int32_t outside, bool column) {
      int32_t sum = 0;
      for (int32_t k = from; k < to; ++k) {
        sum += column ? light(inside, k) - light(outside, k) : light(k, inside) - light(k, outside);
      }
      return sum / (to - from);
    };
    for (int i = 0; i < 32; ++i) {
      for (const MyBar* bar : {plug_->timeBars[i], plug_->volumeBars[i]}) {
        const Rect r = ScaleRect(bar->GetRect(), set.percent);
        EXPECT_GE(step(r.top + 1, r.bottom - 1, r.left, r.left - 1, true), 10) << set.image << i;
        EXPECT_GE(step(r.top + 1, r.bottom - 1, r.right - 1, r.right, true), 10) << set.image << i;
        EXPECT_GE(step(r.left + 1, r.right - 1, r.top, r.top - 1, false), 10) << set.image << i;
        EXPECT_GE(step(r.left + 1, r.right - 1, r.bottom - 1, r.bottom, false), 10)
            << set.image << i;
      }
    }
  }
}

// The image the view should draw for `name` (100 % size w x h) at `percent`:
// the committed sets at 100 and 200 %, the 200 % one scaled down between.
std::unique_ptr<Bitmap> ImageAt(const char* name, const char* largeName, int w, int h,
                                const ImageScaling& scaling, int percent) {
  if (percent == 100) return std::unique_ptr<Bitmap>(ProjectImageView::LoadProjectImage(name));
  std::unique_ptr<Bitmap> large(ProjectImageView::LoadProjectImage(largeName));
  if (percent == 200) return large;
  return std::unique_ptr<Bitmap>(ScaleLargeImage(large.get(), w, h, scaling, percent));
}

uint32_t At(Bitmap* bitmap, int x, int y) { return ViewOf(bitmap).Row(y)[x]; }

TEST_F(EditorLayout, AtEverySizeTheViewDrawsBackgroundCutOutsAndFillsInPlace) {
  const uint32_t timeColour = 0xFF82C3FF;
  ImageScaling grid;
  grid.kind = ImageScaling::kAnchored;
  ImageScaling radioCut = grid;
  radioCut.originX = 387;
  radioCut.originY = 97;
  auto* target = ControlAs<IRadioButtons>(11);
  ASSERT_NE(target, nullptr);
  view_->SetControlsFromUser(kTarget, 1.0 / 3.0);  // the second button
  for (int32_t s : kEditorSizes) {
    view_->SetSizePercent(s);
    const Rect window = EditorRectAt(s);
    EXPECT_EQ(plug_->EditorRect().right, window.right) << s;
    EXPECT_EQ(plug_->EditorRect().bottom, window.bottom) << s;
    Bitmap* back = view_->BackBuffer();
    ASSERT_EQ(back->GetWidth(), window.right) << s;
    ASSERT_EQ(back->GetHeight(), window.bottom) << s;
    ASSERT_TRUE(view_->Draw(window));
    auto bg = ImageAt("img/bg.png", "img/2x/bg.png", 620, 285, grid, s);
    auto radio = ImageAt("img/radio.png", "img/2x/radio.png", 70, 72, radioCut, s);
    ASSERT_TRUE(bg && radio) << s;
    // A corner under no control is the background itself.
    const Rect corner = ScaleRect(Rect{0, 0, 40, 10}, s);
    for (int y = corner.top; y < corner.bottom; ++y) {
      for (int x = corner.left; x < corner.right; ++x)
        ASSERT_EQ(At(back, x, y), At(bg.get(), x, y));
    }
    // The selected button is cut from the scaled group image on the grid.
    const Rect button = ScaleRect(target->Button(1), s);
    const int originX = ScaleCoordinate(387, s);
    const int originY = ScaleCoordinate(97, s);
    int compared = 0;
    for (int y = button.top; y < button.bottom; ++y) {
      for (int x = button.left; x < button.right; ++x) {
        const uint32_t source = At(radio.get(), x - originX, y - originY);
        if ((source >> 24) != 255) continue;
        ASSERT_EQ(At(back, x, y), source) << s << ": " << x << "," << y;
        ++compared;
      }
    }
    EXPECT_GT(compared, 100) << s;
    // Step 1's time bar shows its default half: 17 of 34 columns, scaled.
    const Rect bar = ScaleRect(plug_->timeBars[0]->GetRect(), s);
    const int fillEnd = ScaleCoordinate(30 + 17, s);
    for (int x = bar.left; x < bar.right; ++x) {
      const int y = (bar.top + bar.bottom) / 2;
      if (x < fillEnd) {
        ASSERT_EQ(At(back, x, y), timeColour) << s << ": " << x;
      } else {
        ASSERT_EQ(At(back, x, y), At(bg.get(), x, y)) << s << ": " << x;
      }
    }
  }
}

TEST_F(EditorLayout, GrooveControlsReachTheirEndsAndNameTheirValuesInTheStatusLine) {
  // Sliders: a 31-pixel handle over a 69-pixel travel from x 57, held by its
  // centre: value (x - 57 - 15.5) / 69, clamped. Selectors: a button's edge
  // shared with the next belongs to the left one (hit tests include both).
  const struct {
    int x, y;
    int param;
    double value;
    const char* status;
  } clicks[] = {
      {157, 13, kSwing, 75, "Swing: 75%"},
      {57, 13, kSwing, 50, "Swing: 50%"},
      {100, 39, kChance, 40, "Chance: 40%"},  // 27.5 / 69 x 100 = 39.86
      {485, 15, kRestartMode, 1, "Restart: Transport start"},
      {484, 15, kRestartMode, 0, "Restart: Host position"},
      {594, 22, kRestartMode, 2, "Restart: MIDI note"},
      {451, 32, kMidiSwitch, 1, "Switch: Immediate"},
      {450, 32, kMidiSwitch, 0, "Switch: Off"},
      {501, 39, kMidiSwitch, 2, "Switch: Next step"},
      {594, 39, kMidiSwitch, 3, "Switch: Next bar"},
  };
  const MouseMods left{true};
  for (const auto& c : clicks) {
    view_->OnMouseDown(c.x, c.y, left);
    view_->OnMouseUp(c.x, c.y, left);
    EXPECT_DOUBLE_EQ(plug_->GetParam(c.param)->Value(), c.value) << c.x << "," << c.y;
    EXPECT_STREQ(plug_->InfoText->GetText(), c.status) << c.x << "," << c.y;
  }
  // A value from the host moves the control and says nothing.
  plug_->InfoText->SetTextFromPlugin("");
  plug_->Effect()->setParameter(plug_->Effect(), kSwing, 0.5f);
  EXPECT_DOUBLE_EQ(ControlAs<GrooveSlider>(82)->GetValue(), 0.5);
  EXPECT_STREQ(plug_->InfoText->GetText(), "");
}

// The host's program, or a new name for it, asks for the slot's area alone
// and, once drawn, for nothing more.
TEST_F(EditorLayout, TheProgramSlotFollowsTheHostsProgram) {
  auto* slot = ControlAs<ProgramSlot>(86);
  ASSERT_NE(slot, nullptr);
  for (int pass = 0; pass < 2; ++pass) view_->Draw(EditorRectAt(100));
  vst2::AEffect* effect = plug_->Effect();
  char name[] = "Half Time";
  const struct {
    int program;  // -1: rename the current one
    const char* line;
  } picks[] = {
      {20, "21 Trance 9"}, {21, "22 Trance 10"}, {0, "1 ---- default ----"}, {-1, "1 Half Time"}};
  for (const auto& pick : picks) {
    if (pick.program < 0) {
      effect->dispatcher(effect, vst2::effSetProgramName, 0, 0, name, 0);
    } else {
      effect->dispatcher(effect, vst2::effSetProgram, 0, pick.program, nullptr, 0);
    }
    Rect dirty;
    ASSERT_TRUE(view_->CollectDirty(&dirty)) << pick.line;
    EXPECT_EQ(UnionRect(dirty, slot->GetRect()), dirty) << pick.line;
    if (pick.program < 0) ExpectRect(dirty, slot->GetRect());
    EXPECT_STREQ(slot->GetText(), pick.line);
    for (int pass = 0; pass < 3; ++pass) {
      view_->Draw(view_->PixelRect(dirty));
      view_->CollectDirty(&dirty);
    }
    dirty = Rect{};
    EXPECT_FALSE(view_->CollectDirty(&dirty)) << pick.line;
  }
}

TEST_F(EditorLayout, AnIdleEditorAsksForNothingButTheStripWhenTheStepMoves) {
  view_->SetSizePercent(150);
  for (int pass = 0; pass < 2; ++pass) view_->Draw(EditorRectAt(150));
  Rect dirty;
  EXPECT_FALSE(view_->CollectDirty(&dirty));
  plug_->currentStep = 5;
  ASSERT_TRUE(view_->CollectDirty(&dirty));
  ExpectRect(dirty, kActivityStripRect);
  view_->Draw(view_->PixelRect(dirty));
  dirty = Rect{};
  EXPECT_FALSE(view_->CollectDirty(&dirty));
}

}  // namespace
