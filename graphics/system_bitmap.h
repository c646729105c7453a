// SystemBitmap: a Bitmap whose pixels live in a 32-bit top-down GDI DIB
// section selected into its own memory device context, so GDI can draw into
// it and BitBlt can copy it to a window. Windows build only; the handles are
// opaque here so portable code may include this header.
#pragma once

#include "graphics/bitmap.h"

struct HBITMAP__;

class SystemBitmap : public Bitmap {
 public:
  SystemBitmap(int32_t width, int32_t height);
  ~SystemBitmap() override;
  SystemBitmap(const SystemBitmap&) = delete;
  SystemBitmap& operator=(const SystemBitmap&) = delete;

  Pixel* GetBits() override { return bits_; }
  int32_t GetWidth() override { return width_; }
  int32_t GetHeight() override { return height_; }
  // The DIB section's width, a multiple of 4.
  int32_t GetRowSpan() override { return allocatedWidth_; }
  bool IsBottomUp() override { return false; }
  // Shrinking, or growing back within the DIB section, keeps the section.
  bool Resize(int32_t width, int32_t height) override;
  NativeDeviceContext GetDeviceContext() override { return deviceContext_; }
  void* GetExtension() override { return nullptr; }

 private:
  void ReleaseSection();

  int32_t width_ = 0;
  int32_t height_ = 0;
  NativeDeviceContext deviceContext_ = nullptr;
  Pixel* bits_ = nullptr;
  int32_t allocatedWidth_ = 0;
  int32_t allocatedHeight_ = 0;
  HBITMAP__* section_ = nullptr;
  void* previousObject_ = nullptr;
};
