#include "support/gui_headless_editor.h"

#include "graphics/bitmap.h"
#include "support/gui_test_images.h"

bool HeadlessEditor::PaintRect(const Rect& rect) {
  painted.push_back(rect);
  return true;
}

bool HeadlessEditor::PromptTextEdit(IControl* control) {
  textPrompts.push_back(control);
  return true;
}

bool HeadlessEditor::PromptParamEdit(IControl* control, IPlugParam*, bool) {
  paramPrompts.push_back(control);
  return true;
}

bool HeadlessEditor::OpenUrl(const char* url, const char*, const char*, const char* error) {
  openedUrls.emplace_back(url ? url : "");
  lastUrlError = error ? error : "";
  return true;
}

Bitmap* HeadlessEditor::LoadImageResource(int id, const char*) { return gui_images::Make(id); }

uint32_t HeadlessEditor::PixelAt(int x, int y) const {
  Bitmap* buffer = BackBuffer();
  return buffer->GetBits()[y * buffer->GetRowSpan() + x];
}

void HeadlessEditor::ClearBackBuffer(uint32_t word) {
  Bitmap* buffer = BackBuffer();
  for (int y = 0; y < buffer->GetHeight(); ++y) {
    for (int x = 0; x < buffer->GetWidth(); ++x)
      buffer->GetBits()[y * buffer->GetRowSpan() + x] = word;
  }
}
