#include "gui/rocker_button.h"

#include <algorithm>
#include <cmath>

#include "gui/editor_view.h"

namespace {

constexpr double kRest = 0.5;
constexpr double kPressLeft = 0.4;
constexpr double kPressRight = 0.6;
// Movement per timer tick while held.
constexpr double kTickStep = 0.005;
// Nudges beyond this many cannot change a step's quarters any further.
constexpr int kMaxWheelNudges = 4;

}  // namespace

MyBar2::MyBar2(IPlugBase* plug, int paramIndex, int x, int y, const BitmapRef& image)
    : IControl(plug, Rect{x, y, x + image.width, y + image.height}, paramIndex), image_(image) {
  value_ = kRest;
  SetDoubleClickAsMouseDown(true);
}

void MyBar2::OnMouseDown(int x, int y, const MouseMods& mods) {
  if (mods.R || !rect_.Contains(x, y)) return;
  const float centre = static_cast<float>(rect_.left + rect_.right) * 0.5f;
  const float position = static_cast<float>(x);
  if (position > centre) {
    value_ = kPressRight;
  } else if (position < centre) {
    value_ = kPressLeft;
  }
  MarkDirty(true);
}

void MyBar2::OnMouseUp(int, int, const MouseMods&) {
  released_ = true;
  value_ = kRest;
  MarkDirty(true);
}

void MyBar2::OnMouseWheel(int, int, const MouseMods&, float notches) {
  // A held rocker keeps running; and a value between rest and a press would
  // read as held in Draw, so a notch is a whole press and release instead.
  if (value_ != kRest || !(std::fabs(notches) >= 1.0f)) return;
  const int nudges = std::min(static_cast<int>(std::fabs(notches)), kMaxWheelNudges);
  for (int i = 0; i < nudges; ++i) {
    value_ = notches > 0 ? kPressRight : kPressLeft;
    MarkDirty(true);
    value_ = kRest;
    MarkDirty(true);
  }
}

bool MyBar2::NeedsRedraw() {
  if (value_ == kRest && !released_) return false;
  released_ = false;
  return true;
}

bool MyBar2::Draw(IEditorView& view) {
  const int centre =
      static_cast<int>(std::round(static_cast<float>(rect_.left + rect_.right) * 0.5f));
  if (value_ > kRest && value_ < 1.0) {
    view.DrawBitmapFrame(image_, Rect{centre, rect_.top, rect_.right, rect_.bottom}, 2, &blend_,
                         false);
    value_ = value_ + kTickStep;
    MarkDirty(true);
  } else if (value_ > 0.0 && value_ < kRest) {
    view.DrawBitmapFrame(image_, Rect{rect_.left, rect_.top, centre, rect_.bottom}, 1, &blend_,
                         false);
    value_ = value_ - kTickStep;
    MarkDirty(true);
  }
  return true;
}
