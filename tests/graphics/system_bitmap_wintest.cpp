#include "graphics/system_bitmap.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "graphics/blit.h"

namespace {

TEST(SystemBitmap, RowSpanIsWidthRoundedToFour) {
  SystemBitmap bitmap(37, 5);
  ASSERT_NE(bitmap.GetBits(), nullptr);
  ASSERT_NE(bitmap.GetDeviceContext(), nullptr);
  EXPECT_EQ(bitmap.GetWidth(), 37);
  EXPECT_EQ(bitmap.GetHeight(), 5);
  EXPECT_EQ(bitmap.GetRowSpan(), 40);
  EXPECT_FALSE(bitmap.IsBottomUp());
  EXPECT_EQ(bitmap.GetExtension(), nullptr);
}

TEST(SystemBitmap, ShrinkingAndGrowingBackKeepTheSection) {
  SystemBitmap bitmap(100, 100);
  Pixel* bits = bitmap.GetBits();
  EXPECT_FALSE(bitmap.Resize(100, 100));
  EXPECT_TRUE(bitmap.Resize(50, 50));
  EXPECT_EQ(bitmap.GetBits(), bits);
  EXPECT_EQ(bitmap.GetRowSpan(), 100);
  EXPECT_EQ(bitmap.GetWidth(), 50);
  EXPECT_TRUE(bitmap.Resize(100, 100));
  EXPECT_EQ(bitmap.GetBits(), bits);
  EXPECT_TRUE(bitmap.Resize(101, 100));
  EXPECT_EQ(bitmap.GetRowSpan(), 104);
  // An empty size releases the section (and reports no new one).
  EXPECT_FALSE(bitmap.Resize(0, 0));
  EXPECT_EQ(bitmap.GetBits(), nullptr);
  EXPECT_TRUE(bitmap.Resize(3, 3));
  EXPECT_NE(bitmap.GetBits(), nullptr);
}

TEST(SystemBitmap, GdiAndTheLibrarySeeTheSamePixels) {
  SystemBitmap bitmap(8, 4);
  FillRect(&bitmap, 0, 0, 8, 4, 0xFF000000u, 1.0f, kBlendCopy);
  // GDI writes top-down rows in B, G, R byte order: the Pixel layout.
  SetPixel(bitmap.GetDeviceContext(), 3, 1, RGB(0x12, 0x34, 0x56));
  GdiFlush();
  EXPECT_EQ(bitmap.GetBits()[1 * bitmap.GetRowSpan() + 3] & 0x00FFFFFFu, 0x123456u);
  FillRect(&bitmap, 5, 2, 1, 1, 0xFFABCDEFu, 1.0f, kBlendCopy);
  EXPECT_EQ(GetPixel(bitmap.GetDeviceContext(), 5, 2), RGB(0xAB, 0xCD, 0xEF));
}

}  // namespace
