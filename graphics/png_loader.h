// PNG decoding into 32-bit Pixel bitmaps (straight alpha; images without
// alpha get 255). Each loader returns dest (resized to the image) when one
// is given, otherwise a new MemoryBitmap that the caller owns, or null on
// any failure: nothing is reported and a bitmap the loader created is
// released. Images wider or taller than kMaxBitmapSide are refused.
// [caller's thread; no global state]
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/bitmap.h"

// Decodes a PNG held in memory (the whole file, signature included).
Bitmap* LoadPngFromMemory(const void* data, size_t size, Bitmap* dest);

// Decodes a PNG file; path is UTF-8.
Bitmap* LoadPngFromFile(const char* path, Bitmap* dest);

// The ImageLoaderList entry: with checkExtension, a path not ending in
// ".png" (any case) gives null without opening the file.
Bitmap* LoadPngWithExtensionCheck(const char* path, bool checkExtension, Bitmap* dest);

#if defined(_WIN32)
struct HINSTANCE__;
// Decodes the resource of type "PNG" with this id from the module.
Bitmap* LoadPngFromResource(HINSTANCE__* module, uint16_t id, Bitmap* dest);
#endif
