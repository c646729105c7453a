#include "gui/knob_control.h"

#include <cmath>
#include <cstring>

#include "framework/plug_base.h"
#include "gui/editor_view.h"
#include "gui/value_label.h"

namespace {

int RoundHalfAway(float v) { return static_cast<int>(std::round(v)); }

Rect KnobRect(int x, int y, const BitmapRef& image, const TextStyle& style, int labelGap,
              int width) {
  const int frames = image.frames > 0 ? image.frames : 1;
  const int halfW =
      width != 0
          ? width / 2
          : RoundHalfAway(static_cast<float>(image.width) / static_cast<float>(frames) * 0.5f);
  const int halfH = RoundHalfAway(static_cast<float>(image.height) * 0.5f);
  const int extra = labelGap > 0 ? style.size + labelGap : 0;
  return Rect{x - halfW, y - halfH, x + halfW, y + halfH + extra};
}

}  // namespace

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, const MouseMods& mods) {
  double gearing = gearing_;
  if (mods.C || mods.S) gearing *= 10.0;
  if (direction_ == kVertical) {
    value_ = value_ + static_cast<double>(dY) / (rect_.top - rect_.bottom) / gearing;
  } else {
    value_ = value_ + static_cast<double>(dX) / (rect_.right - rect_.left) / gearing;
  }
  MarkDirty(true);
}

IKnobRotVal::IKnobRotVal(IPlugBase* plug, int paramIndex, int centreX, int centreY,
                         const BitmapRef& image, const TextStyle& labelStyle, int labelGap,
                         int angleRange, double gearing, int width, int direction, float weight,
                         bool showUnit, int positions)
    : IKnobControl(plug, KnobRect(centreX, centreY, image, labelStyle, labelGap, width), paramIndex,
                   direction, gearing),
      labelStyle_(labelStyle),
      image_(image),
      centreX_(centreX),
      centreY_(centreY),
      labelGap_(labelGap),
      angleRange_(angleRange),
      snapSteps_(static_cast<int16_t>(positions - 1)),
      weight_(weight),
      showUnit_(showUnit) {}

double IKnobRotVal::AngleFor(double value) const {
  const double pi = 3.14159265358979323846;
  const float scale = static_cast<float>(angleRange_ * pi / 360.0);
  const float offset = static_cast<float>(angleRange_ * (-pi) / 360.0);
  return static_cast<double>(scale) * value * 2.0 + static_cast<double>(offset);
}

bool IKnobRotVal::Draw(IEditorView& view) {
  char label[kValueLabelSize];
  if (labelStyle_.size > 0 && FormatValueLabel(plug_, paramIndex_, showUnit_, label)) {
    labelStyle_.alignment = TextStyle::kCentre;
    const Rect area = labelGap_ >= 0 ? Rect{rect_.left, rect_.bottom - labelStyle_.size,
                                            rect_.right, rect_.bottom}
                                     : Rect{rect_.left, rect_.bottom - labelStyle_.size + labelGap_,
                                            rect_.right, rect_.bottom + labelGap_};
    view.DrawTextInRect(labelStyle_, label, area);
  }

  rotationBlend_ = Blend{Blend::kSourceAlpha, weight_};
  const double angle = AngleFor(value_);
  const float shift = -2.0f * static_cast<float>(std::fabs(value_ - 0.5));
  if (image_.frames < 2) {
    return view.DrawRotatedBitmap(image_, centreX_, centreY_, angle, &rotationBlend_, shift, shift);
  }
  if (ownBitmap_.width == 0) {
    ownBitmap_ = view.CropBitmap(
        image_, Rect{0, 0, RoundHalfAway(static_cast<float>(image_.width) * 0.5f), image_.height});
  }
  view.DrawRotatedBitmap(ownBitmap_, centreX_, centreY_, angle, &rotationBlend_, shift, shift);
  const float halfFrame = static_cast<float>(image_.width) / image_.frames * 0.5f;
  const Rect top{RoundHalfAway(static_cast<float>(centreX_) - halfFrame), rect_.top,
                 RoundHalfAway(static_cast<float>(centreX_) + halfFrame),
                 rect_.bottom - labelGap_ - labelStyle_.size};
  return view.DrawBitmapFrame(image_, top, image_.frames, &blend_, false);
}

void IKnobRotVal::OnMouseUp(int, int, const MouseMods&) {
  if (snapSteps_ > 0) value_ = std::floor(snapSteps_ * value_ + 0.5) / snapSteps_;
  MarkDirty(true);
}
