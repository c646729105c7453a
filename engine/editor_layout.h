// The effect's editor: which controls it holds, in which order, where, and
// with which images. The layout fills any view, so it can be checked without
// a window; the Windows build creates the real editor window around it in the
// effect's constructor (CreateEffectEditor), the native build has no editor.
#pragma once

#include "gui/records.h"

class GateEngine;
class IEditorView;
class IPlugBase;

constexpr int kEditorWidth = 620;
constexpr int kEditorHeight = 285;
// 0 lets the view use its default of 24 frames per second.
constexpr int kEditorFrameRate = 0;
constexpr int kEditorControlCount = 93;
// The step-activity strip between the two grids, repainted on every tick.
constexpr Rect kActivityStripRect = {30, 230, 589, 243};

// Attaches the background and every control to `view`, sets the engine's
// default pattern (time 2, volume 4 on every step) and hands the engine the
// controls it writes to: the status line and the 64 step bars.
// [effect constructor]
void BuildEditorLayout(IPlugBase* plug, GateEngine* engine, IEditorView* view);

// BuildEditorLayout, then attaches the view to the plug-in (which takes it
// over, sends it every value and announces its size to the host) and makes
// the activity strip the view's extra redraw rectangle. [effect constructor]
void AttachEditorLayout(IPlugBase* plug, GateEngine* engine, IEditorView* view);

// The effect's editor for this build: an editor window with the layout on
// Windows; nothing natively, where the effect announces no editor.
// [effect constructor]
void CreateEffectEditor(IPlugBase* plug, GateEngine* engine);
