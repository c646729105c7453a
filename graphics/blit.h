// Straight blits and rectangle fills with the blend rules of blend_rules.h.
// Null or empty bitmaps, zero alpha and rectangles clipped away draw nothing.
// [editor thread]
#pragma once

#include "graphics/bitmap.h"
#include "graphics/bitmap_rect.h"
#include "graphics/blend_mode.h"

// Draws srcRect of src (all of src when null) with its top-left corner at
// (dstX, dstY) of dest.
void Blit(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, const BitmapRect* srcRect,
          float alpha, BlendMode mode);

// Blit of the source area (srcX, srcY, srcX + width, srcY + height).
void BlitRegion(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, int32_t srcX, int32_t srcY,
                int32_t width, int32_t height, float alpha, BlendMode mode);

// Blends the colour word over the rectangle; with kBlendSourceAlpha the
// colour's own alpha scales the weight.
void FillRect(Bitmap* dest, int32_t x, int32_t y, int32_t width, int32_t height, Pixel color,
              float alpha, BlendMode mode);
