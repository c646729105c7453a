// The edit path every pattern change of the editor takes: StepEdited (24)
// set to 1 through the editor's relay control, which makes the engine show
// the edit's status message and pack the pattern into the host's pattern
// words at the next audio block. The caller opens and closes the host
// gesture around it (one for a click, one for a whole drawing).
#pragma once

class IEditorView;
class IPlugBase;

constexpr int kStepEditedParam = 24;

// `view` is the one holding the relay control (may be null).
// [editor thread, instance lock not held]
void RaiseStepEdited(IPlugBase* plug, IEditorView* view);
