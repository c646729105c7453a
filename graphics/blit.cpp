#include "graphics/blit.h"

#include <algorithm>
#include <cstring>

#include "graphics/blend_rules.h"
#include "graphics/blit_clip.h"
#include "graphics/source_alpha_sse2.h"

namespace {

using BlitRowsFunction = void (*)(const BlitBox& box, int32_t weight);

template <class Rule>
void BlendRows(const BlitBox& box, int32_t weight) {
  Pixel* dest = box.dest;
  const Pixel* src = box.src;
  for (int32_t y = 0; y < box.height; ++y, dest += box.destStep, src += box.srcStep) {
    for (int32_t x = 0; x < box.width; ++x) {
      dest[x] = Rule::Apply(dest[x], UnpackPixel(src[x]), weight);
    }
  }
}

// The two source-alpha copy rules run four pixels at a time where the
// processor allows, finishing each row with the per-pixel rule.
template <>
void BlendRows<blend::SourceAlphaOpaque>(const BlitBox& box, int32_t weight) {
  Pixel* dest = box.dest;
  const Pixel* src = box.src;
  for (int32_t y = 0; y < box.height; ++y, dest += box.destStep, src += box.srcStep) {
    for (int32_t x = SourceAlphaOpaqueSse2(dest, src, box.width); x < box.width; ++x) {
      dest[x] = blend::SourceAlphaOpaque::Apply(dest[x], UnpackPixel(src[x]), weight);
    }
  }
}

template <>
void BlendRows<blend::SourceAlphaWeighted>(const BlitBox& box, int32_t weight) {
  Pixel* dest = box.dest;
  const Pixel* src = box.src;
  for (int32_t y = 0; y < box.height; ++y, dest += box.destStep, src += box.srcStep) {
    for (int32_t x = SourceAlphaWeightedSse2(dest, src, box.width, weight); x < box.width; ++x) {
      dest[x] = blend::SourceAlphaWeighted::Apply(dest[x], UnpackPixel(src[x]), weight);
    }
  }
}

void CopyRows(const BlitBox& box, int32_t /*weight*/) {
  size_t bytes = static_cast<size_t>(box.width) * sizeof(Pixel);
  Pixel* dest = box.dest;
  const Pixel* src = box.src;
  for (int32_t y = 0; y < box.height; ++y, dest += box.destStep, src += box.srcStep) {
    std::memmove(dest, src, bytes);
  }
}

// d = s/2 + d/2, each byte halved separately.
void AverageRows(const BlitBox& box, int32_t /*weight*/) {
  Pixel* dest = box.dest;
  const Pixel* src = box.src;
  for (int32_t y = 0; y < box.height; ++y, dest += box.destStep, src += box.srcStep) {
    for (int32_t x = 0; x < box.width; ++x) {
      dest[x] = ((src[x] >> 1) & 0x7F7F7F7Fu) + ((dest[x] >> 1) & 0x7F7F7F7Fu);
    }
  }
}

void ChannelCopyRows(const BlitBox& box, int32_t srcByte, int32_t destByte) {
  uint32_t srcShift = static_cast<uint32_t>(srcByte) * 8;
  uint32_t destShift = static_cast<uint32_t>(destByte) * 8;
  Pixel keepMask = ~(static_cast<Pixel>(0xFF) << destShift);
  Pixel* dest = box.dest;
  const Pixel* src = box.src;
  for (int32_t y = 0; y < box.height; ++y, dest += box.destStep, src += box.srcStep) {
    for (int32_t x = 0; x < box.width; ++x) {
      Pixel value = (src[x] >> srcShift) & 0xFF;
      dest[x] = (dest[x] & keepMask) | (value << destShift);
    }
  }
}

// Row loops by rule (bits 0-7, 0-5) without and with the source-alpha flag.
constexpr BlitRowsFunction kPlainRows[6] = {
    BlendRows<blend::Copy>,     BlendRows<blend::Add>,     BlendRows<blend::Dodge>,
    BlendRows<blend::Multiply>, BlendRows<blend::Overlay>, BlendRows<blend::HsvAdjust>,
};
constexpr BlitRowsFunction kSourceAlphaRows[6] = {
    BlendRows<blend::SourceAlphaWeighted>, BlendRows<blend::SourceAlphaAdd>,
    BlendRows<blend::SourceAlphaDodge>,    BlendRows<blend::SourceAlphaMultiply>,
    BlendRows<blend::SourceAlphaOverlay>,  BlendRows<blend::SourceAlphaHsvAdjust>,
};

}  // namespace

void Blit(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, const BitmapRect* srcRect,
          float alpha, BlendMode mode) {
  if (dest == nullptr || src == nullptr || alpha == 0.0f) return;
  BlitBox box;
  if (!ClipBlit(dest, src, dstX, dstY, srcRect, box)) return;
  uint32_t rule = mode & kBlendRuleMask;
  bool sourceAlpha = (mode & kBlendSourceAlpha) != 0;
  if (rule >= kBlendChannelCopy) {
    ChannelCopyRows(box, static_cast<int32_t>(rule & 3), static_cast<int32_t>((rule >> 2) & 3));
    return;
  }
  if (rule == kBlendCopy && !sourceAlpha) {
    if (alpha == 1.0f) return CopyRows(box, 256);
    if (alpha == 0.5f) return AverageRows(box, 128);
  }
  int32_t weight = blend::WeightFromAlpha(alpha);
  if (weight == 0 || rule > kBlendHsvAdjust) return;
  if (!sourceAlpha) {
    if (rule == kBlendCopy) {
      if (weight < 0) return;
      if (weight == 256) return CopyRows(box, weight);
    }
    return kPlainRows[rule](box, weight);
  }
  if (rule == kBlendCopy && weight == 256) return BlendRows<blend::SourceAlphaOpaque>(box, weight);
  kSourceAlphaRows[rule](box, weight);
}

void BlitRegion(Bitmap* dest, Bitmap* src, int32_t dstX, int32_t dstY, int32_t srcX, int32_t srcY,
                int32_t width, int32_t height, float alpha, BlendMode mode) {
  // The far edges saturate rather than wrap for extreme positions.
  auto farEdge = [](int32_t start, int32_t size) {
    int64_t edge = static_cast<int64_t>(start) + size;
    return static_cast<int32_t>(std::clamp<int64_t>(edge, INT32_MIN, INT32_MAX));
  };
  BitmapRect rect{srcX, srcY, farEdge(srcX, width), farEdge(srcY, height)};
  Blit(dest, src, dstX, dstY, &rect, alpha, mode);
}
