#include "graphics/blend_rules.h"
#include "graphics/blit.h"

namespace {

// A clipped, non-empty fill area.
struct FillBox {
  Pixel* dest;
  intptr_t destStep;
  int32_t width;
  int32_t height;
};

template <class Rule>
void FillRows(const FillBox& box, const SampleRgba& colour, int32_t weight) {
  Pixel* row = box.dest;
  for (int32_t y = 0; y < box.height; ++y, row += box.destStep) {
    for (int32_t x = 0; x < box.width; ++x) row[x] = Rule::Apply(row[x], colour, weight);
  }
}

// Whole-word fills for the quarter weights of the copy rule; every byte,
// alpha included, is shifted separately by the masks.
// d = c
struct FillOpaque {
  static Pixel Apply(Pixel /*d*/, Pixel c) { return c; }
};
// d = d/2 + d/4 + c/4
struct FillQuarter {
  static Pixel Apply(Pixel d, Pixel c) {
    return ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 2) & 0x3F3F3F3Fu);
  }
};
// d = c/2 + d/2
struct FillHalf {
  static Pixel Apply(Pixel d, Pixel c) { return ((c >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu); }
};
// d = c/2 + c/4 + d/4
struct FillThreeQuarters {
  static Pixel Apply(Pixel d, Pixel c) {
    return ((c >> 1) & 0x7F7F7F7Fu) + ((c >> 2) & 0x3F3F3F3Fu) + ((d >> 2) & 0x3F3F3F3Fu);
  }
};

template <class WordRule>
void FillWords(const FillBox& box, Pixel colour) {
  Pixel* row = box.dest;
  for (int32_t y = 0; y < box.height; ++y, row += box.destStep) {
    for (int32_t x = 0; x < box.width; ++x) row[x] = WordRule::Apply(row[x], colour);
  }
}

}  // namespace

void FillRect(Bitmap* dest, int32_t x, int32_t y, int32_t width, int32_t height, Pixel color,
              float alpha, BlendMode mode) {
  if (dest == nullptr) return;
  if ((mode & kBlendSourceAlpha) != 0) alpha *= static_cast<float>(PixelAlpha(color)) / 255.0f;
  int64_t left = x;
  int64_t top = y;
  int64_t w = width;
  int64_t h = height;
  if (left < 0) {
    w += left;
    left = 0;
  }
  if (top < 0) {
    h += top;
    top = 0;
  }
  BitmapView view = ViewOf(dest);
  if (alpha == 0.0f || view.Empty() || w <= 0 || h <= 0 || left >= view.width ||
      top >= view.height) {
    return;
  }
  if (w > view.width - left) w = view.width - left;
  if (h > view.height - top) h = view.height - top;
  FillBox box{view.Row(static_cast<int32_t>(top)) + left, view.step, static_cast<int32_t>(w),
              static_cast<int32_t>(h)};

  uint32_t rule = mode & kBlendRuleMask;
  int32_t weight = blend::WeightFromAlpha(alpha);
  if (rule == kBlendCopy) {
    switch (weight) {
      case 64: return FillWords<FillQuarter>(box, color);
      case 128: return FillWords<FillHalf>(box, color);
      case 192: return FillWords<FillThreeQuarters>(box, color);
      case 256: return FillWords<FillOpaque>(box, color);
      default: break;
    }
  }
  if (weight == 0) return;
  // The weight stands for the source alpha.
  SampleRgba colour{PixelBlue(color), PixelGreen(color), PixelRed(color), weight};
  switch (rule) {
    case kBlendCopy:
      if (weight > 0) FillRows<blend::Copy>(box, colour, weight);
      return;
    case kBlendAdd: return FillRows<blend::Add>(box, colour, weight);
    case kBlendDodge: return FillRows<blend::Dodge>(box, colour, weight);
    case kBlendMultiply: return FillRows<blend::Multiply>(box, colour, weight);
    case kBlendOverlay: return FillRows<blend::Overlay>(box, colour, weight);
    case kBlendHsvAdjust:
      // The alpha byte becomes the weight, limited to what a byte holds.
      colour.a = blend::Clamp255(weight);
      return FillRows<blend::HsvAdjust>(box, colour, weight);
    default: return;
  }
}
