// A slow reference of the area downscale written straight from its
// definition: for every destination pixel, every source pixel of its frame
// weighted by the overlap of the two areas on both axes.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/area_downscale.h"
#include "graphics/pixel.h"

namespace reference {

// Overlap, in mapping units, of destination pixel i's area with source pixel
// k, both counted within one frame of `frameLength` source pixels.
inline int64_t AreaOverlap(const AreaMapping& m, int32_t frameLength, int64_t i, int64_t k) {
  const int64_t begin = std::max({i * m.step + m.shift, k * m.unit, int64_t{0}});
  const int64_t end =
      std::min({(i + 1) * m.step + m.shift, (k + 1) * m.unit, int64_t{frameLength} * m.unit});
  return std::max<int64_t>(end - begin, 0);
}

// Destination pixel (dx, dy) for a source of srcW x srcH pixels read by
// `at`(x, y), scaled into dstW x dstH.
template <typename PixelAt>
Pixel AreaPixel(PixelAt at, int32_t srcW, int32_t srcH, int32_t dstW, int32_t dstH,
                const AreaMapping& mx, const AreaMapping& my, int32_t dx, int32_t dy) {
  const int32_t srcFrameW = srcW / mx.frames, srcFrameH = srcH / my.frames;
  const int32_t dstFrameW = dstW / mx.frames, dstFrameH = dstH / my.frames;
  const int32_t fx = dx / dstFrameW, fy = dy / dstFrameH;
  int64_t weight = 0, alpha = 0, alphaColour[3] = {0, 0, 0}, colour[3] = {0, 0, 0};
  for (int32_t ky = 0; ky < srcFrameH; ++ky) {
    const int64_t wy = AreaOverlap(my, srcFrameH, dy % dstFrameH, ky);
    for (int32_t kx = 0; kx < srcFrameW && wy > 0; ++kx) {
      const int64_t w = wy * AreaOverlap(mx, srcFrameW, dx % dstFrameW, kx);
      const Pixel p = at(fx * srcFrameW + kx, fy * srcFrameH + ky);
      const int64_t c[3] = {PixelRed(p), PixelGreen(p), PixelBlue(p)};
      weight += w;
      alpha += w * PixelAlpha(p);
      for (int i = 0; i < 3; ++i) {
        alphaColour[i] += w * PixelAlpha(p) * c[i];
        colour[i] += w * c[i];
      }
    }
  }
  if (weight == 0) return 0;
  int64_t out[3];
  for (int i = 0; i < 3; ++i) {
    out[i] = alpha > 0 ? (alphaColour[i] + alpha / 2) / alpha : (colour[i] + weight / 2) / weight;
  }
  return MakePixel(static_cast<int>((alpha + weight / 2) / weight), static_cast<int>(out[0]),
                   static_cast<int>(out[1]), static_cast<int>(out[2]));
}

}  // namespace reference
