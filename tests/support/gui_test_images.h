// Images made by the tests, served to the headless editor by resource id.
// The bitmap cache is process-wide and keeps the first image loaded for an
// id, so each id must always be defined the same way.
#pragma once

#include <cstdint>
#include <functional>

class Bitmap;

namespace gui_images {

using PixelRule = std::function<uint32_t(int x, int y)>;

// Defines (or redefines, before its first load) the image for an id.
void Define(int id, int width, int height, PixelRule rule);
// A new bitmap for the id, or null when none is defined.
Bitmap* Make(int id);
// How many times Make has been called for the id.
int MakeCount(int id);

// A pixel that encodes its own position: opaque, red = x, green = y,
// blue = tag. Lets a test see which source pixel landed where.
inline uint32_t PositionPixel(int x, int y, int tag) {
  return 0xFF000000u | (static_cast<uint32_t>(x & 255) << 16) |
         (static_cast<uint32_t>(y & 255) << 8) | static_cast<uint32_t>(tag & 255);
}

}  // namespace gui_images
