#include "gui/text_control.h"

#include <cstring>

#include "gui/editor_view.h"

ITextControl::ITextControl(IPlugBase* plug, const Rect& rect, const TextStyle& style,
                           const char* text)
    : IControl(plug, rect), style_(style) {
  std::memset(text_, 0, sizeof(text_));
  StoreText(text);
}

bool ITextControl::StoreText(const char* text) {
  if (!text) text = "";
  const size_t length = strnlen(text, kTextCapacity - 1);
  if (std::strncmp(text_, text, length) == 0 && text_[length] == '\0') return false;
  // Characters first, terminator last: a racing reader always finds a
  // terminator within the buffer (the final byte is never written).
  std::memcpy(text_, text, length);
  text_[length] = '\0';
  return true;
}

void ITextControl::SetTextFromPlugin(const char* text) {
  if (!StoreText(text)) return;
  // Marked after the text is in place, and drawn twice, so a change that
  // lands while a pass is running still reaches the screen.
  MarkDirty(false);
  redrawAgain_ = true;
}

bool ITextControl::Draw(IEditorView& view) {
  if (text_[0] == '\0') return true;
  return view.DrawTextInRect(style_, text_, rect_);
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
  if (text_[0] == '\0') return true;
  if (!masked_) return view.DrawTextInRect(style_, text_, rect_);
  char stars[kMaxMaskLength + 1];
  const size_t length = strnlen(text_, kMaxMaskLength);
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
