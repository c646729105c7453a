// ProgramSlot: the active program slot, as its number (1-50) and, when the
// whole of it fits the line, its name. Programs change from the host, from
// a MIDI note or from a loaded state without telling the editor, so the
// control looks at the instance each time the view asks what to redraw.
#pragma once

#include <cstddef>

#include "gui/text_control.h"

class ProgramSlot : public ITextControl {
 public:
  // The longest line shown: number, a space and the name.
  static constexpr size_t kLineChars = 22;

  ProgramSlot(IPlugBase* plug, const Rect& rect, const TextStyle& style);

  // Takes the current slot's line, then answers as any control does.
  // [editor thread]
  bool NeedsRedraw() override;
  // Takes the current slot's line and draws it. [editor thread]
  bool Draw(IEditorView& view) override;

  // The line for slot `index` (from 0) named `name`. [any thread]
  static void FormatLine(int index, const char* name, char* line, size_t size);

 private:
  // Stores the current slot's line, read under the instance lock; true when
  // it changed.
  bool TakeCurrentLine();
};
