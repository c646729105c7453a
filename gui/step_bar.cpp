#include "gui/step_bar.h"

#include <algorithm>
#include <cmath>

#include "engine/pattern_words.h"
#include "framework/plug_base.h"
#include "gui/editor_view.h"
#include "gui/pattern_editor.h"
#include "gui/pointer_shape.h"
#include "gui/step_chances.h"
#include "gui/step_edited.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// A click this close (in fractions of the width) to the bar's end shows the
// drag pointer.
constexpr double kGrabZone = 0.15;

constexpr int kCursorMarkRows = 2;
constexpr Colour kCursorMarkColour{255, 255, 255, 255};

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
  if (cursorMark_) {
    const bool levels = entryNumber_ >= kStepCountMax;
    const int top = levels ? rect_.bottom - kCursorMarkRows : rect_.top;
    view.FillColourRect(kCursorMarkColour,
                        Rect{rect_.left, top, rect_.right, top + kCursorMarkRows}, nullptr);
  }
  // A value from the plug-in (unpacked words, nudges, the reset value of a
  // double click) reaches the pattern here.
  *entry_ = RoundToEntry(value_ * 4.0);
  return true;
}

double MyBar::PlaceOf(int x) const {
  return static_cast<double>(x - rect_.left) / static_cast<double>(rect_.Width());
}

void MyBar::SetCursorMark(bool marked) {
  if (marked == cursorMark_) return;
  cursorMark_ = marked;
  MarkDirty(false);
  redrawAgain_ = true;
}

StepChances* MyBar::ChancesOfStep() const {
  if (!view_) return nullptr;
  const int step = entryNumber_ % kStepCountMax;
  for (int i = 0; i < view_->ControlCount(); ++i) {
    auto* chances = dynamic_cast<StepChances*>(view_->GetControl(i));
    if (chances && chances->HoldsStep(step)) return chances;
  }
  return nullptr;
}

void MyBar::CycleChance() {
  chancePress_ = true;
  if (StepChances* chances = ChancesOfStep()) chances->CycleStep(entryNumber_ % kStepCountMax);
}

void MyBar::OnMouseDown(int x, int y, const MouseMods& mods) {
  chancePress_ = false;
  if (mods.C && !mods.R) return CycleChance();
  PatternEditor* patterns = plug_ ? plug_->Patterns() : nullptr;
  if (mods.R) {
    if (patterns) return EditAlone(4);
    value_ = 1.0;
    Edit(x, Quantiser::kKeepValue);
    return;
  }
  if (x < rect_.left || x > rect_.right || y < rect_.top || y > rect_.bottom) return;
  const float pos = static_cast<float>(x - rect_.left) / static_cast<float>(rect_.Width());
  if (pos > value_ - kGrabZone && pos < value_ + kGrabZone) ShowSidewaysPointer();
  if (!patterns) return Edit(x, Quantiser::kCurved);
  patterns->BeginDraw(entryNumber_);
  patterns->DrawEntry(entryNumber_, CurvedQuantise(PlaceOf(x)));
  strokeBar_ = this;
  strokePlace_ = PlaceOf(x);
}

void MyBar::OnMouseDrag(int x, int y, int, int, const MouseMods&) {
  if (chancePress_) return;
  ShowSidewaysPointer();
  PatternEditor* patterns = plug_ ? plug_->Patterns() : nullptr;
  if (!patterns) {
    if (rect_.Contains(x, y)) Edit(x, Quantiser::kLinear);
    return;
  }
  // A stroke ended meanwhile (an undo key during the press) draws no more.
  if (!strokeBar_ || !patterns->Drawing()) return;
  if (MyBar* target = BandBarAt(x, y)) DrawOnto(target, target->PlaceOf(x));
}

void MyBar::OnMouseUp(int, int, const MouseMods&) {
  chancePress_ = false;
  if (!strokeBar_) return;
  strokeBar_ = nullptr;
  if (PatternEditor* patterns = plug_ ? plug_->Patterns() : nullptr) patterns->EndDraw();
}

MyBar* MyBar::BandBarAt(int x, int y) const {
  if (!view_) return rect_.Contains(x, y) ? const_cast<MyBar*>(this) : nullptr;
  const bool levels = entryNumber_ >= kStepCountMax;
  for (int i = 0; i < view_->ControlCount(); ++i) {
    auto* bar = dynamic_cast<MyBar*>(view_->GetControl(i));
    if (bar && (bar->entryNumber_ >= kStepCountMax) == levels && bar->rect_.Contains(x, y)) {
      return bar;
    }
  }
  return nullptr;
}

void MyBar::DrawOnto(MyBar* target, double place) {
  PatternEditor* patterns = plug_->Patterns();
  const Rect from = strokeBar_->rect_;
  const Rect to = target->rect_;
  if (target != strokeBar_ && from.top == to.top && view_) {
    // Bars the pointer jumped over between two motion events.
    const bool levels = entryNumber_ >= kStepCountMax;
    for (int i = 0; i < view_->ControlCount(); ++i) {
      auto* bar = dynamic_cast<MyBar*>(view_->GetControl(i));
      if (!bar || (bar->entryNumber_ >= kStepCountMax) != levels || bar->rect_.top != to.top) {
        continue;
      }
      const int left = bar->rect_.left;
      if (left <= std::min(from.left, to.left) || left >= std::max(from.left, to.left)) continue;
      const double along =
          static_cast<double>(left - from.left) / static_cast<double>(to.left - from.left);
      const double between = strokePlace_ + (place - strokePlace_) * along;
      patterns->DrawEntry(bar->entryNumber_, LinearQuantise(std::clamp(between, 0.0, 1.0)));
    }
  }
  patterns->DrawEntry(target->entryNumber_, LinearQuantise(std::clamp(place, 0.0, 1.0)));
  strokeBar_ = target;
  strokePlace_ = place;
}

void MyBar::EditAlone(uint16_t entryValue) {
  PatternEditor* patterns = plug_->Patterns();
  patterns->BeginDraw(entryNumber_);
  patterns->DrawEntry(entryNumber_, entryValue);
  patterns->EndDraw();
}

void MyBar::OnMouseWheel(int, int, const MouseMods&, float notches) {
  if (!(std::fabs(notches) >= 1.0f)) return;
  const double level =
      std::clamp(std::round(value_ * 4.0) + std::trunc(static_cast<double>(notches)), 0.0, 4.0);
  if (plug_ && plug_->Patterns()) return EditAlone(static_cast<uint16_t>(level));
  value_ = level * 0.25;
  Edit(0, Quantiser::kKeepValue);
}

void MyBar::OnMouseDoubleClick(int, int, const MouseMods& mods) {
  // A quick second Ctrl+click cycles on, as the first did.
  if (mods.C && !mods.R) return CycleChance();
  chancePress_ = false;
  if (resetValue_ < 0.0) return;
  if (plug_ && plug_->Patterns()) return EditAlone(RoundToEntry(resetValue_ * 4.0));
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
