#include "gui/step_edited.h"

#include "framework/plug_base.h"
#include "gui/editor_view.h"

void RaiseStepEdited(IPlugBase* plug, IEditorView* view) {
  IPlugParam* stepEdited = plug ? plug->GetParam(kStepEditedParam) : nullptr;
  if (!stepEdited) return;
  double raised = 1.0;
  if (stepEdited->Min() > 1.0) {
    raised = stepEdited->Min();
  } else if (stepEdited->Max() < 1.0) {
    raised = stepEdited->Max();
  }
  stepEdited->SetValue(raised);
  if (view) view->SetControlsFromUser(kStepEditedParam, stepEdited->GetNormalized());
}
