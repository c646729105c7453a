#include "graphics/rotated_blit.h"

#include <gtest/gtest.h>

#include "graphics/bitmap_test_util.h"
#include "graphics/blit.h"
#include "graphics/blur.h"

namespace {

VectorBitmap Pattern(int32_t width, int32_t height, uint32_t seed) {
  VectorBitmap bitmap(width, height);
  for (Pixel& p : bitmap.Storage()) p = NextRandom(seed) | 0xFF000000u;
  return bitmap;
}

TEST(RotatedBlit, ZeroAngleSameSizeReproducesTheSource) {
  VectorBitmap src = Pattern(7, 5, 3);
  VectorBitmap dest(7, 5);
  RotatedBlit(&dest, &src, 0, 0, 7, 5, 0, 0, 7, 5, 0.0f, false, 1.0f, kBlendCopy, 0, 0);
  EXPECT_EQ(dest.Storage(), src.Storage());
}

TEST(RotatedBlit, NegativeSizesMirrorWholeImage) {
  VectorBitmap src = Pattern(6, 3, 9);
  VectorBitmap dest(6, 3);
  RotatedBlit(&dest, &src, 6, 0, -6, 3, 0, 0, 6, 3, 0.0f, false, 1.0f, kBlendCopy, 0, 0);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(dest.At(x, y), src.At(5 - x, y));
  }
  VectorBitmap flipped(6, 3);
  RotatedBlit(&flipped, &src, 0, 3, 6, -3, 0, 0, 6, 3, 0.0f, false, 1.0f, kBlendCopy, 0, 0);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(flipped.At(x, y), src.At(x, 2 - y));
  }
}

TEST(RotatedBlit, QuarterTurnAndClipping) {
  VectorBitmap src = Pattern(4, 4, 11);
  VectorBitmap dest(4, 4);
  const float quarter = 1.57079632679f;
  RotatedBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 4, 4, quarter, false, 1.0f, kBlendCopy, 0, 0);
  // Along a destination row the source moves up a column; sampling at whole
  // coordinates about the centre (2, 2) puts column 0 just outside.
  for (int32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(dest.At(0, y), 0u);
    for (int32_t x = 1; x < 4; ++x) ASSERT_EQ(dest.At(x, y), src.At(y, 4 - x)) << x << "," << y;
  }
  // Hanging off the top-left corner: the visible part matches the source.
  VectorBitmap clipped(4, 4, 0x12345678u);
  RotatedBlit(&clipped, &src, -2, -1, 4, 4, 0, 0, 4, 4, 0.0f, false, 1.0f, kBlendCopy, 0, 0);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      Pixel expected = (x < 2 && y < 3) ? src.At(x + 2, y + 1) : 0x12345678u;
      ASSERT_EQ(clipped.At(x, y), expected);
    }
  }
}

TEST(RotatedBlit, SamplesOutsideTheSourceRectangleLeaveTheDestination) {
  VectorBitmap src = Pattern(8, 8, 5);
  VectorBitmap dest(4, 4, 0xDEADBEEFu);
  // Source rectangle 2x2 at (3, 3) scaled up to 4x4, shifted by a pixel of
  // source: the column that falls outside the source rectangle stays as it was.
  RotatedBlit(&dest, &src, 0, 0, 4, 4, 3, 3, 2, 2, 0.0f, true, 1.0f, kBlendCopy, -1.0f, 0);
  for (int32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(dest.At(0, y), 0xDEADBEEFu);
    EXPECT_EQ(dest.At(1, y), 0xDEADBEEFu);
    EXPECT_EQ(dest.At(2, y), src.At(3, 3 + y / 2));
    EXPECT_EQ(dest.At(3, y), src.At(3, 3 + y / 2));
  }
}

TEST(RotatedBlit, BilinearSamplesLastRowAndColumnWithoutOverrun) {
  // Blue values 0, 200 / 100, 255; scaled 2x so samples fall at halves.
  VectorBitmap src(2, 2);
  src.At(0, 0) = 0xFF000000u;
  src.At(1, 0) = 0xFF0000C8u;
  src.At(0, 1) = 0xFF000064u;
  src.At(1, 1) = 0xFF0000FFu;
  VectorBitmap dest(4, 4);
  RotatedBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 2, 2, 0.0f, false, 1.0f, kBlendCopy | kBlendBilinear,
              0, 0);
  const int expected[4][4] = {
      {0, 100, 200, 200}, {50, 138, 227, 227}, {100, 177, 255, 255}, {100, 177, 255, 255}};
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      EXPECT_EQ(dest.At(x, y), 0xFF000000u | static_cast<Pixel>(expected[y][x])) << x << "," << y;
    }
  }
}

TEST(RotatedBlit, SourceAlphaAndChannelCopyModes) {
  VectorBitmap src(1, 1, 0x00FFFFFFu);
  VectorBitmap dest(1, 1, 0x11223344u);
  RotatedBlit(&dest, &src, 0, 0, 1, 1, 0, 0, 1, 1, 0.0f, false, 1.0f, kBlendSourceAlpha, 0, 0);
  EXPECT_EQ(dest.At(0, 0), 0x11223344u);
  src.At(0, 0) = 0x80643200u;
  dest.At(0, 0) = 0xC8C86432u;
  RotatedBlit(&dest, &src, 0, 0, 1, 1, 0, 0, 1, 1, 0.0f, false, 1.0f, kBlendSourceAlpha, 0, 0);
  EXPECT_EQ(dest.At(0, 0), 0xFF954A18u);
  RotatedBlit(&dest, &src, 0, 0, 1, 1, 0, 0, 1, 1, 0.0f, false, 1.0f, ChannelCopyMode(0, 1), 0, 0);
  EXPECT_EQ(dest.At(0, 0), 0xFF954A18u);
  EXPECT_EQ(ToFixed16(1.5), 98304);
  EXPECT_EQ(ToFixed16(-0.5 / 65536), -1);
}

TEST(Blur, UniformAreaLosesTheTruncatedEighths) {
  VectorBitmap src(6, 5, 0xFFFFFFFFu);
  VectorBitmap dest(6, 5);
  Blur(&dest, &src, 0, 0, 0, 0, 6, 5);
  // Interior 255 -> 251; edges 252, corners 253 (their neighbour weights
  // are quarters, truncated less).
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      int edges = (x == 0 || x == 5) + (y == 0 || y == 4);
      EXPECT_EQ(dest.At(x, y), 0x01010101u * static_cast<Pixel>(251 + edges)) << x << "," << y;
    }
  }
  // v = 100: 50 + 4 * 12 = 98.
  VectorBitmap grey(3, 3, 0x64646464u);
  Blur(&grey, &grey, 0, 0, 0, 0, 3, 3);
  EXPECT_EQ(grey.At(1, 1), 0x62626262u);
}

TEST(Blur, InPlaceMatchesSeparateBuffersAndNeedsTwoByTwo) {
  VectorBitmap src = Pattern(9, 7, 21);
  VectorBitmap separate(9, 7);
  Blur(&separate, &src, 0, 0, 0, 0, 9, 7);
  VectorBitmap inPlace = src;
  Blur(&inPlace, &inPlace, 0, 0, 0, 0, 9, 7);
  EXPECT_EQ(inPlace.Storage(), separate.Storage());
  // The centre pixel by hand: up/8 + down/8 + left/8 + right/8 + centre/2.
  auto e = [](Pixel p) { return (p >> 3) & 0x1F1F1F1Fu; };
  Pixel centre = e(src.At(4, 2)) + e(src.At(4, 4)) + e(src.At(3, 3)) + e(src.At(5, 3)) +
                 ((src.At(4, 3) >> 1) & 0x7F7F7F7Fu);
  EXPECT_EQ(separate.At(4, 3), centre);
  VectorBitmap narrow(1, 5, 0x01020304u);
  Blur(&narrow, &src, 0, 0, 0, 0, 1, 5);
  EXPECT_EQ(narrow.At(0, 2), 0x01020304u);
}

}  // namespace
