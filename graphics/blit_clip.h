// Clipping shared by the blit-like routines: done once at entry so that the
// row loops can assume a valid, non-empty box.
#pragma once

#include "graphics/bitmap.h"
#include "graphics/bitmap_rect.h"

// A clipped, non-empty blit: rows addressed from the top on both sides.
struct BlitBox {
  Pixel* dest;
  intptr_t destStep;
  const Pixel* src;
  intptr_t srcStep;
  int32_t width;
  int32_t height;
};

// Clips srcRect of src (all of src when null) drawn at (dstX, dstY) of dest
// against both bitmaps; false when nothing is left to draw (also for null or
// empty bitmaps).
bool ClipBlit(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, const BitmapRect* srcRect,
              BlitBox& box);
