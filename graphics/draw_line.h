// Clipped line from (x1, y1) to (x2, y2), both ends inclusive, with the
// rule in bits 0-7 of mode; optionally anti-aliased. [editor thread]
#pragma once

#include "graphics/bitmap.h"
#include "graphics/blend_mode.h"

void DrawLine(Bitmap* dest, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Pixel color,
              float alpha, BlendMode mode, bool antiAlias);
