// BitmapRect: a rectangle of pixels as the library takes it, left and top
// inclusive, right and bottom exclusive.
#pragma once

#include <cstdint>

struct BitmapRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
