#include "gui/button_control.h"

#include "gui/editor_view.h"

IButton::IButton(IPlugBase* plug, int paramIndex, int x, int y, const BitmapRef& image)
    : IControl(
          plug,
          Rect{x, y, x + image.width, y + image.height / (image.frames > 0 ? image.frames : 1)},
          paramIndex),
      image_(image) {
  // A fast second click toggles again rather than snapping to the default.
  SetDoubleClickAsMouseDown(true);
}

bool IButton::Draw(IEditorView& view) {
  if (value_ > 0.5) view.DrawBitmapFrame(image_, rect_, 1, nullptr, true);
  return true;
}

void IButton::OnMouseDown(int, int, const MouseMods& mods) {
  if (!mods.R) value_ = value_ <= 0.5 ? 1.0 : 0.0;
  MarkDirty(true);
}
