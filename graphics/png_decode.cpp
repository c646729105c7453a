#include "graphics/png_decode.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "graphics/memory_bitmap.h"

namespace {

struct MemoryReader {
  const uint8_t* next;
  size_t left;
};

// A read past the end is an error at once. Serving zero bytes instead is not
// safe: inside an IDAT chunk that claims more data than the file holds, zero
// bits can be valid compressed data, and the decoder would go on producing
// an image from bytes that do not exist (slowly, for a large claimed size).
void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  std::memset(out, 0, count);
  size_t n = count < reader->left ? count : reader->left;
  if (n > 0) std::memcpy(out, reader->next, n);
  reader->next += n;
  reader->left -= n;
  if (n < count) png_error(png, "read past the end");
}

// The library logs nothing: errors end decoding, warnings are dropped.
void OnPngError(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }
void OnPngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

void ApplyTransformations(png_structp png, png_infop info, int bitDepth, int colourType) {
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  if (hasAlpha) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
}

// Bytes delivered as alpha, red, green, blue become Pixel words in place.
void ConvertRows(png_bytep* rows, uint32_t width, uint32_t height) {
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* bytes = rows[y];
    for (uint32_t x = 0; x < width; ++x, bytes += 4) {
      Pixel p = (static_cast<Pixel>(bytes[0]) << 24) | (static_cast<Pixel>(bytes[1]) << 16) |
                (static_cast<Pixel>(bytes[2]) << 8) | bytes[3];
      std::memcpy(bytes, &p, sizeof p);
    }
  }
}

}  // namespace

Bitmap* DecodePng(const PngInput& input, Bitmap* dest) {
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (png == nullptr) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  MemoryReader reader{input.data, input.size};
  // Written after setjmp and read after a longjmp, hence volatile.
  Bitmap* volatile created = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png)) != 0) {
    std::free(rows);
    delete created;
    png_destroy_read_struct(&png, &info, nullptr);
    return nullptr;
  }
  // Only the header, palette, transparency and image data make the bitmap.
  // Every other chunk is skipped unread: a chunk's length is only a claim,
  // and libpng would otherwise allocate what a few bytes naming a huge
  // ancillary chunk ask for (gigabytes) before finding the data missing.
  static const png_byte kIgnoredChunks[] =
      "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0"
      "pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                              static_cast<int>(sizeof kIgnoredChunks / 5));
  if (input.file != nullptr) {
    png_init_io(png, input.file);
  } else {
    png_set_read_fn(png, &reader, ReadFromMemory);
  }
  png_read_info(png, info);
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
  // Refused before anything is allocated: a header may claim any size.
  if (width == 0 || height == 0 || width > static_cast<png_uint_32>(kMaxBitmapSide) ||
      height > static_cast<png_uint_32>(kMaxBitmapSide)) {
    png_error(png, "image too large");
  }
  ApplyTransformations(png, info, bitDepth, colourType);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) png_error(png, "bad row size");

  int32_t w = static_cast<int32_t>(width);
  int32_t h = static_cast<int32_t>(height);
  Bitmap* bitmap = dest;
  // A failed allocation leaves as an exception: libpng's records go first.
  try {
    if (bitmap != nullptr) {
      bitmap->Resize(w, h);
    } else {
      bitmap = new MemoryBitmap(w, h, 4);
      created = bitmap;
    }
  } catch (...) {
    png_destroy_read_struct(&png, &info, nullptr);
    throw;
  }
  Pixel* bits = bitmap->GetBits();
  int64_t span = bitmap->GetRowSpan();
  if (bits == nullptr || bitmap->GetWidth() != w || bitmap->GetHeight() != h || span < w) {
    png_error(png, "no bitmap");
  }
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (rows == nullptr) png_error(png, "out of memory");
  bool bottomUp = bitmap->IsBottomUp();
  for (int32_t y = 0; y < h; ++y) {
    int64_t stored = bottomUp ? h - 1 - y : y;
    rows[y] = reinterpret_cast<png_bytep>(bits + stored * span);
  }
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  ConvertRows(rows, width, height);
  std::free(rows);
  return bitmap;
}
