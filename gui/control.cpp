#include "gui/control.h"

#include "framework/plug_base.h"
#include "gui/editor_view.h"

IControl::IControl(IPlugBase* plug, const Rect& rect, int paramIndex)
    : plug_(plug), rect_(rect), targetRect_(rect), paramIndex_(paramIndex) {}

IControl::~IControl() = default;

void IControl::OnMouseDown(int, int, const MouseMods& mods) {
  if (mods.R) PromptForValue();
}

void IControl::OnMouseUp(int, int, const MouseMods&) {}
void IControl::OnDropFile(int, int, const char*) {}
void IControl::OnMouseDrag(int, int, int, int, const MouseMods&) {}

void IControl::OnMouseDoubleClick(int, int, const MouseMods&) {
  if (resetValue_ >= 0.0) {
    value_ = resetValue_;
    MarkDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, const MouseMods& mods, float notches) {
  const double perNotch = (mods.C || mods.S) ? 0.001 : 0.01;
  value_ = value_ + notches * perNotch;
  MarkDirty(true);
}

void IControl::OnKeyDown(int, int, KeyCode) {}
void IControl::OnMouseOver(int, int, const MouseMods&) {}
void IControl::OnMouseOut() {}
void IControl::OnFocusLost() {}

void IControl::SetValueFromPlugin(double value) {
  if (resetValue_ < 0.0) {
    resetValue_ = value;
  } else if (value == value_) {
    return;
  }
  value_ = value;
  MarkDirty(false);
  redrawAgain_ = true;
}

void IControl::SetValueFromUser(double value) {
  value_ = value;
  MarkDirty(true);
  redrawAgain_ = true;
}

void IControl::SetHidden(bool hidden) {
  hidden_ = hidden;
  redrawAgain_ = true;
  MarkDirty(false);
}

void IControl::SetGrayed(bool grayed) {
  grayed_ = grayed;
  blend_.weight = grayed ? 0.25f : 1.0f;
  MarkDirty(false);
}

bool IControl::HitTest(int x, int y) { return targetRect_.Contains(x, y); }

void IControl::MarkDirty(bool pushToPlugin) {
  if (value_ < minValue_) value_ = minValue_;
  if (value_ > maxValue_) value_ = maxValue_;
  dirty_ = true;
  if (pushToPlugin && plug_ && paramIndex_ >= 0) {
    plug_->ApplyEditorParamChange(paramIndex_, value_);
  }
}

void IControl::MarkClean() {
  dirty_ = redrawAgain_.load();
  redrawAgain_ = false;
}

bool IControl::NeedsRedraw() { return dirty_; }

void IControl::PromptForValue() {
  if (paramIndex_ < 0 || noPrompt_ || !view_) return;
  IPlugParam* param = plug_ ? plug_->GetParam(paramIndex_) : nullptr;
  if (!param) return;
  view_->PromptParamEdit(this, param, true);
  redrawAgain_ = true;
}

void IControl::EndPrompt() {
  MarkDirty(true);
  redrawAgain_ = true;
}
