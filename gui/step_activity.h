// SampleActivity: the strip between the two step grids that lights a lamp at
// the playing step. It asks to be drawn when the step differs from the one
// it drew last, so an idle editor repaints nothing. It reads the engine's
// current step without a lock; a stale value only shows the lamp one tick
// late.
#pragma once

#include <cstdint>

#include "gui/control.h"

class SampleActivity : public IControl {
 public:
  static constexpr int kLampPitch = 35;
  static constexpr int kLampInset = 12;
  static constexpr int kLowerLampRise = 7;

  SampleActivity(IPlugBase* plug, const Rect& rect, const uint16_t* currentStep,
                 uint16_t stepsPerRow = 16);

  // Loads both lamps on the first call, then draws the one at the step.
  bool Draw(IEditorView& view) override;
  bool NeedsRedraw() override;

 private:
  const uint16_t* currentStep_;
  uint16_t stepsPerRow_;
  BitmapRef upperLamp_;
  BitmapRef lowerLamp_;
  bool lampsLoaded_ = false;
  // The step whose lamp is drawn; none before the first pass.
  int drawnStep_ = -1;
};
