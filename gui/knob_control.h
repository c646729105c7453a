// IKnobControl: a control turned by dragging; gearing is how many control
// lengths of mouse travel sweep the whole range (ten times more with Shift or
// Control). IKnobRotVal: a knob image rotated with the value, with the
// parameter's value text as a label below it.
#pragma once

#include <cstdint>

#include "gui/control.h"

class IKnobControl : public IControl {
 public:
  static constexpr int kVertical = 0;

  IKnobControl(IPlugBase* plug, const Rect& rect, int paramIndex, int direction, double gearing)
      : IControl(plug, rect, paramIndex), direction_(direction), gearing_(gearing) {}

  void OnMouseDrag(int x, int y, int dX, int dY, const MouseMods& mods) override;

 protected:
  int direction_;
  double gearing_;
};

class IKnobRotVal : public IKnobControl {
 public:
  // width 0 takes the image's frame width; positions 0 means no snapping.
  IKnobRotVal(IPlugBase* plug, int paramIndex, int centreX, int centreY, const BitmapRef& image,
              const TextStyle& labelStyle, int labelGap, int angleRange, double gearing, int width,
              int direction, float weight, bool showUnit, int positions);

  bool Draw(IEditorView& view) override;
  void OnMouseUp(int x, int y, const MouseMods& mods) override;

  // Rotation for a value: (value - 0.5) x range, in radians.
  double AngleFor(double value) const;

 private:
  TextStyle labelStyle_;
  BitmapRef image_;
  int centreX_;
  int centreY_;
  int labelGap_;
  int angleRange_;
  int16_t snapSteps_;
  float weight_;
  bool showUnit_;
  Blend rotationBlend_;
};
