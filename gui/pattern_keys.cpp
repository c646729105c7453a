#include "gui/pattern_keys.h"

#include <algorithm>

#include "engine/pattern_words.h"
#include "gui/editor_view.h"
#include "gui/pattern_editor.h"
#include "gui/step_bar.h"

namespace {

// Moves the cursor and marks the two bars of its step; false when the
// view has no bars to show it.
bool ShowCursor(IEditorView& view, PatternEditor& patterns, int step) {
  bool shown = false;
  for (int i = 0; i < view.ControlCount(); ++i) {
    if (auto* bar = dynamic_cast<MyBar*>(view.GetControl(i))) {
      bar->SetCursorMark(bar->EntryNumber() % kStepCountMax == step);
      shown = true;
    }
  }
  if (shown) patterns.SetCursorStep(step);
  return shown;
}

bool HandleCommandKey(IEditorView& view, PatternEditor& patterns, KeyCode key,
                      const KeyMods& mods) {
  if (key == LetterKey('Z')) {
    mods.shift ? patterns.Redo() : patterns.Undo();
  } else if (key == LetterKey('Y')) {
    patterns.Redo();
  } else if (key == LetterKey('C')) {
    patterns.CopyTo(view);
  } else if (key == LetterKey('V')) {
    patterns.PasteFrom(view);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool HandlePatternKey(IEditorView& view, PatternEditor& patterns, KeyCode key,
                      const KeyMods& mods) {
  if (mods.ctrl) return !mods.alt && HandleCommandKey(view, patterns, key, mods);
  if (mods.alt) return false;
  const bool moves = key == kKeyLeft || key == kKeyRight;
  const bool nudges = key == kKeyUp || key == kKeyDown;
  const bool sets = key >= kKeyDigit0 && key <= kKeyDigit0 + 4;
  if (!(moves || nudges || sets)) return false;

  const int cycle = std::clamp(patterns.PlayingCycle(), 1, kStepCountMax);
  const bool hidden = patterns.CursorStep() < 0;
  // A shorter Cycle may have left the cursor past the playing steps.
  const int step = hidden ? 0 : std::min(patterns.CursorStep(), cycle - 1);
  if (moves) {
    const int moved = hidden ? 0 : (step + (key == kKeyRight ? 1 : cycle - 1)) % cycle;
    return ShowCursor(view, patterns, moved);
  }
  if (!ShowCursor(view, patterns, step)) return false;
  const int entry = mods.shift ? kStepCountMax + step : step;
  int value = key - kKeyDigit0;
  if (nudges) value = patterns.Entry(entry) + (key == kKeyUp ? 1 : -1);
  patterns.SetEntry(entry, static_cast<uint16_t>(std::clamp(value, 0, 4)));
  return true;
}
