#include "graphics/blur.h"

#include <algorithm>
#include <vector>

#include "graphics/bitmap_rect.h"
#include "graphics/blit_clip.h"

namespace {

// x/2, x/4, x/8 of all four bytes at once.
inline Pixel Half(Pixel p) { return (p >> 1) & 0x7F7F7F7Fu; }
inline Pixel Quarter(Pixel p) { return (p >> 2) & 0x3F3F3F3Fu; }
inline Pixel Eighth(Pixel p) { return (p >> 3) & 0x1F1F1F1Fu; }

// A row with neighbours above and below: centre 1/2, the four neighbours
// 1/8 (the missing side's share goes to the other side at the ends).
void BlurInteriorRow(Pixel* out, const Pixel* up, const Pixel* row, const Pixel* down, int32_t n) {
  out[0] = Eighth(up[0]) + Half(row[0]) + Eighth(down[0]) + Quarter(row[1]);
  for (int32_t x = 1; x < n - 1; ++x) {
    out[x] = Eighth(up[x]) + Eighth(down[x]) + Eighth(row[x + 1]) + Half(row[x]) + Eighth(row[x - 1]);
  }
  out[n - 1] = Eighth(up[n - 1]) + Eighth(down[n - 1]) + Half(row[n - 1]) + Quarter(row[n - 2]);
}

// The first or last row: its single neighbour row counts 1/4.
void BlurEdgeRow(Pixel* out, const Pixel* row, const Pixel* neighbour, int32_t n) {
  out[0] = Quarter(neighbour[0]) + Half(row[0]) + Quarter(row[1]);
  for (int32_t x = 1; x < n - 1; ++x) {
    out[x] = Eighth(row[x + 1]) + Quarter(neighbour[x]) + Half(row[x]) + Eighth(row[x - 1]);
  }
  out[n - 1] = Quarter(neighbour[n - 1]) + Half(row[n - 1]) + Quarter(row[n - 2]);
}

}  // namespace

void Blur(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, int32_t srcX, int32_t srcY,
          int32_t srcW, int32_t srcH) {
  if (dest == nullptr || src == nullptr) return;
  int64_t right = static_cast<int64_t>(srcX) + srcW;
  int64_t bottom = static_cast<int64_t>(srcY) + srcH;
  BitmapRect rect{srcX, srcY, static_cast<int32_t>(right > INT32_MAX ? INT32_MAX : right),
                  static_cast<int32_t>(bottom > INT32_MAX ? INT32_MAX : bottom)};
  BlitBox box;
  if (!ClipBlit(dest, src, dstX, dstY, &rect, box)) return;
  int32_t n = box.width;
  if (n < 2 || box.height < 2) return;

  // Blurring a bitmap into itself reads from a copy of the source area, so
  // rows already written are never read back whatever the overlap.
  std::vector<Pixel> copy;
  const Pixel* source = box.src;
  intptr_t sourceStep = box.srcStep;
  if (dest == src) {
    copy.resize(static_cast<size_t>(n) * static_cast<size_t>(box.height));
    for (int32_t y = 0; y < box.height; ++y) {
      const Pixel* row = box.src + y * box.srcStep;
      std::copy(row, row + n, copy.begin() + static_cast<intptr_t>(y) * n);
    }
    source = copy.data();
    sourceStep = n;
  }
  auto sourceRow = [source, sourceStep](int32_t y) { return source + y * sourceStep; };
  int32_t last = box.height - 1;
  BlurEdgeRow(box.dest, sourceRow(0), sourceRow(1), n);
  for (int32_t y = 1; y < last; ++y) {
    BlurInteriorRow(box.dest + y * box.destStep, sourceRow(y - 1), sourceRow(y), sourceRow(y + 1), n);
  }
  BlurEdgeRow(box.dest + last * box.destStep, sourceRow(last), sourceRow(last - 1), n);
}
