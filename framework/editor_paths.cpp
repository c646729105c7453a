// The editor's way into IPlugBase: attaching the view, user edits and the
// postponed end of a wheel gesture.
#include "framework/plug_base.h"
#include "gui/editor_view.h"

void IPlugBase::AttachEditor(IEditorView* editor) {
  if (!editor) return;
  ScopedLock lock(instanceLock_);
  for (int i = 0; i < NParams(); ++i) {
    editor->SetParameterFromPlugin(i, params_[static_cast<size_t>(i)]->GetNormalized(), true);
  }
  editor->PrepareDrawing();
  if (editor_ != editor) delete editor_;
  editor_ = editor;
}

void IPlugBase::ApplyEditorParamChange(int index, double normalized) {
  ScopedLock lock(instanceLock_);
  IPlugParam* param = GetParam(index);
  if (!param) return;
  param->SetFromNormalized(normalized);
  // The host hears the control's own position, not the rounded value.
  AutomateParam(index, normalized);
  OnParamChanged(index);
}

void IPlugBase::DeferParamEditEnd(int index) {
  ScopedLock lock(instanceLock_);
  if (!editor_) {
    EndParamEdit(index);
    return;
  }
  pendingEditEnd_ = index;
  const int halfSecond = editor_->FrameRate() / 2;
  editor_->SetDeferredTicks(halfSecond > 1 ? halfSecond : 1);
}

void IPlugBase::FlushPendingEditEnd() {
  ScopedLock lock(instanceLock_);
  if (editor_) editor_->ClearDeferredTicks();
  if (pendingEditEnd_ >= 0) {
    const int index = pendingEditEnd_;
    pendingEditEnd_ = -1;
    EndParamEdit(index);
  }
}
