#include <windows.h>

#include "graphics/font_scratch.h"
#include "graphics/system_bitmap.h"

namespace {

int liveFonts = 0;
SystemBitmap* glyphScratch = nullptr;
SystemBitmap* drawScratch = nullptr;

// Grows (never shrinks) a scratch bitmap; null when it has no pixels.
SystemBitmap* AtLeast(SystemBitmap*& scratch, int32_t width, int32_t height) {
  if (scratch == nullptr) scratch = new SystemBitmap(width, height);
  if (scratch->GetWidth() < width || scratch->GetHeight() < height) {
    int32_t w = scratch->GetWidth() > width ? scratch->GetWidth() : width;
    int32_t h = scratch->GetHeight() > height ? scratch->GetHeight() : height;
    scratch->Resize(w, h);
  }
  if (scratch->GetBits() == nullptr || scratch->GetDeviceContext() == nullptr) return nullptr;
  return scratch;
}

}  // namespace

void FontCreated() { ++liveFonts; }

void FontDestroyed() {
  if (--liveFonts > 0) return;
  delete glyphScratch;
  delete drawScratch;
  glyphScratch = nullptr;
  drawScratch = nullptr;
}

SystemBitmap* GlyphScratch(int32_t side) {
  SystemBitmap* scratch = AtLeast(glyphScratch, side, side);
  if (scratch != nullptr) {
    HDC dc = scratch->GetDeviceContext();
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
  }
  return scratch;
}

SystemBitmap* DrawScratch(int32_t width, int32_t height) {
  return AtLeast(drawScratch, width < 4 ? 4 : width, height < 4 ? 4 : height);
}
