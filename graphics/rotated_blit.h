// Scaled and rotated drawing over a general affine row walker.
// [editor thread]
#pragma once

#include "graphics/bitmap.h"
#include "graphics/blend_mode.h"

// Blends one sample into one destination pixel with weight w (alpha * 256).
using PixelFunction = void (*)(Pixel* dest, const SampleRgba& sample, int32_t weight);

// The per-pixel function for a mode word (mode & 0x100FF), or null when the
// mode draws nothing this way (channel copy, or copy with a weight below 1).
PixelFunction PixelFunctionForMode(BlendMode mode, int32_t weight);

// Draws the source rectangle scaled into the destination rectangle and
// rotated by angle (radians) about its centre, shifted by the rotation
// offsets. A negative dstW or dstH mirrors. Without clipToSource the whole
// source bitmap may be sampled; with it only the source rectangle.
void RotatedBlit(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, int32_t dstW, int32_t dstH,
                 float srcX, float srcY, float srcW, float srcH, float angle, bool clipToSource,
                 float alpha, BlendMode mode, float rotXOffset, float rotYOffset);

// Walks height rows of width destination pixels; s/t are source x/y in
// 16.16 relative to the source clip origin, stepped by (dsdx, dtdx) along a
// row and (dsdy, dtdy) from row to row, the row steps themselves changing by
// (dsdxdy, dtdxdy). Samples outside clipW x clipH are not drawn. filter
// 0x100 is bilinear, anything else nearest.
void DeltaBlit(Pixel* destPtr, const Pixel* srcPtr, int32_t width, int32_t height, int32_t s0,
               int32_t t0, int32_t dsdx, int32_t dtdx, int32_t dsdy, int32_t dtdy, int32_t dsdxdy,
               int32_t dtdxdy, int32_t clipW, int32_t clipH, intptr_t srcSpanBytes,
               intptr_t destSpanBytes, int32_t weight, uint32_t filter, PixelFunction pixelFunction);

// Floating point to 16.16, nearest, halves away from zero.
int32_t ToFixed16(double value);
