#include "graphics/blit_clip.h"

#include <algorithm>

// All edges are computed in 64 bits, so no position or size can overflow.
bool ClipBlit(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, const BitmapRect* srcRect,
              BlitBox& box) {
  BitmapView destView = ViewOf(dest);
  BitmapView srcView = ViewOf(src);
  if (destView.Empty() || srcView.Empty()) return false;
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = srcView.width;
  int64_t bottom = srcView.height;
  if (srcRect != nullptr) {
    left = srcRect->left;
    top = srcRect->top;
    right = std::min<int64_t>(srcRect->right, srcView.width);
    bottom = std::min<int64_t>(srcRect->bottom, srcView.height);
  }
  int64_t x = dstX;
  int64_t y = dstY;
  if (left < 0) {
    x -= left;
    left = 0;
  }
  if (top < 0) {
    y -= top;
    top = 0;
  }
  if (x < 0) {
    left -= x;
    x = 0;
  }
  if (y < 0) {
    top -= y;
    y = 0;
  }
  if (left >= right || top >= bottom || x >= destView.width || y >= destView.height) return false;
  right = std::min<int64_t>(right, left + destView.width - x);
  bottom = std::min<int64_t>(bottom, top + destView.height - y);
  if (left >= right || top >= bottom) return false;
  box.dest = destView.Row(static_cast<int32_t>(y)) + x;
  box.destStep = destView.step;
  box.src = srcView.Row(static_cast<int32_t>(top)) + left;
  box.srcStep = srcView.step;
  box.width = static_cast<int32_t>(right - left);
  box.height = static_cast<int32_t>(bottom - top);
  return true;
}

