// BlendMode: the 32-bit mode word of every drawing routine. Bits 0-7 pick
// the blend rule (0xF0-0xFF: channel copy, blits only, with bits 0-1 the
// source byte and bits 2-3 the destination byte; byte 0 blue ... 3 alpha),
// 0x100 asks the scaled and rotated routines for bilinear filtering, and
// 0x10000 weights by the source's alpha (per pixel for blits, the colour's
// alpha for fills). Alpha arguments are floats, 1.0 opaque; internally the
// weight is (int)(alpha * 256).
#pragma once

#include <cstdint>

using BlendMode = uint32_t;

constexpr BlendMode kBlendCopy = 0;
constexpr BlendMode kBlendAdd = 1;
constexpr BlendMode kBlendDodge = 2;
constexpr BlendMode kBlendMultiply = 3;
constexpr BlendMode kBlendOverlay = 4;
constexpr BlendMode kBlendHsvAdjust = 5;
constexpr BlendMode kBlendChannelCopy = 0xF0;
constexpr BlendMode kBlendRuleMask = 0xFF;
constexpr BlendMode kBlendBilinear = 0x100;
constexpr BlendMode kBlendSourceAlpha = 0x10000;

// Channel copy from source byte srcByte to destination byte dstByte (0-3).
constexpr BlendMode ChannelCopyMode(int srcByte, int dstByte) {
  return kBlendChannelCopy | static_cast<BlendMode>(srcByte & 3) |
         (static_cast<BlendMode>(dstByte & 3) << 2);
}
