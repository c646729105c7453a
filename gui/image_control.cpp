#include "gui/image_control.h"

#include <algorithm>

#include "gui/editor_view.h"

IImageControl::IImageControl(IPlugBase* plug, const Rect& rect, const BitmapRef& image,
                             const Blend& blend, bool framesVertical)
    : IControl(plug, rect), image_(image), framesVertical_(framesVertical) {
  blend_ = blend;
}

bool IImageControl::Draw(IEditorView& view) {
  int frame = 1;
  if (image_.frames > 1) {
    const int f = static_cast<int>((image_.frames - 1) * value_ + 0.5) + 1;
    if (f >= 1) frame = std::min(f, image_.frames);
  }
  return view.DrawBitmapFrame(image_, rect_, frame, &blend_, framesVertical_);
}
