// Helpers for the bitmap library's tests: a bitmap over an exactly sized
// vector (so AddressSanitizer sees any read or write past the last row) and
// small pixel utilities.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/bitmap.h"

class VectorBitmap : public Bitmap {
 public:
  VectorBitmap(int32_t width, int32_t height, Pixel fill = 0, int32_t span = 0, bool bottomUp = false)
      : width_(width), height_(height), span_(span > 0 ? span : width), bottomUp_(bottomUp),
        pixels_(static_cast<size_t>(span_) * static_cast<size_t>(height), fill) {}

  Pixel* GetBits() override { return pixels_.empty() ? nullptr : pixels_.data(); }
  int32_t GetWidth() override { return width_; }
  int32_t GetHeight() override { return height_; }
  int32_t GetRowSpan() override { return span_; }
  bool IsBottomUp() override { return bottomUp_; }
  bool Resize(int32_t, int32_t) override { return false; }
  NativeDeviceContext GetDeviceContext() override { return nullptr; }
  void* GetExtension() override { return nullptr; }

  // Pixel at (x, y) counted from the top, whatever the storage order.
  Pixel& At(int32_t x, int32_t y) {
    int32_t row = bottomUp_ ? height_ - 1 - y : y;
    return pixels_[static_cast<size_t>(row) * static_cast<size_t>(span_) + static_cast<size_t>(x)];
  }
  // Raw storage, padding included.
  std::vector<Pixel>& Storage() { return pixels_; }

 private:
  int32_t width_;
  int32_t height_;
  int32_t span_;
  bool bottomUp_;
  std::vector<Pixel> pixels_;
};

// A small deterministic generator for pixel patterns.
inline uint32_t NextRandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state ^ (state >> 15);
}
