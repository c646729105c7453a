#include "graphics/bitmap.h"

BitmapView ViewOf(Bitmap* bitmap) {
  BitmapView view;
  if (bitmap == nullptr) return view;
  Pixel* bits = bitmap->GetBits();
  int32_t width = bitmap->GetWidth();
  int32_t height = bitmap->GetHeight();
  int32_t span = bitmap->GetRowSpan();
  if (bits == nullptr || span == 0 || width <= 0 || height <= 0) return view;
  view.width = width;
  view.height = height;
  if (bitmap->IsBottomUp()) {
    view.first = bits + static_cast<intptr_t>(height - 1) * span;
    view.step = -static_cast<intptr_t>(span);
  } else {
    view.first = bits;
    view.step = span;
  }
  return view;
}
