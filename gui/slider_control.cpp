#include "gui/slider_control.h"

#include <cmath>

#include "framework/plug_base.h"
#include "gui/editor_view.h"
#include "gui/value_label.h"

namespace {

int RoundHalfAway(double v) { return static_cast<int>(std::round(v)); }

float CentreX(const Rect& rect) { return static_cast<float>(rect.left + rect.right) * 0.5f; }

Rect HorizontalTrack(const Rect& rect, int trackLength, int handleHeight) {
  const float cx = CentreX(rect);
  return Rect{RoundHalfAway(cx - static_cast<float>(trackLength / 2)), rect.top,
              RoundHalfAway(cx + static_cast<float>(trackLength / 2)), rect.top + handleHeight};
}

}  // namespace

ISliderImg::ISliderImg(IPlugBase* plug, int paramIndex, const Rect& rect, const BitmapRef& handle,
                       const TextStyle& labelStyle, int trackLength, bool horizontal)
    : IControl(plug, rect, paramIndex),
      labelStyle_(labelStyle),
      handle_(handle),
      trackLength_(trackLength),
      vertical_(!horizontal) {
  if (horizontal) {
    travel_ = trackLength - handle.width;
    handleArea_ = HorizontalTrack(rect, trackLength, handle.height);
  } else {
    const float cx = CentreX(rect);
    travel_ = trackLength - handle.height;
    handleArea_ =
        Rect{RoundHalfAway(cx - static_cast<float>(handle.width) * 0.5f), rect.top,
             RoundHalfAway(cx + static_cast<float>(handle.width) * 0.5f), rect.top + trackLength};
  }
}

bool ISliderImg::Draw(IEditorView& view) {
  char label[kValueLabelSize];
  if (labelStyle_.size > 0 && FormatValueLabel(plug_, paramIndex_, true, label)) {
    labelStyle_.alignment = TextStyle::kCentre;
    view.DrawTextInRect(
        labelStyle_, label,
        Rect{rect_.left, rect_.bottom - labelStyle_.size, rect_.right, rect_.bottom});
  }
  // The handle follows the parameter itself, not the control's value.
  IPlugParam* param = plug_ ? plug_->GetParam(paramIndex_) : nullptr;
  const float v = static_cast<float>(param ? param->GetNormalized() : value_.load());
  Rect handleRect;
  if (!vertical_) {
    const float x = static_cast<float>(handleArea_.left) + static_cast<float>(travel_) * v;
    handleRect = Rect{RoundHalfAway(x), handleArea_.top,
                      RoundHalfAway(x + static_cast<float>(handle_.width)), rect_.bottom};
  } else {
    const int y = RoundHalfAway(static_cast<float>(travel_) * (1.0f - v) +
                                static_cast<float>(handleArea_.top));
    handleRect = Rect{handleArea_.left, y, handleArea_.right, y + handle_.height};
  }
  return view.DrawBitmapFrame(handle_, handleRect, 1, &blend_, true);
}

void ISliderImg::OnMouseDown(int x, int y, const MouseMods& mods) {
  if (mods.R) {
    PromptForValue();
    return;
  }
  if (handleArea_.Contains(x, y)) SetFromPosition(x, y);
}

void ISliderImg::OnMouseDrag(int x, int y, int, int, const MouseMods&) {
  if (handleArea_.Contains(x, y)) SetFromPosition(x, y);
}

void ISliderImg::SetFromPosition(int x, int y) {
  if (travel_ == 0) return;
  if (!vertical_) {
    value_ = (static_cast<float>(x - handleArea_.left) - static_cast<float>(handle_.width) * 0.5f) /
             static_cast<float>(travel_);
  } else {
    value_ = 1.0f -
             (static_cast<float>(y - handleArea_.top) - static_cast<float>(handle_.height) * 0.5f) /
                 static_cast<float>(travel_);
  }
  MarkDirty(true);
}

ISlider::ISlider(IPlugBase* plug, int paramIndex, const Rect& rect, const BitmapRef& handle,
                 const TextStyle& labelStyle, int trackLength, bool horizontal, Colour lineColour,
                 int lineThickness, int startOffset)
    : ISliderImg(plug, paramIndex, rect, handle, labelStyle, trackLength, horizontal),
      lineColour_(lineColour),
      trackArea_(HorizontalTrack(rect, trackLength, handle.height)),
      lineThickness_(lineThickness),
      startOffset_(startOffset) {
  if (!horizontal) trackArea_ = handleArea_;
}

bool ISlider::Draw(IEditorView& view) {
  const int t = lineThickness_ / 2;
  if (!vertical_) {
    const double b = travel_ * value_ + handle_.width / 2;
    if (b > startOffset_) {
      const double cy = (trackArea_.top + trackArea_.bottom) * 0.5;
      view.FillColourRect(lineColour_,
                          Rect{trackArea_.left + startOffset_, RoundHalfAway(cy - t),
                               RoundHalfAway(trackArea_.left + b), RoundHalfAway(cy + t)},
                          nullptr);
    }
  } else {
    const double d = travel_ * (1.0 - value_);
    if (travel_ + handle_.height / 2 - startOffset_ > d) {
      const double cx = (trackArea_.left + trackArea_.right) * 0.5;
      view.FillColourRect(
          lineColour_,
          Rect{RoundHalfAway(cx - t), RoundHalfAway(d + trackArea_.top + handle_.height / 2),
               RoundHalfAway(cx + t), trackArea_.top + travel_ + handle_.height - startOffset_},
          nullptr);
    }
  }
  return ISliderImg::Draw(view);
}
