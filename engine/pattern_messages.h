// Texts of the pattern menu: the labels its history steps carry (shown as
// "Undo <label>") and the status-line messages of its operations. Labels are
// formatted into PatternHistory::kLabelSize bytes, messages into
// kInfoMessageSize bytes; every text fits its buffer.
#pragma once

#include <cstdint>

#include "engine/info_messages.h"
#include "engine/pattern_history.h"
#include "engine/pattern_ops.h"

// "Shift left", "Invert levels", ...: the menu item and the history label.
const char* PatternOpLabel(PatternOp op);  // [any thread]
// "Shifted steps 1-12 left", "Cleared times of steps 1-12", ...
void FormatPatternOpMessage(char* buffer, PatternOp op, int cycle);  // [any thread]

// "Euclid 5 of 16", with ", rotated 2" when rotated.
void FormatEuclidLabel(char* buffer, int hits, int cycle, int rotation);  // [any thread]
// "Euclidean rhythm: 5 of 16 steps", with ", rotated 2" when rotated.
void FormatEuclidMessage(char* buffer, int hits, int cycle, int rotation);  // [any thread]

// "sparse", "medium", "dense".
const char* DensityName(RandomiseDensity density);  // [any thread]
// "Randomise times", "Randomise levels", "Randomise pattern".
const char* RandomiseLabel(RandomiseKind kind);  // [any thread]
// "Randomised times (seed 1234, dense)"; levels alone do not name the
// density, which does not change them: "Randomised levels (seed 1234)".
void FormatRandomiseMessage(char* buffer, RandomiseKind kind, RandomiseDensity density,
                            uint32_t seed);  // [any thread]

// A drawing gesture over entries first..last (0-31 times, 32-63 levels, one
// grid): "Step 5 time" for one step, "Draw levels, steps 3-7" for several.
void FormatDrawLabel(char* buffer, int firstEntry, int lastEntry);  // [any thread]

const char* PasteLabel();          // "Paste"
const char* CopiedMessage();       // "Pattern copied"
const char* NotAPatternMessage();  // "Not a pattern: nothing pasted"
const char* NoClipboardMessage();  // "Clipboard not available"
// "Pasted pattern", or "Pasted pattern (copied with Cycle 12)" when the
// instance's cycle differs from the copied one.
void FormatPasteMessage(char* buffer, int copiedCycle, int cycle);  // [any thread]

// What Undo / Redo did with the step labelled `label`: "Undone: Shift left",
// "Redone: Shift left"; a null label gives "Nothing to undo" / "Nothing to redo".
void FormatUndoMessage(char* buffer, bool redo, const char* label);  // [any thread]
// The menu item: "Undo Shift left", or plain "Undo" / "Redo" for an empty or
// null label. kInfoMessageSize bytes.
void FormatUndoMenuItem(char* buffer, bool redo, const char* label);  // [any thread]
