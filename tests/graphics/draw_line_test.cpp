#include "graphics/draw_line.h"

#include <gtest/gtest.h>

#include "graphics/bitmap_test_util.h"

namespace {

constexpr Pixel kInk = 0xFF102030u;

int CountInk(VectorBitmap& bitmap) {
  int n = 0;
  for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
    for (int32_t x = 0; x < bitmap.GetWidth(); ++x) n += bitmap.At(x, y) != 0 ? 1 : 0;
  }
  return n;
}

TEST(DrawLine, PointsAndClippedHorizontals) {
  VectorBitmap bitmap(8, 8, 0, 10);
  DrawLine(&bitmap, 5, 5, 5, 5, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(bitmap.At(5, 5), kInk);
  EXPECT_EQ(CountInk(bitmap), 1);

  VectorBitmap row(8, 3, 0, 10);
  DrawLine(&row, -10, 0, 10, 0, kInk, 1.0f, kBlendCopy, false);
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(row.At(x, 0), kInk);
  EXPECT_EQ(CountInk(row), 8);
  for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(row.Storage()[static_cast<size_t>(y * 10 + 8)], 0u);

  // Wholly outside, or crossing only outside corners: nothing.
  DrawLine(&row, -5, -5, 20, -1, kInk, 1.0f, kBlendCopy, true);
  DrawLine(&row, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(CountInk(row), 8);
  DrawLine(nullptr, 0, 0, 1, 1, kInk, 1.0f, kBlendCopy, false);
}

TEST(DrawLine, VerticalWeights) {
  VectorBitmap bitmap(1, 4, 0x80808080u);
  DrawLine(&bitmap, 0, 0, 0, 0, 0x00000000u, 0.5f, kBlendCopy, false);
  DrawLine(&bitmap, 0, 1, 0, 1, 0x00000000u, 0.25f, kBlendCopy, false);
  DrawLine(&bitmap, 0, 2, 0, 2, 0x00000000u, 0.75f, kBlendCopy, false);
  DrawLine(&bitmap, 0, 3, 0, 3, 0x00000000u, 100.0f / 256, kBlendCopy, false);
  EXPECT_EQ(bitmap.At(0, 0), 0x40404040u);
  EXPECT_EQ(bitmap.At(0, 1), 0x60606060u);
  EXPECT_EQ(bitmap.At(0, 2), 0x20202020u);
  EXPECT_EQ(bitmap.At(0, 3), 0x4E4E4E4Eu);  // 128 * 156 / 256 = 78
}

TEST(DrawLine, ClippedSlopesAreSymmetricAndContinuous) {
  const int lines[][4] = {{0, 0, 9, 3}, {1, 7, 8, 0}, {-4, 2, 12, 5}, {2, -3, 5, 12}, {0, 0, 3, 9}};
  for (bool antiAlias : {false, true}) {
    for (const auto& l : lines) {
      VectorBitmap forward(10, 8);
      VectorBitmap backward(10, 8);
      DrawLine(&forward, l[0], l[1], l[2], l[3], kInk, 1.0f, kBlendCopy, antiAlias);
      DrawLine(&backward, l[2], l[3], l[0], l[1], kInk, 1.0f, kBlendCopy, antiAlias);
      EXPECT_EQ(forward.Storage(), backward.Storage()) << l[0] << "," << l[1];
      if (!antiAlias) {
        // One pixel per step of the major axis, each neighbour of the next.
        int32_t lastX = -1;
        int32_t lastY = -1;
        int n = 0;
        for (int32_t y = 0; y < 8; ++y) {
          for (int32_t x = 0; x < 10; ++x) {
            if (forward.At(x, y) == 0) continue;
            EXPECT_EQ(forward.At(x, y), kInk);
            ++n;
            lastX = x;
            lastY = y;
          }
        }
        EXPECT_GT(n, 3);
        EXPECT_GE(lastX, 0);
        EXPECT_GE(lastY, 0);
      }
    }
  }
  VectorBitmap line(10, 4);
  DrawLine(&line, 0, 0, 9, 3, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(CountInk(line), 10);
  EXPECT_EQ(line.At(0, 0), kInk);
  EXPECT_EQ(line.At(9, 3), kInk);
  for (int32_t x = 0; x < 10; ++x) {
    int inColumn = 0;
    for (int32_t y = 0; y < 4; ++y) inColumn += line.At(x, y) != 0;
    EXPECT_EQ(inColumn, 1);
  }
}

TEST(DrawLine, AntiAliasedDiagonal) {
  VectorBitmap bitmap(4, 4, 0);
  DrawLine(&bitmap, 0, 0, 3, 3, 0xFFFFFFFFu, 1.0f, kBlendCopy, true);
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(bitmap.At(i, i), 0xBEBEBEBEu);  // c/2 + c/4
  EXPECT_EQ(bitmap.At(1, 0), 0x3F3F3F3Fu);  // 1/4 c beside each step
  EXPECT_EQ(bitmap.At(0, 1), 0x3F3F3F3Fu);
  EXPECT_EQ(bitmap.At(3, 0), 0u);
  VectorBitmap plain(4, 4, 0);
  DrawLine(&plain, 3, 0, 0, 3, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(CountInk(plain), 4);
  EXPECT_EQ(plain.At(2, 1), kInk);
}

}  // namespace
