// Bitmap: the abstract 32-bit picture every drawing routine reads and writes.
// Row y starts y * GetRowSpan() pixels after GetBits(); the first GetWidth()
// pixels of a row are visible and the rest of the span is never touched.
// When IsBottomUp() answers true, row y counted from the top is stored at
// index height - 1 - y. Bitmaps have no locking; whoever creates one owns it,
// and drawing routines only borrow them for the length of a call.
#pragma once

#include "graphics/pixel.h"

// GDI device context handle, kept opaque so that portable code can hold one
// without the Win32 headers (it is the type behind HDC).
struct HDC__;
using NativeDeviceContext = HDC__*;

class Bitmap {
 public:
  virtual ~Bitmap() = default;
  // First pixel of row 0, or null when the bitmap has no pixels.
  virtual Pixel* GetBits() = 0;
  virtual int32_t GetWidth() = 0;
  virtual int32_t GetHeight() = 0;
  // Distance from one row to the next, in pixels.
  virtual int32_t GetRowSpan() = 0;
  virtual bool IsBottomUp() = 0;
  // True if the size changed, false if it already was width x height.
  // Allocation failure leaves the bitmap empty (0 x 0, no bits).
  virtual bool Resize(int32_t width, int32_t height) = 0;
  // Device context for GDI drawing; null when the bitmap has none.
  virtual NativeDeviceContext GetDeviceContext() = 0;
  virtual void* GetExtension() = 0;

 protected:
  Bitmap() = default;
  Bitmap(const Bitmap&) = default;
  Bitmap& operator=(const Bitmap&) = default;
};

// The usable pixel area of a bitmap, or an all-empty view when it has none
// (null bitmap, null bits, zero span or empty size). Rows are addressed from
// the top whatever the storage order: row y is at first + y * step.
struct BitmapView {
  Pixel* first = nullptr;
  intptr_t step = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool Empty() const { return first == nullptr; }
  Pixel* Row(int32_t y) const { return first + static_cast<intptr_t>(y) * step; }
};

BitmapView ViewOf(Bitmap* bitmap);
