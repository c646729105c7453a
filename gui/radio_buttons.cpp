#include "gui/radio_buttons.h"

#include <cmath>

#include "gui/editor_view.h"

IRadioButtons::IRadioButtons(IPlugBase* plug, int paramIndex, int x, int y, const BitmapRef& image,
                             bool wholeGroupImage, int direction, int size1, int size2, int size3)
    : IControl(plug, Rect{}, paramIndex),
      image_(image),
      vertical_(direction != kHorizontal),
      wholeGroupImage_(wholeGroupImage) {
  // A fast second click picks again rather than snapping to the default.
  SetDoubleClickAsMouseDown(true);
  const int count = image.frames > 0 ? image.frames : 1;
  if (wholeGroupImage) {
    rect_ = Rect{x, y, x + image.width, y + image.height};
    const int length = vertical_ ? image.height : image.width;
    const bool sized = size1 != 0 || size2 != 0 || size3 != 0;
    const int sizes[3] = {size1, size2, size3};
    int start = 0;
    for (int i = 0; i < count; ++i) {
      int size;
      if (i == count - 1) {
        size = sized ? length - size1 - size2 - size3 : length / count;
      } else {
        const int given = sizes[i < 3 ? i : 2];
        size = given != 0 ? given : length / count;
      }
      buttons_.push_back(vertical_ ? Rect{x, y + start, x + image.width, y + start + size}
                                   : Rect{x + start, y, x + start + size, y + image.height});
      start += size;
    }
  } else {
    // One button's look per image, repeated along the group: each button is
    // the image's size.
    const int buttonW = image.width;
    const int buttonH = image.height;
    for (int i = 0; i < count; ++i) {
      buttons_.push_back(vertical_ ? Rect{x, y + i * buttonH, x + buttonW, y + (i + 1) * buttonH}
                                   : Rect{x + i * buttonW, y, x + (i + 1) * buttonW, y + buttonH});
    }
    rect_ = Rect{x, y, buttons_.back().right, buttons_.back().bottom};
  }
  targetRect_ = rect_;
}

bool IRadioButtons::Draw(IEditorView& view) {
  const int count = ButtonCount();
  int i = static_cast<int>(std::round((count - 1) * value_)) + 1;
  if (i < 1) i = 1;
  if (i > count) i = count;
  const Rect& button = buttons_[static_cast<size_t>(i - 1)];
  if (!wholeGroupImage_) return view.DrawBitmap(image_, button, 0, 0, &blend_);
  const int srcX = vertical_ ? 0 : button.left - rect_.left;
  const int srcY = vertical_ ? button.top - rect_.top : 0;
  return view.DrawBitmap(image_, button, srcX, srcY, &blend_);
}

void IRadioButtons::OnMouseDown(int x, int y, const MouseMods& mods) {
  if (mods.R) {
    PromptForValue();  // honours the no-prompt flag itself
  } else {
    const int count = ButtonCount();
    for (int i = 0; i < count; ++i) {
      if (buttons_[static_cast<size_t>(i)].Contains(x, y)) {
        value_ = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
        break;
      }
    }
  }
  MarkDirty(true);
}
