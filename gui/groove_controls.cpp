#include "gui/groove_controls.h"

#include <cstdio>

#include "framework/plug_base.h"
#include "gui/pattern_editor.h"
#include "gui/value_label.h"

namespace {

constexpr Colour kGrooveLineColour{255, 66, 110, 170};
constexpr int kGrooveLineThickness = 2;
constexpr int kGrooveLineStart = 8;

void ShowGrooveMessage(IPlugBase* plug, int paramIndex, const char* caption) {
  PatternEditor* patterns = plug ? plug->Patterns() : nullptr;
  char text[kValueLabelSize + 32];
  if (patterns && FormatGrooveMessage(plug, paramIndex, caption, text, sizeof(text))) {
    patterns->ShowStatus(text);
  }
}

}  // namespace

bool FormatGrooveMessage(IPlugBase* plug, int paramIndex, const char* caption, char* text,
                         size_t size) {
  char value[kValueLabelSize];
  if (!caption || !FormatValueLabel(plug, paramIndex, true, value)) return false;
  return std::snprintf(text, size, "%s: %s", caption, value) > 0;
}

GrooveSlider::GrooveSlider(IPlugBase* plug, int paramIndex, const char* caption, const Rect& rect,
                           const BitmapRef& handle, const TextStyle& labelStyle, int trackLength)
    : ISlider(plug, paramIndex, rect, handle, labelStyle, trackLength, true, kGrooveLineColour,
              kGrooveLineThickness, kGrooveLineStart),
      caption_(caption) {}

void GrooveSlider::MarkDirty(bool pushToPlugin) {
  ISlider::MarkDirty(pushToPlugin);
  if (pushToPlugin) ShowGrooveMessage(plug_, paramIndex_, caption_);
}

GrooveSelector::GrooveSelector(IPlugBase* plug, int paramIndex, const char* caption, int x, int y,
                               const BitmapRef& image, int size1, int size2, int size3)
    : IRadioButtons(plug, paramIndex, x, y, image, true, kHorizontal, size1, size2, size3),
      caption_(caption) {}

void GrooveSelector::MarkDirty(bool pushToPlugin) {
  IRadioButtons::MarkDirty(pushToPlugin);
  if (pushToPlugin) ShowGrooveMessage(plug_, paramIndex_, caption_);
}
