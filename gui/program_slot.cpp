#include "gui/program_slot.h"

#include <cstdio>
#include <cstring>

#include "framework/plug_base.h"
#include "framework/recursive_lock.h"

ProgramSlot::ProgramSlot(IPlugBase* plug, const Rect& rect, const TextStyle& style)
    : ITextControl(plug, rect, style, "") {}

void ProgramSlot::FormatLine(int index, const char* name, char* line, size_t size) {
  const int written = std::snprintf(line, size, "%d", index + 1);
  if (!name || name[0] == '\0' || written < 0) return;
  const size_t used = static_cast<size_t>(written);
  // A name cut short would read as another name: it shows whole or not at all.
  if (used + 1 + std::strlen(name) > kLineChars) return;
  std::snprintf(line + used, size - used, " %s", name);
}

bool ProgramSlot::TakeCurrentLine() {
  if (!plug_) return false;
  char line[kLineChars + 8];
  {
    ScopedLock lock(plug_->InstanceLock());
    const int index = plug_->CurrentPresetIndex();
    FormatLine(index, plug_->PresetName(index), line, sizeof(line));
  }
  return StoreText(line);
}

bool ProgramSlot::NeedsRedraw() {
  if (TakeCurrentLine()) {
    MarkDirty(false);
    redrawAgain_ = true;
  }
  return ITextControl::NeedsRedraw();
}

bool ProgramSlot::Draw(IEditorView& view) {
  TakeCurrentLine();
  return ITextControl::Draw(view);
}
