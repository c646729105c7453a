#include "graphics/memory_bitmap.h"

#include <cstdlib>

namespace {

int32_t MaskForAlignment(int32_t alignment) {
  if (alignment < 2) return 0;
  int32_t lowest = alignment & -alignment;
  if (lowest > 16) lowest = 16;
  return lowest - 1;
}

}  // namespace

MemoryBitmap::MemoryBitmap(int32_t width, int32_t height, int32_t alignment)
    : rowAlignMask_(MaskForAlignment(alignment)) {
  if (width > 0 && height > 0) Resize(width, height);
}

MemoryBitmap::~MemoryBitmap() { std::free(block_); }

Pixel* MemoryBitmap::GetBits() {
  if (block_ == nullptr) return nullptr;
  uintptr_t address = reinterpret_cast<uintptr_t>(block_);
  return reinterpret_cast<Pixel*>((address + 63) & ~static_cast<uintptr_t>(63));
}

bool MemoryBitmap::Resize(int32_t width, int32_t height) {
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  // Sizes are computed in 64 bits: a width and height from a file header
  // must not wrap the byte count into a small allocation.
  bool sizeAllowed = width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide;
  int64_t span = sizeAllowed ? ((static_cast<int64_t>(width) + rowAlignMask_) & ~rowAlignMask_) : 0;
  int64_t bytes = static_cast<int64_t>(height) * span * 4;
  if (sizeAllowed && bytes > 0) {
    if (block_ == nullptr) {
      block_ = std::malloc(static_cast<size_t>(bytes) + 63);
      allocated_ = block_ != nullptr ? static_cast<int32_t>(bytes) : 0;
    } else if (allocated_ < bytes) {
      int64_t grown = (bytes / 4) * 5;
      void* moved = std::realloc(block_, static_cast<size_t>(grown) + 63);
      if (moved != nullptr) {
        block_ = moved;
        allocated_ = static_cast<int32_t>(grown);
      } else {
        std::free(block_);
        block_ = std::malloc(static_cast<size_t>(bytes) + 63);
        allocated_ = block_ != nullptr ? static_cast<int32_t>(bytes) : 0;
      }
    }
  } else {
    std::free(block_);
    block_ = nullptr;
    allocated_ = 0;
  }
  if (block_ == nullptr) {
    width_ = 0;
    height_ = 0;
  }
  return true;
}
