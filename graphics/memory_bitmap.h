// MemoryBitmap: a Bitmap whose pixels live in an ordinary heap block, 64-byte
// aligned, rows padded to the row alignment given at construction. The block
// only grows (with 25 % headroom), so resizing back and forth is cheap.
// Sizes beyond kMaxBitmapSide on either side are refused like a failed
// allocation (the bitmap becomes empty).
#pragma once

#include "graphics/bitmap.h"

constexpr int32_t kMaxBitmapSide = 16384;

class MemoryBitmap : public Bitmap {
 public:
  // alignment in pixels: below 2 none, otherwise its lowest set bit, at most 16.
  MemoryBitmap(int32_t width, int32_t height, int32_t alignment);
  ~MemoryBitmap() override;
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;

  Pixel* GetBits() override;
  int32_t GetWidth() override { return width_; }
  int32_t GetHeight() override { return height_; }
  int32_t GetRowSpan() override { return (width_ + rowAlignMask_) & ~rowAlignMask_; }
  bool IsBottomUp() override { return false; }
  bool Resize(int32_t width, int32_t height) override;
  NativeDeviceContext GetDeviceContext() override { return nullptr; }
  void* GetExtension() override { return nullptr; }

  // Usable bytes of the block (the block itself is 63 bytes larger).
  int32_t AllocatedBytes() const { return allocated_; }

 private:
  void* block_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t allocated_ = 0;
  int32_t rowAlignMask_ = 0;
};
