#include "gui/step_activity.h"

#include "gui/editor_view.h"

SampleActivity::SampleActivity(IPlugBase* plug, const Rect& rect, const uint16_t* currentStep,
                               uint16_t stepsPerRow)
    : IControl(plug, rect), currentStep_(currentStep), stepsPerRow_(stepsPerRow) {}

bool SampleActivity::NeedsRedraw() {
  return IControl::NeedsRedraw() || *currentStep_ != drawnStep_;
}

bool SampleActivity::Draw(IEditorView& view) {
  if (!lampsLoaded_) {
    upperLamp_ = view.LoadBitmap(107, "img/on.png", 1);
    lowerLamp_ = view.LoadBitmap(108, "img/on_.png", 1);
    lampsLoaded_ = true;
  }
  const int step = *currentStep_;
  drawnStep_ = step;
  if (step < stepsPerRow_) {
    view.DrawBitmapAt(upperLamp_, rect_.left + kLampPitch * step + kLampInset, rect_.top, nullptr);
  } else {
    view.DrawBitmapAt(lowerLamp_, rect_.left + kLampPitch * (step - stepsPerRow_) + kLampInset,
                      rect_.bottom - kLowerLampRise, nullptr);
  }
  return true;
}
