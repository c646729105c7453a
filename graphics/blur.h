// 3 x 3 cross blur (centre 1/2, neighbours 1/8; edge rows and columns give
// their single neighbour 1/4). dest and src may be the same bitmap.
// [editor thread]
#pragma once

#include "graphics/bitmap.h"

void Blur(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, int32_t srcX, int32_t srcY,
          int32_t srcW, int32_t srcH);
