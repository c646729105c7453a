#include "graphics/rotated_blit.h"

#include <cmath>

#include "graphics/blend_rules.h"

namespace {

template <class Rule>
void ApplyRule(Pixel* dest, const SampleRgba& sample, int32_t weight) {
  *dest = Rule::Apply(*dest, sample, weight);
}

// The sample stored as it is, alpha included.
void StoreSample(Pixel* dest, const SampleRgba& sample, int32_t /*weight*/) {
  *dest = MakePixel(sample.a, sample.r, sample.g, sample.b);
}

inline SampleRgba Nearest(const Pixel* p) { return UnpackPixel(*p); }

// Each channel mixed with 16-bit weights summing to 65536.
inline SampleRgba MixFour(Pixel p00, Pixel p10, Pixel p01, Pixel p11, int32_t w00, int32_t w10,
                          int32_t w01, int32_t w11) {
  auto mix = [&](int shift) {
    auto c = [shift](Pixel p) { return static_cast<int32_t>((p >> shift) & 0xFF); };
    return (c(p00) * w00 + c(p10) * w10 + c(p01) * w01 + c(p11) * w11) >> 16;
  };
  return SampleRgba{mix(0), mix(8), mix(16), mix(24)};
}

inline SampleRgba MixTwo(Pixel p0, Pixel p1, int32_t f) {
  auto mix = [&](int shift) {
    int32_t a = static_cast<int32_t>((p0 >> shift) & 0xFF);
    int32_t b = static_cast<int32_t>((p1 >> shift) & 0xFF);
    return (a * (65536 - f) + b * f) >> 16;
  };
  return SampleRgba{mix(0), mix(8), mix(16), mix(24)};
}

}  // namespace

int32_t ToFixed16(double value) {
  double scaled = value * 65536.0;
  scaled = scaled >= 0 ? scaled + 0.5 : scaled - 0.5;
  if (!(scaled > -2147483648.0)) return scaled == scaled ? INT32_MIN : 0;
  if (scaled >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(scaled);
}

PixelFunction PixelFunctionForMode(BlendMode mode, int32_t weight) {
  switch (mode & (kBlendRuleMask | kBlendSourceAlpha)) {
    case kBlendCopy:
      if (weight < 1) return nullptr;
      return weight == 256 ? StoreSample : ApplyRule<blend::Copy>;
    case kBlendAdd: return ApplyRule<blend::Add>;
    case kBlendDodge: return ApplyRule<blend::Dodge>;
    case kBlendMultiply: return ApplyRule<blend::Multiply>;
    case kBlendOverlay: return ApplyRule<blend::Overlay>;
    case kBlendHsvAdjust: return ApplyRule<blend::HsvAdjust>;
    case kBlendSourceAlpha | kBlendCopy:
      return weight == 256 ? ApplyRule<blend::SourceAlphaOpaque>
                           : ApplyRule<blend::SourceAlphaWeighted>;
    case kBlendSourceAlpha | kBlendAdd: return ApplyRule<blend::SourceAlphaAdd>;
    case kBlendSourceAlpha | kBlendDodge: return ApplyRule<blend::SourceAlphaDodge>;
    case kBlendSourceAlpha | kBlendMultiply: return ApplyRule<blend::SourceAlphaMultiply>;
    case kBlendSourceAlpha | kBlendOverlay: return ApplyRule<blend::SourceAlphaOverlay>;
    case kBlendSourceAlpha | kBlendHsvAdjust: return ApplyRule<blend::SourceAlphaHsvAdjust>;
    default: return nullptr;
  }
}

void DeltaBlit(Pixel* destPtr, const Pixel* srcPtr, int32_t width, int32_t height, int32_t s0,
               int32_t t0, int32_t dsdx, int32_t dtdx, int32_t dsdy, int32_t dtdy, int32_t dsdxdy,
               int32_t dtdxdy, int32_t clipW, int32_t clipH, intptr_t srcSpanBytes,
               intptr_t destSpanBytes, int32_t weight, uint32_t filter, PixelFunction pixelFunction) {
  if (destPtr == nullptr || srcPtr == nullptr || pixelFunction == nullptr || clipW < 1 ||
      clipH < 1) {
    return;
  }
  // Positions wrap as unsigned words rather than overflow; a wrapped
  // position lands outside the clip and is not drawn.
  uint32_t rowS = static_cast<uint32_t>(s0);
  uint32_t rowT = static_cast<uint32_t>(t0);
  uint32_t stepS = static_cast<uint32_t>(dsdx);
  uint32_t stepT = static_cast<uint32_t>(dtdx);
  const uint32_t lastX = static_cast<uint32_t>(clipW - 1);
  const uint32_t lastY = static_cast<uint32_t>(clipH - 1);
  auto srcRow = [srcPtr, srcSpanBytes](uint32_t y) {
    return reinterpret_cast<const Pixel*>(reinterpret_cast<const char*>(srcPtr) +
                                          static_cast<intptr_t>(y) * srcSpanBytes);
  };
  auto* destRow = reinterpret_cast<char*>(destPtr);
  for (int32_t row = 0; row < height; ++row, destRow += destSpanBytes) {
    Pixel* dest = reinterpret_cast<Pixel*>(destRow);
    uint32_t s = rowS;
    uint32_t t = rowT;
    if (filter != kBlendBilinear) {
      for (int32_t x = 0; x < width; ++x, s += stepS, t += stepT) {
        uint32_t sx = static_cast<uint32_t>(static_cast<int32_t>(s) >> 16);
        uint32_t sy = static_cast<uint32_t>(static_cast<int32_t>(t) >> 16);
        if (sx <= lastX && sy <= lastY) pixelFunction(dest + x, Nearest(srcRow(sy) + sx), weight);
      }
    } else {
      for (int32_t x = 0; x < width; ++x, s += stepS, t += stepT) {
        uint32_t sx = static_cast<uint32_t>(static_cast<int32_t>(s) >> 16);
        uint32_t sy = static_cast<uint32_t>(static_cast<int32_t>(t) >> 16);
        if (sx > lastX || sy > lastY) continue;
        int32_t fx = static_cast<int32_t>(s & 0xFFFF);
        int32_t fy = static_cast<int32_t>(t & 0xFFFF);
        const Pixel* p = srcRow(sy) + sx;
        SampleRgba sample;
        if (sy < lastY) {
          const Pixel* below = srcRow(sy + 1) + sx;
          if (sx < lastX) {
            int32_t w11 = static_cast<int32_t>((static_cast<int64_t>(fx) * fy) >> 16);
            sample = MixFour(p[0], p[1], below[0], below[1], 65536 - fx - fy + w11, fx - w11,
                             fy - w11, w11);
          } else {
            sample = MixTwo(p[0], below[0], fy);
          }
        } else {
          sample = sx < lastX ? MixTwo(p[0], p[1], fx) : Nearest(p);
        }
        pixelFunction(dest + x, sample, weight);
      }
    }
    rowS += static_cast<uint32_t>(dsdy);
    rowT += static_cast<uint32_t>(dtdy);
    stepS += static_cast<uint32_t>(dsdxdy);
    stepT += static_cast<uint32_t>(dtdxdy);
  }
}

void RotatedBlit(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, int32_t dstW, int32_t dstH,
                 float srcX, float srcY, float srcW, float srcH, float angle, bool clipToSource,
                 float alpha, BlendMode mode, float rotXOffset, float rotYOffset) {
  if (dest == nullptr || src == nullptr || dstW == 0 || dstH == 0) return;
  BitmapView destView = ViewOf(dest);
  BitmapView srcView = ViewOf(src);
  if (destView.Empty() || srcView.Empty()) return;

  double left = 0;
  double top = 0;
  double right = srcView.width;
  double bottom = srcView.height;
  if (clipToSource) {
    right = std::fmin(right, static_cast<double>(srcX) + srcW);
    bottom = std::fmin(bottom, static_cast<double>(srcY) + srcH);
    left = std::fmin(std::fmax(srcX, 0.0), right);
    top = std::fmin(std::fmax(srcY, 0.0), bottom);
    right = std::fmax(right, left);
    bottom = std::fmax(bottom, top);
  }
  float c = std::cos(angle);
  float s = std::sin(angle);
  int64_t x = dstX;
  int64_t y = dstY;
  int64_t w = dstW;
  int64_t h = dstH;
  double startX = srcX;
  double startY = srcY;
  double spanX = srcW;
  double spanY = srcH;
  if (w < 0) {
    x += w;
    w = -w;
    startX += spanX;
    spanX = -spanX;
  }
  if (h < 0) {
    y += h;
    h = -h;
    startY += spanY;
    spanY = -spanY;
  }
  double ux = spanX / static_cast<double>(w);
  double uy = spanY / static_cast<double>(h);
  double dsdx = ux * c;
  double dtdx = -uy * s;
  double dsdy = ux * s;
  double dtdy = uy * c;
  double s0 = startX - ((static_cast<double>(h) * dsdy + static_cast<double>(w) * dsdx - spanX) * 0.5 -
                        rotXOffset);
  double t0 = startY - ((static_cast<double>(w) * dtdx + static_cast<double>(h) * dtdy - spanY) * 0.5 -
                        rotYOffset);
  // Sampling runs from the start edge, so a mirrored axis would begin one
  // pixel beyond the far source edge and drop the first column or row: start
  // one destination step later instead.
  if (dstW < 0) {
    s0 += dsdx;
    t0 += dtdx;
  }
  if (dstH < 0) {
    s0 += dsdy;
    t0 += dtdy;
  }
  if (x < 0) {
    w += x;
    s0 -= static_cast<double>(x) * dsdx;
    t0 -= static_cast<double>(x) * dtdx;
    x = 0;
  }
  if (y < 0) {
    h += y;
    s0 -= static_cast<double>(y) * dsdy;
    t0 -= static_cast<double>(y) * dtdy;
    y = 0;
  }
  if (w <= 0 || h <= 0 || x >= destView.width || y >= destView.height) return;
  if (w > destView.width - x) w = destView.width - x;
  if (h > destView.height - y) h = destView.height - y;

  auto nearest = [](double v) { return static_cast<int64_t>(v >= 0 ? v + 0.5 : v - 0.5); };
  int64_t clipLeft = nearest(left);
  int64_t clipTop = nearest(top);
  int64_t clipW = nearest(right) - clipLeft;
  int64_t clipH = nearest(bottom) - clipTop;
  if (clipW < 1 || clipH < 1) return;
  int32_t weight = blend::RoundedWeightFromAlpha(alpha);
  if (weight == 0) return;
  PixelFunction function = PixelFunctionForMode(mode, weight);
  if (function == nullptr) return;

  const Pixel* origin = srcView.Row(static_cast<int32_t>(clipTop)) + clipLeft;
  DeltaBlit(destView.Row(static_cast<int32_t>(y)) + x, origin, static_cast<int32_t>(w),
            static_cast<int32_t>(h), ToFixed16(s0 - static_cast<double>(clipLeft)),
            ToFixed16(t0 - static_cast<double>(clipTop)), ToFixed16(dsdx), ToFixed16(dtdx),
            ToFixed16(dsdy), ToFixed16(dtdy), 0, 0, static_cast<int32_t>(clipW),
            static_cast<int32_t>(clipH), srcView.step * static_cast<intptr_t>(sizeof(Pixel)),
            destView.step * static_cast<intptr_t>(sizeof(Pixel)), weight, mode & 0xFF00,
            function);
}
