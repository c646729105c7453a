#include "gui/step_bar.h"

#include <algorithm>
#include <cmath>

#include "framework/plug_base.h"
#include "gui/editor_view.h"
#include "gui/pointer_shape.h"
#include "gui/step_edited.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// A click this close (in fractions of the width) to the bar's end shows the
// drag pointer.
constexpr double kGrabZone = 0.15;

uint16_t RoundToEntry(double v) { return static_cast<uint16_t>(std::round(v)); }

}  // namespace

MyBar::MyBar(IPlugBase* plug, const Rect& rect, Colour colour, int16_t entryNumber, uint16_t* entry,
             uint16_t* editedIndex, uint16_t* editedValue)
    : IControl(plug, rect),
      colour_(colour),
      entryNumber_(entryNumber),
      entry_(entry),
      editedIndex_(editedIndex),
      editedValue_(editedValue) {
  value_ = static_cast<float>(*entry) * 0.25f;
}

uint16_t MyBar::CurvedQuantise(double position) {
  const double narrowed = static_cast<float>(position);
  return RoundToEntry((1.0 - std::cos(kPi * narrowed)) * 4.0 * 0.5);
}

uint16_t MyBar::LinearQuantise(double position) { return RoundToEntry(position * 4.0); }

bool MyBar::Draw(IEditorView& view) {
  const int w = static_cast<int>(std::round(static_cast<double>(rect_.Width()) * value_));
  view.FillColourRect(colour_, Rect{rect_.left, rect_.top, rect_.left + w, rect_.bottom}, nullptr);
  // A value from the plug-in (unpacked words, nudges, the reset value of a
  // double click) reaches the pattern here.
  *entry_ = RoundToEntry(value_ * 4.0);
  return true;
}

void MyBar::OnMouseDown(int x, int y, const MouseMods& mods) {
  if (mods.R) {
    value_ = 1.0;
    Edit(x, Quantiser::kKeepValue);
    return;
  }
  if (x < rect_.left || x > rect_.right || y < rect_.top || y > rect_.bottom) return;
  const float pos = static_cast<float>(x - rect_.left) / static_cast<float>(rect_.Width());
  if (pos > value_ - kGrabZone && pos < value_ + kGrabZone) ShowSidewaysPointer();
  Edit(x, Quantiser::kCurved);
}

void MyBar::OnMouseDrag(int x, int y, int, int, const MouseMods&) {
  ShowSidewaysPointer();
  if (rect_.Contains(x, y)) Edit(x, Quantiser::kLinear);
}

void MyBar::OnMouseWheel(int, int, const MouseMods&, float notches) {
  if (!(std::fabs(notches) >= 1.0f)) return;
  const double level =
      std::clamp(std::round(value_ * 4.0) + std::trunc(static_cast<double>(notches)), 0.0, 4.0);
  value_ = level * 0.25;
  Edit(0, Quantiser::kKeepValue);
}

void MyBar::OnMouseDoubleClick(int, int, const MouseMods&) {
  if (resetValue_ < 0.0) return;
  value_ = resetValue_;
  Edit(0, Quantiser::kKeepValue);
}

void MyBar::Edit(int x, Quantiser quantiser) {
  uint16_t entryValue;
  if (quantiser == Quantiser::kKeepValue) {
    entryValue = RoundToEntry(value_ * 4.0);
  } else {
    const double position =
        static_cast<double>(x - rect_.left) / static_cast<double>(rect_.Width());
    value_ = position;
    entryValue =
        quantiser == Quantiser::kLinear ? LinearQuantise(position) : CurvedQuantise(position);
  }
  *entry_ = entryValue;
  *editedIndex_ = static_cast<uint16_t>(entryNumber_);
  *editedValue_ = entryValue;
  value_ = entryValue * 0.25;

  if (plug_ && plug_->GetParam(kStepEditedParam)) {
    plug_->BeginParamEdit(kStepEditedParam);
    RaiseStepEdited(plug_, view_);
    plug_->EndParamEdit(kStepEditedParam);
  }
  MarkDirty(true);
}
