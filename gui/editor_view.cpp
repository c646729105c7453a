// Link placeholder until the editor view's own implementation lands: it lets
// the plug-in framework link while no view exists. Replace this file
// wholesale with the view's implementation.
#include "gui/editor_view.h"

IEditorView::IEditorView(IPlugBase* plug, int width, int height, int frameRate)
    : plug_(plug), width_(width), height_(height), frameRate_(frameRate > 0 ? frameRate : 24) {}
IEditorView::~IEditorView() = default;
void IEditorView::PrepareDrawing() {}
void IEditorView::SetParameterFromPlugin(int, double, bool) {}
void IEditorView::SetControlsFromUser(int, double) {}
