#include "graphics/blit.h"

#include <gtest/gtest.h>

#include "graphics/blend_rules.h"
#include "graphics/blend_reference.h"
#include "graphics/bitmap_test_util.h"

namespace {

Pixel BlitOne(Pixel d, Pixel s, float alpha, BlendMode mode) {
  VectorBitmap dest(1, 1, d);
  VectorBitmap src(1, 1, s);
  Blit(&dest, &src, 0, 0, nullptr, alpha, mode);
  return dest.At(0, 0);
}

TEST(BlitRules, HandComputedPixels) {
  // Source-alpha at full weight: alpha sum limited, colours weighted by 127/256.
  EXPECT_EQ(BlitOne(0xC8C86432u, 0x80643200u, 1.0f, kBlendSourceAlpha), 0xFF954A18u);
  EXPECT_EQ(BlitOne(0x12345678u, 0x00FFFFFFu, 1.0f, kBlendSourceAlpha), 0x12345678u);
  EXPECT_EQ(BlitOne(0x12345678u, 0xFFABCDEFu, 1.0f, kBlendSourceAlpha), 0xFFABCDEFu);
  // Copy at quarter weight: 200 -> 50, 0 -> 150 (keeps 192/256 of the old value).
  EXPECT_EQ(BlitOne(0x00C800C8u, 0xC800C800u, 0.25f, kBlendCopy), 0x32963296u);
  // Division truncates toward zero: 255 + (-255 * 255) / 256 = 1, not 0.
  EXPECT_EQ(BlitOne(0x00000000u, 0xFFFFFFFFu, 1.0f / 256, kBlendCopy), 0x01010101u);
  // Add: 200 + 100/2 = 250; 255 saturates.
  EXPECT_EQ(BlitOne(0xC8C8C8C8u, 0x64FF6400u, 0.5f, kBlendAdd), 0xFAFFFAC8u);
  // Dodge: black stays black; 100 over 128 doubles; a full source saturates.
  EXPECT_EQ(BlitOne(0x00000064u, 0xFFFFFF80u, 1.0f, kBlendDodge), 0x000000C8u);
  EXPECT_EQ(BlitOne(0x64000000u, 0xFF000000u, 1.0f, kBlendDodge), 0xFF000000u);
  // Multiply by 128: halves.
  EXPECT_EQ(BlitOne(0xC8C8C8C8u, 0x80808080u, 1.0f, kBlendMultiply), 0x64646464u);
  // Overlay of 255 over 100 lifts it to 160.
  EXPECT_EQ(BlitOne(0x64646464u, 0xFFFFFFFFu, 1.0f, kBlendOverlay), 0xA0A0A0A0u);
}

TEST(BlitRules, HsvAdjustTurnsHueAndTakesSourceAlpha) {
  // A neutral source (128, 128, 128 plus the hue term 0) leaves pure red red.
  EXPECT_EQ(BlitOne(0xFFFF0000u, 0x4D808080u, 1.0f, kBlendHsvAdjust), 0x4DFF0000u);
  // sR = 255 turns the hue by 190 of 384 steps: red becomes green with a little blue.
  EXPECT_EQ(BlitOne(0xFFFF0000u, 0x4DFF8080u, 1.0f, kBlendHsvAdjust), 0x4D00FFF7u);
  EXPECT_EQ(blend::kReciprocalTable[0], 0);
  EXPECT_EQ(blend::kReciprocalTable[1], 65535);
  EXPECT_EQ(blend::kReciprocalTable[255], 256);
  EXPECT_EQ(blend::kReciprocalTable[3], 21844);
}

// Every rule and flag against the formula reference, over random pixels,
// several weights and every span length up to 19 (rows loops and tails).
TEST(BlitRules, MatchReferenceForEveryRuleAndFlag) {
  uint32_t seed = 12345;
  const float alphas[] = {1.0f, 0.75f, 0.5f, 0.3f, 1.0f / 256, 0.99f};
  for (int rule = 0; rule <= 4; ++rule) {
    for (bool sourceAlpha : {false, true}) {
      for (float alpha : alphas) {
        for (int32_t width = 1; width < 20; ++width) {
          VectorBitmap src(width, 3);
          VectorBitmap dest(width, 3);
          for (Pixel& p : src.Storage()) p = NextRandom(seed);
          for (Pixel& p : dest.Storage()) p = NextRandom(seed);
          // Fully transparent and opaque sources take their own branches.
          src.At(0, 0) &= 0x00FFFFFFu;
          src.At(width - 1, 2) |= 0xFF000000u;
          VectorBitmap before = dest;
          BlendMode mode = static_cast<BlendMode>(rule) | (sourceAlpha ? kBlendSourceAlpha : 0);
          Blit(&dest, &src, 0, 0, nullptr, alpha, mode);
          int w = static_cast<int>(alpha * 256);
          for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < width; ++x) {
              Pixel expected;
              if (rule == 0 && !sourceAlpha && alpha == 0.5f) {
                expected = ((src.At(x, y) >> 1) & 0x7F7F7F7Fu) + ((before.At(x, y) >> 1) & 0x7F7F7F7Fu);
              } else {
                expected = reference::BlitPixel(before.At(x, y), src.At(x, y), rule, sourceAlpha, w);
              }
              ASSERT_EQ(dest.At(x, y), expected)
                  << "rule " << rule << " flag " << sourceAlpha << " alpha " << alpha << " at " << x;
            }
          }
        }
      }
    }
  }
}

TEST(BlitRules, OpaqueCopyIsExactAndZeroAlphaDrawsNothing) {
  VectorBitmap src(3, 2);
  uint32_t seed = 7;
  for (Pixel& p : src.Storage()) p = NextRandom(seed);
  VectorBitmap dest(3, 2, 0x11223344u);
  Blit(&dest, &src, 0, 0, nullptr, 0.0f, kBlendCopy);
  EXPECT_EQ(dest.At(2, 1), 0x11223344u);
  Blit(&dest, &src, 0, 0, nullptr, 1.0f, kBlendCopy);
  EXPECT_EQ(dest.Storage(), src.Storage());
}

TEST(BlitRules, ChannelCopyMovesOneByte) {
  // Red (byte 2) of the source into alpha (byte 3) of the destination.
  EXPECT_EQ(BlitOne(0x11223344u, 0xAABBCCDDu, 0.3f, ChannelCopyMode(2, 3)), 0xBB223344u);
  EXPECT_EQ(BlitOne(0x11223344u, 0xAABBCCDDu, 1.0f, ChannelCopyMode(0, 1)), 0x1122DD44u);
}

// Expected result of an opaque copy of src at (dstX, dstY) of a dest filled with 0.
void ExpectPlacedCopy(VectorBitmap& dest, VectorBitmap& src, int dstX, int dstY) {
  for (int32_t y = 0; y < dest.GetHeight(); ++y) {
    for (int32_t x = 0; x < dest.GetWidth(); ++x) {
      int sx = x - dstX;
      int sy = y - dstY;
      bool inside = sx >= 0 && sy >= 0 && sx < src.GetWidth() && sy < src.GetHeight();
      ASSERT_EQ(dest.At(x, y), inside ? src.At(sx, sy) : 0u) << x << "," << y;
    }
  }
}

TEST(BlitClipping, EveryEdgeAndCorner) {
  VectorBitmap src(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) src.At(x, y) = 0xFF000000u | static_cast<Pixel>(y * 16 + x + 1);
  }
  const int positions[][2] = {{-2, -2}, {4, 4}, {-2, 4}, {4, -2}, {1, 1}, {-3, 1}, {1, 5},
                              {6, 0},   {0, 6}, {-4, 0}, {0, -4}, {-100, -100}};
  for (const auto& pos : positions) {
    for (bool bottomUp : {false, true}) {
      // Span 8 for width 6: the padding must stay untouched.
      VectorBitmap dest(6, 6, 0, 8, bottomUp);
      Blit(&dest, &src, pos[0], pos[1], nullptr, 1.0f, kBlendCopy);
      ExpectPlacedCopy(dest, src, pos[0], pos[1]);
      for (int32_t row = 0; row < 6; ++row) {
        EXPECT_EQ(dest.Storage()[static_cast<size_t>(row * 8 + 6)], 0u);
        EXPECT_EQ(dest.Storage()[static_cast<size_t>(row * 8 + 7)], 0u);
      }
    }
  }
}

TEST(BlitClipping, NegativeSourceRectangleMovesTheDestination) {
  VectorBitmap src(10, 10);
  for (int x = 0; x < 10; ++x) src.At(x, 0) = static_cast<Pixel>(x + 1);
  VectorBitmap dest(20, 10);
  BitmapRect rect{-5, 0, 10, 10};
  Blit(&dest, &src, 0, 0, &rect, 1.0f, kBlendCopy);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(dest.At(x, 0), x >= 5 && x < 15 ? Pixel(x - 4) : 0u);

  VectorBitmap dest2(10, 10);
  BlitRegion(&dest2, &src, -3, -3, 0, 0, 10, 10, 1.0f, kBlendCopy);
  EXPECT_EQ(dest2.At(0, 0), src.At(3, 3));
  // Extreme positions and sizes neither overflow nor draw.
  BlitRegion(&dest2, &src, INT32_MAX, INT32_MAX, 0, 0, INT32_MAX, INT32_MAX, 1.0f, kBlendCopy);
  BlitRegion(&dest2, &src, INT32_MIN, 0, INT32_MAX, 0, INT32_MAX, 10, 1.0f, kBlendAdd);
  BlitRegion(&dest2, &src, 0, 0, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 1.0f, kBlendCopy);
  Blit(&dest2, nullptr, 0, 0, nullptr, 1.0f, kBlendCopy);
  Blit(nullptr, &src, 0, 0, nullptr, 1.0f, kBlendCopy);
}

TEST(FillRect, WholeWordQuarterWeights) {
  const Pixel d = 0x80FF4020u;
  const Pixel c = 0x40204080u;
  auto fillOne = [](Pixel dest, Pixel colour, float alpha, BlendMode mode) {
    VectorBitmap bitmap(1, 1, dest);
    FillRect(&bitmap, 0, 0, 1, 1, colour, alpha, mode);
    return bitmap.At(0, 0);
  };
  EXPECT_EQ(fillOne(d, c, 1.0f, kBlendCopy), c);
  EXPECT_EQ(fillOne(d, c, 0.5f, kBlendCopy), ((c >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu));
  EXPECT_EQ(fillOne(d, c, 0.25f, kBlendCopy),
            ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 2) & 0x3F3F3F3Fu));
  EXPECT_EQ(fillOne(d, c, 0.75f, kBlendCopy),
            ((c >> 1) & 0x7F7F7F7Fu) + ((c >> 2) & 0x3F3F3F3Fu) + ((d >> 2) & 0x3F3F3F3Fu));
  // With the flag the colour's alpha (0x80) halves the weight first.
  EXPECT_EQ(fillOne(d, 0x80204080u, 1.0f, kBlendSourceAlpha),
            fillOne(d, 0x80204080u, 128.0f / 255.0f * 1.0f, kBlendCopy));
  EXPECT_EQ(fillOne(d, 0x00FFFFFFu, 1.0f, kBlendSourceAlpha), d);
  // Weight 100: colour 255 over 0 gives 100; alpha 255 becomes 100 + 155 * 156 / 256 = 194.
  EXPECT_EQ(fillOne(0xFF000000u, 0x00FF0000u, 100.0f / 256, kBlendCopy), 0xC2640000u);
  // The weight stands for the source alpha: add saturates alpha, multiply keeps it.
  EXPECT_EQ(fillOne(0x10101010u, 0x00808080u, 1.0f, kBlendAdd), 0xFF909090u);
  EXPECT_EQ(fillOne(0xC8C8C8C8u, 0x00808080u, 1.0f, kBlendMultiply), 0xC8646464u);
  // HSV at full weight leaves an opaque pixel, not a transparent one.
  EXPECT_EQ(fillOne(0x00FF0000u, 0x00808080u, 1.0f, kBlendHsvAdjust), 0xFFFF0000u);
}

TEST(FillRect, ClipsAtEveryEdge) {
  const int rects[][4] = {{-2, -2, 4, 4}, {4, 4, 10, 10}, {-5, 3, 20, 1}, {3, -5, 1, 20},
                          {6, 0, 2, 2},   {0, 6, 2, 2},   {2, 2, 0, 3},   {2, 2, 3, -1}};
  for (const auto& r : rects) {
    VectorBitmap bitmap(6, 6, 0, 8);
    FillRect(&bitmap, r[0], r[1], r[2], r[3], 0xFFFFFFFFu, 1.0f, kBlendCopy);
    for (int32_t y = 0; y < 6; ++y) {
      for (int32_t x = 0; x < 6; ++x) {
        bool inside = x >= r[0] && x < r[0] + r[2] && y >= r[1] && y < r[1] + r[3];
        ASSERT_EQ(bitmap.At(x, y), inside ? 0xFFFFFFFFu : 0u);
      }
      EXPECT_EQ(bitmap.Storage()[static_cast<size_t>(y * 8 + 6)], 0u);
    }
  }
  VectorBitmap bitmap(6, 6);
  FillRect(&bitmap, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFFFFFFFFu, 1.0f, kBlendCopy);
  FillRect(&bitmap, INT32_MAX, 0, INT32_MAX, 1, 0xFFFFFFFFu, 1.0f, kBlendCopy);
  EXPECT_EQ(bitmap.At(0, 0), 0u);
  FillRect(nullptr, 0, 0, 1, 1, 0, 1.0f, kBlendCopy);
}

}  // namespace
