// Pixel: one 32-bit word A<<24 | R<<16 | G<<8 | B, straight (not
// premultiplied) alpha. In little-endian memory the bytes are blue, green,
// red, alpha, which is also the byte order of a 32-bit top-down DIB.
#pragma once

#include <cstdint>

using Pixel = uint32_t;

constexpr Pixel MakePixel(int a, int r, int g, int b) {
  return (static_cast<Pixel>(a & 0xFF) << 24) | (static_cast<Pixel>(r & 0xFF) << 16) |
         (static_cast<Pixel>(g & 0xFF) << 8) | static_cast<Pixel>(b & 0xFF);
}
constexpr int PixelAlpha(Pixel p) { return static_cast<int>(p >> 24); }
constexpr int PixelRed(Pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int PixelGreen(Pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int PixelBlue(Pixel p) { return static_cast<int>(p & 0xFF); }

// One colour as separate channels, the form in which the blend rules take
// their source. Values are normally 0-255; a fill passes its weight (up to
// 256) as the source alpha.
struct SampleRgba {
  int32_t b;
  int32_t g;
  int32_t r;
  int32_t a;
};

constexpr SampleRgba UnpackPixel(Pixel p) {
  return SampleRgba{PixelBlue(p), PixelGreen(p), PixelRed(p), PixelAlpha(p)};
}
