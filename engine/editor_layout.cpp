#include "engine/editor_layout.h"

#include <memory>

#include "engine/gate_engine.h"
#include "framework/plug_base.h"
#include "gui/button_control.h"
#include "gui/editor_view.h"
#include "gui/empty_control.h"
#include "gui/groove_controls.h"
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

namespace {

// Resource ids of the editor's images.
enum ImageId : int {
  kBackgroundImage = 100,
  kKnobImage = 101,
  kTimeRockerImage = 102,
  kVolumeRockerImage = 103,
  kPadlockImage = 104,
  kTargetImage = 105,
  kSliderHandleImage = 106,
  kRestartImage = 109,
  kMidiSwitchImage = 110,
};

// How the images are drawn at other sizes: cut-outs of the background on
// the editor's grid from their place, the knob fitted to an even side.
ImageScaling CutOut(int x, int y, int frames) {
  ImageScaling scaling;
  scaling.kind = ImageScaling::kAnchored;
  scaling.originX = x;
  scaling.originY = y;
  scaling.framesX = frames;
  return scaling;
}

ImageScaling EvenFit() {
  ImageScaling scaling;
  scaling.kind = ImageScaling::kFitEven;
  return scaling;
}

struct KnobPlace {
  int param;
  int centreX;
  int centreY;
};

constexpr KnobPlace kKnobs[] = {
    {kRate, 51, 125},  {kCycle, 121, 125},     {kAttack, 207, 125}, {kRelease, 277, 125},
    {kFade, 347, 125}, {kSplitFreq, 499, 125}, {kMix, 569, 125},
};

constexpr int kKnobLabelGap = 5;
constexpr int kKnobAngleRange = 300;
constexpr double kKnobGearing = 4.0;

constexpr Rect kVersionRect = {558, 40, 608, 58};
constexpr Rect kPageLinkRect = {164, 6, 356, 54};
constexpr Rect kStatusRect = {316, 180, 446, 198};
constexpr Rect kGateSliderRect = {193, 174, 285, 194};
constexpr int kGateSliderTrack = 89;

// The header: the groove sliders on the left, the restart and switch
// selectors and the program slot on the right, their captions in the
// background. Selector buttons are as wide as their whole texts need.
constexpr Rect kSwingSliderRect = {56, 6, 158, 30};
constexpr Rect kChanceSliderRect = {56, 32, 158, 56};
constexpr int kGrooveSliderTrack = 100;
constexpr int kSelectorLeft = 426;
constexpr int kRestartTop = 8;
constexpr int kMidiSwitchTop = 25;
constexpr int kRestartWidths[2] = {58, 64};         // "Host position", "Transport start"
constexpr int kMidiSwitchWidths[3] = {24, 50, 46};  // "Off", "Immediate", "Next step"
constexpr Rect kProgramSlotRect = {426, 42, 554, 56};

// The step grids: 16 columns of 34-pixel bars on a 35-pixel pitch, two rows.
constexpr int kGridLeft = 30;
constexpr int kGridBaseline = 221;
constexpr int kColumnPitch = 35;
constexpr int kRowPitch = 34;
constexpr int kBarWidth = 34;
constexpr int kStepsPerRow = 16;
// The grids' well, and the rectangles each grid's bars fill (hit tests
// include both edges): the rest of the well is the frame.
constexpr Rect kGridWell = {21, 205, 599, 268};
constexpr Rect kUpperBars = {30, 210, 589, 229};
constexpr Rect kLowerBars = {30, 244, 589, 263};
constexpr Rect kPatternButtonRect = {420, 270, 492, 283};
constexpr uint16_t kDefaultStepTime = 2;
constexpr uint16_t kDefaultStepVolume = 4;

TextStyle KnobValueStyle() { return TextStyle("Arial", 15, Colour{180, 255, 255, 255}, 0, 1); }
TextStyle VersionStyle() { return TextStyle("Verdana", 13, Colour{100, 55, 55, 55}, 0, 0); }
TextStyle StatusStyle() { return TextStyle("Arial", 15, Colour{180, 255, 255, 255}, 0, 1); }
TextStyle SliderStyle() { return TextStyle("Arial", 0, Colour{255, 255, 255, 255}, 0, 1); }
TextStyle GrooveValueStyle() { return TextStyle("Arial", 10, Colour{180, 255, 255, 255}, 0, 1); }
TextStyle ProgramSlotStyle() { return TextStyle("Arial", 11, Colour{255, 206, 214, 226}, 0, 0); }

constexpr char kSwingTip[] =
    "Swing 50-75 %: the share of each pair of steps the first one takes (50 % is straight)";
constexpr char kChanceTip[] =
    "Chance 0-100 %: scales every step's chance of opening; Ctrl+click a step for its own";
constexpr char kRestartTip[] =
    "Restart: where the pattern starts again: Host position, Transport start or MIDI note";
constexpr char kMidiSwitchTip[] =
    "MIDI Switch: notes 36-85 pick programs 1-50: Off, Immediate, Next step or Next bar";
constexpr char kProgramSlotTip[] = "The active program: its number, and its name when it fits";

void AttachStepGrid(IPlugBase* plug, GateEngine* engine, IEditorView* view) {
  const Colour timeColour{255, 130, 195, 255};
  const Colour volumeColour{200, 0, 255, 180};
  for (int i = 0; i < kStepCountMax; ++i) {
    const int x = kGridLeft + kColumnPitch * (i % kStepsPerRow);
    const int y = kGridBaseline + kRowPitch * (i / kStepsPerRow);
    const int volumeEntry = kStepCountMax + i;
    engine->StepPattern[i] = kDefaultStepTime;
    engine->StepPattern[volumeEntry] = kDefaultStepVolume;

    auto* timeBar =
        new MyBar(plug, Rect{x, y - 11, x + kBarWidth, y - 1}, timeColour, static_cast<int16_t>(i),
                  &engine->StepPattern[i], &engine->editedIndex, &engine->editedValue);
    view->AttachControl(timeBar);
    engine->timeBars[i] = timeBar;

    auto* volumeBar = new MyBar(
        plug, Rect{x, y, x + kBarWidth, y + 8}, volumeColour, static_cast<int16_t>(volumeEntry),
        &engine->StepPattern[volumeEntry], &engine->editedIndex, &engine->editedValue);
    view->AttachControl(volumeBar);
    engine->volumeBars[i] = volumeBar;
  }
}

GrooveSlider* Slider(IPlugBase* plug, int param, const char* caption, const Rect& rect,
                     const BitmapRef& handle, const char* tip) {
  auto* slider =
      new GrooveSlider(plug, param, caption, rect, handle, GrooveValueStyle(), kGrooveSliderTrack);
  slider->SetTooltip(tip);
  return slider;
}

GrooveSelector* Selector(IPlugBase* plug, int param, const char* caption, int top,
                         const BitmapRef& image, const int* widths, int givenWidths,
                         const char* tip) {
  auto* selector =
      new GrooveSelector(plug, param, caption, kSelectorLeft, top, image, widths[0],
                         givenWidths > 1 ? widths[1] : 0, givenWidths > 2 ? widths[2] : 0);
  selector->SetTooltip(tip);
  return selector;
}

// The groove and control parameters: two sliders, two selectors, the
// program slot and the steps' chance marks over the time bars.
void AttachGrooveControls(IPlugBase* plug, GateEngine* engine, IEditorView* view) {
  const BitmapRef handle = view->LoadBitmap(kSliderHandleImage, "img/slider.png", 1);
  view->AttachControl(Slider(plug, kSwing, "Swing", kSwingSliderRect, handle, kSwingTip));
  view->AttachControl(Slider(plug, kChance, "Chance", kChanceSliderRect, handle, kChanceTip));
  view->AttachControl(Selector(plug, kRestartMode, "Restart", kRestartTop,
                               view->LoadScalableBitmap(kRestartImage, "img/restart.png", 3,
                                                        CutOut(kSelectorLeft, kRestartTop, 1)),
                               kRestartWidths, 2, kRestartTip));
  view->AttachControl(Selector(plug, kMidiSwitch, "Switch", kMidiSwitchTop,
                               view->LoadScalableBitmap(kMidiSwitchImage, "img/midi_switch.png", 4,
                                                        CutOut(kSelectorLeft, kMidiSwitchTop, 1)),
                               kMidiSwitchWidths, 3, kMidiSwitchTip));
  auto* slot = new ProgramSlot(plug, kProgramSlotRect, ProgramSlotStyle());
  slot->SetTooltip(kProgramSlotTip);
  view->AttachControl(slot);

  Rect timeBars[kStepCountMax];
  for (int i = 0; i < kStepCountMax; ++i) timeBars[i] = engine->timeBars[i]->GetRect();
  for (int g = 0; g < kChanceWordCount; ++g) {
    view->AttachControl(new StepChances(plug, g, timeBars));
  }
}

}  // namespace

void BuildEditorLayout(IPlugBase* plug, GateEngine* engine, IEditorView* view) {
  view->AttachBackground(kBackgroundImage, "img/bg.png");
  const BitmapRef knob = view->LoadScalableBitmap(kKnobImage, "img/knob.png", 1, EvenFit());

  char version[32] = {};
  plug->VersionText(version, sizeof(version));
  view->AttachControl(new ITextControl(plug, kVersionRect, VersionStyle(), version));
  view->AttachControl(new IURLOpen(plug, kPageLinkRect));
  view->SetSizeMenuArea(kPageLinkRect);

  auto* status = new ITextControl(plug, kStatusRect, StatusStyle(), "");
  view->AttachControl(status);
  engine->InfoText = status;

  for (const KnobPlace& place : kKnobs) {
    view->AttachControl(new IKnobRotVal(plug, place.param, place.centreX, place.centreY, knob,
                                        KnobValueStyle(), kKnobLabelGap, kKnobAngleRange,
                                        kKnobGearing, 0, 0, 1.0f, true, 0));
  }

  // One image for the whole group: its buttons are cut from it on the grid.
  view->AttachControl(new IRadioButtons(
      plug, kTarget, 387, 97,
      view->LoadScalableBitmap(kTargetImage, "img/radio.png", 4, CutOut(387, 97, 1)), true, 0, 0, 0,
      0));
  view->AttachControl(new ISlider(
      plug, kGate, kGateSliderRect, view->LoadBitmap(kSliderHandleImage, "img/slider.png", 1),
      SliderStyle(), kGateSliderTrack, true, Colour{255, 66, 110, 170}, 2, 8));
  view->AttachControl(
      new IButton(plug, kTieLock, 288, 179,
                  view->LoadScalableBitmap(kPadlockImage, "img/but3.png", 1, CutOut(288, 179, 1))));
  // Carries the step bars' edits to the engine as changes of StepEdited.
  view->AttachControl(new IEmpty(plug, kStepEdited));
  view->AttachControl(new MyBar2(
      plug, kTimesNudge, 22, 172,
      view->LoadScalableBitmap(kTimeRockerImage, "img/but1.png", 2, CutOut(22, 172, 2))));
  view->AttachControl(new MyBar2(
      plug, kVolumesNudge, 485, 172,
      view->LoadScalableBitmap(kVolumeRockerImage, "img/but2.png", 2, CutOut(485, 172, 2))));

  AttachStepGrid(plug, engine, view);
  view->AttachControl(new SampleActivity(plug, kActivityStripRect, &engine->currentStep));
  AttachGrooveControls(plug, engine, view);

  // Last, over everything: the pattern menu and what opens it.
  // Held here until the view owns it, so a failed allocation meanwhile frees it.
  auto menu = std::make_unique<PatternMenu>(plug, Rect{0, 0, kEditorWidth, kEditorHeight},
                                            plug->Patterns());
  view->AttachControl(new GridFrame(plug, kGridWell, kUpperBars, kLowerBars, menu.get()));
  view->AttachControl(new PatternMenuButton(plug, kPatternButtonRect, menu.get()));
  view->SetOverlay(menu.get());
  view->AttachControl(menu.release());
}

void AttachEditorLayout(IPlugBase* plug, GateEngine* engine, IEditorView* view) {
  BuildEditorLayout(plug, engine, view);
  plug->AttachEditor(view);
  view->SetExtraRedrawRect(kActivityStripRect);
}
