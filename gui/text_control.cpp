#include "gui/text_control.h"

#include <cstring>

#include "gui/editor_view.h"

namespace {

// The buffer is shared with a reader on another thread without a lock: every
// byte is stored and loaded atomically. Relaxed order suffices, since a mixed
// text for one pass is acceptable (the control is drawn again) and the last
// byte, never written, always terminates.
void StoreChar(char* at, char c) { __atomic_store_n(at, c, __ATOMIC_RELAXED); }
char LoadChar(const char* at) { return __atomic_load_n(at, __ATOMIC_RELAXED); }

}  // namespace

ITextControl::ITextControl(IPlugBase* plug, const Rect& rect, const TextStyle& style,
                           const char* text)
    : IControl(plug, rect), style_(style) {
  std::memset(text_, 0, sizeof(text_));
  StoreText(text);
}

bool ITextControl::StoreText(const char* text) {
  if (!text) text = "";
  const size_t length = strnlen(text, kTextCapacity - 1);
  size_t same = 0;
  while (same < length && LoadChar(&text_[same]) == text[same]) ++same;
  if (same == length && LoadChar(&text_[length]) == '\0') return false;
  // Characters first, terminator last.
  for (size_t i = 0; i < length; ++i) StoreChar(&text_[i], text[i]);
  StoreChar(&text_[length], '\0');
  return true;
}

size_t ITextControl::CopyText(char* out, size_t size) const {
  if (!out || size == 0) return 0;
  size_t length = 0;
  while (length + 1 < size) {
    const char c = LoadChar(&text_[length]);
    if (c == '\0') break;
    out[length++] = c;
  }
  out[length] = '\0';
  return length;
}

void ITextControl::SetTextFromPlugin(const char* text) {
  if (!StoreText(text)) return;
  // Marked after the text is in place, and drawn twice, so a change that
  // lands while a pass is running still reaches the screen.
  MarkDirty(false);
  redrawAgain_ = true;
}

bool ITextControl::Draw(IEditorView& view) {
  char snapshot[kTextCapacity];
  if (CopyText(snapshot, sizeof(snapshot)) == 0) return true;
  return view.DrawTextInRect(style_, snapshot, rect_);
}

IEditableTextControl::IEditableTextControl(IPlugBase* plug, const Rect& rect,
                                           const TextStyle& style, const char* text,
                                           Colour background, bool editable, bool masked)
    : ITextControl(plug, rect, style, text),
      background_(background),
      editable_(editable),
      masked_(masked) {}

bool IEditableTextControl::Draw(IEditorView& view) {
  if (background_.A != 0) view.FillColourRect(background_, rect_, nullptr);
  char snapshot[kTextCapacity];
  const size_t shown = CopyText(snapshot, sizeof(snapshot));
  if (shown == 0) return true;
  if (!masked_) return view.DrawTextInRect(style_, snapshot, rect_);
  char stars[kMaxMaskLength + 1];
  const size_t length = shown < kMaxMaskLength ? shown : kMaxMaskLength;
  std::memset(stars, '*', length);
  stars[length] = '\0';
  return view.DrawTextInRect(style_, stars, rect_);
}

void IEditableTextControl::OnMouseDown(int, int, const MouseMods&) {
  if (noPrompt_ || !view_) return;
  view_->PromptTextEdit(this);
  redrawAgain_ = true;
}

void IEditableTextControl::SetTypedText(const char* text) {
  if (StoreText(text)) MarkDirty(false);
}
