// The decoder shared by the PNG loaders: reads from a memory block or an
// open file with libpng into dest or a new MemoryBitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "graphics/bitmap.h"

struct PngInput {
  const uint8_t* data;  // memory input when file is null
  size_t size;
  std::FILE* file;
};

// Null on any failure; a bitmap created here is then released, and a given
// dest is left as it is apart from a possible resize.
Bitmap* DecodePng(const PngInput& input, Bitmap* dest);
