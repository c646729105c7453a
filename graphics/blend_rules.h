// The per-pixel blend rules shared by blits, fills, rotated drawing, lines
// and glyphs. Each rule is a struct whose Apply(d, s, w) returns the new
// destination word for destination d, source channels s and weight w
// (alpha * 256, 256 opaque). Divisions truncate toward zero; clamp limits to
// 0-255; results are stored as their low byte. Row loops are templates over
// these structs, so no loop branches on the mode.
#pragma once

#include <array>
#include <cstddef>

#include "graphics/pixel.h"

namespace blend {

inline int32_t Clamp255(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

inline Pixel Pack(int32_t a, int32_t r, int32_t g, int32_t b) { return MakePixel(a, r, g, b); }

// Lerp of one channel toward s, keeping (256 - w)/256 of the old value.
inline int32_t Mix(int32_t d, int32_t s, int32_t keep) { return s + (d - s) * keep / 256; }

// d = s + (d - s)·(256 - w)/256, all four channels
struct Copy {
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w) {
    int32_t keep = 256 - w;
    return Pack(Mix(PixelAlpha(d), s.a, keep), Mix(PixelRed(d), s.r, keep),
                Mix(PixelGreen(d), s.g, keep), Mix(PixelBlue(d), s.b, keep));
  }
};

// d = clamp(d + s·w/256)
struct Add {
  static int32_t Channel(int32_t d, int32_t s, int32_t w) { return Clamp255(d + s * w / 256); }
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w) {
    return Pack(Channel(PixelAlpha(d), s.a, w), Channel(PixelRed(d), s.r, w),
                Channel(PixelGreen(d), s.g, w), Channel(PixelBlue(d), s.b, w));
  }
};

// t = s·w/256; d = t > 254 ? clamp(d·256) : clamp(d·256/(256 - t))
struct Dodge {
  static int32_t Channel(int32_t d, int32_t s, int32_t w) {
    int32_t t = s * w / 256;
    return t > 254 ? Clamp255(d * 256) : Clamp255(d * 256 / (256 - t));
  }
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w) {
    return Pack(Channel(PixelAlpha(d), s.a, w), Channel(PixelRed(d), s.r, w),
                Channel(PixelGreen(d), s.g, w), Channel(PixelBlue(d), s.b, w));
  }
};

// d = (d·(s·w + (256 - w)·256)) >> 16
struct Multiply {
  static int32_t Channel(int32_t d, int32_t s, int32_t w) {
    return (d * (s * w + (256 - w) * 256)) >> 16;
  }
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w) {
    return Pack(Channel(PixelAlpha(d), s.a, w), Channel(PixelRed(d), s.r, w),
                Channel(PixelGreen(d), s.g, w), Channel(PixelBlue(d), s.b, w));
  }
};

// t = (s - 128)·w; d = clamp((d·(t - t·d/256 + 32768)) >> 15)
struct Overlay {
  static int32_t Channel(int32_t d, int32_t s, int32_t w) {
    int32_t t = (s - 128) * w;
    return Clamp255((d * (t - t * d / 256 + 32768)) >> 15);
  }
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w) {
    return Pack(Channel(PixelAlpha(d), s.a, w), Channel(PixelRed(d), s.r, w),
                Channel(PixelGreen(d), s.g, w), Channel(PixelBlue(d), s.b, w));
  }
};

// Hue turned by w·(1.5·sR - 192)/256, saturation moved by w·(sG - 128)/128,
// value by w·(sB - 128)/128; the result's alpha is sA.
struct HsvAdjust {
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w);
};

// Full weight with the source's alpha: sA = 0 leaves d; otherwise
// dA = min(dA + sA, 255) and colour d = s + (d - s)·(255 - sA)/256.
struct SourceAlphaOpaque {
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t /*w*/) {
    int32_t keep = 255 - s.a;
    int32_t a = PixelAlpha(d) + s.a;
    Pixel blended = Pack(a > 255 ? 255 : a, Mix(PixelRed(d), s.r, keep),
                         Mix(PixelGreen(d), s.g, keep), Mix(PixelBlue(d), s.b, keep));
    return s.a == 0 ? d : blended;
  }
};

// k = w·(sA + 1)/256; sA = 0 leaves d; otherwise dA = min(dA + k, 255) and
// colour d = s + (d - s)·(256 - k)/256.
struct SourceAlphaWeighted {
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w) {
    int32_t k = w * (s.a + 1) / 256;
    int32_t keep = 256 - k;
    int32_t a = PixelAlpha(d) + k;
    Pixel blended = Pack(a > 255 ? 255 : a, Mix(PixelRed(d), s.r, keep),
                         Mix(PixelGreen(d), s.g, keep), Mix(PixelBlue(d), s.b, keep));
    return s.a == 0 ? d : blended;
  }
};

// Rule applied with the per-pixel weight k = w·(sA + 1)/256; with
// kSkipTransparent a source alpha of 0 leaves d unchanged.
template <class Rule, bool kSkipTransparent>
struct WithSourceAlpha {
  static Pixel Apply(Pixel d, const SampleRgba& s, int32_t w) {
    if (kSkipTransparent && s.a == 0) return d;
    return Rule::Apply(d, s, w * (s.a + 1) / 256);
  }
};

using SourceAlphaAdd = WithSourceAlpha<Add, true>;
using SourceAlphaDodge = WithSourceAlpha<Dodge, false>;
using SourceAlphaMultiply = WithSourceAlpha<Multiply, true>;
using SourceAlphaOverlay = WithSourceAlpha<Overlay, false>;
using SourceAlphaHsvAdjust = WithSourceAlpha<HsvAdjust, false>;

// floor(65536 / i) - 1 for i = 1..255, 0 for i = 0: the hue and saturation
// divisions of HsvAdjust as multiplications.
constexpr std::array<int32_t, 256> MakeReciprocalTable() {
  std::array<int32_t, 256> table{};
  for (int32_t i = 1; i < 256; ++i) table[static_cast<size_t>(i)] = 65536 / i - 1;
  return table;
}
inline constexpr std::array<int32_t, 256> kReciprocalTable = MakeReciprocalTable();

// Weight from an alpha argument: (int)(alpha * 256) truncated, with alpha
// limited to [-1, 1] so no rule can overflow its integer arithmetic.
int32_t WeightFromAlpha(float alpha);
// The same rounded to nearest, halves away from zero.
int32_t RoundedWeightFromAlpha(float alpha);

}  // namespace blend
