#include "graphics/memory_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MemoryBitmap, AlignmentMaskAndRowSpan) {
  EXPECT_EQ(MemoryBitmap(10, 1, 0).GetRowSpan(), 10);
  EXPECT_EQ(MemoryBitmap(10, 1, 4).GetRowSpan(), 12);
  EXPECT_EQ(MemoryBitmap(10, 1, 6).GetRowSpan(), 10);  // lowest bit of 6 is 2
  EXPECT_EQ(MemoryBitmap(11, 1, 6).GetRowSpan(), 12);
  EXPECT_EQ(MemoryBitmap(1, 1, 64).GetRowSpan(), 16);  // limited to 16
  MemoryBitmap bitmap(3, 3, 4);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap.GetBits()) % 64, 0u);
  EXPECT_EQ(bitmap.IsBottomUp(), false);
  EXPECT_EQ(bitmap.GetDeviceContext(), nullptr);
  EXPECT_EQ(bitmap.GetExtension(), nullptr);
}

TEST(MemoryBitmap, ResizeKeepsOrGrowsTheBlock) {
  MemoryBitmap bitmap(10, 10, 4);
  EXPECT_EQ(bitmap.AllocatedBytes(), 480);
  EXPECT_FALSE(bitmap.Resize(10, 10));
  Pixel* bits = bitmap.GetBits();
  EXPECT_TRUE(bitmap.Resize(11, 10));  // span 12 still: the 480 bytes suffice
  EXPECT_EQ(bitmap.GetBits(), bits);
  EXPECT_EQ(bitmap.AllocatedBytes(), 480);
  EXPECT_TRUE(bitmap.Resize(13, 10));  // span 16: 640 bytes, 25 % headroom
  EXPECT_EQ(bitmap.AllocatedBytes(), 800);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap.GetBits()) % 64, 0u);
  bitmap.GetBits()[16 * 10 - 1] = 1;  // the last pixel is writable
  EXPECT_TRUE(bitmap.Resize(0, 0));
  EXPECT_EQ(bitmap.GetBits(), nullptr);
  EXPECT_EQ(bitmap.AllocatedBytes(), 0);
}

TEST(MemoryBitmap, SizesThatWouldOverflowLeaveItEmpty) {
  MemoryBitmap bitmap(4, 4, 4);
  // 65536 * 65536 * 4 wraps a 32-bit byte count to 0; 40000 * 30000 * 4 to a
  // small positive number. Both must be refused, not under-allocated.
  EXPECT_TRUE(bitmap.Resize(65536, 65536));
  EXPECT_EQ(bitmap.GetBits(), nullptr);
  EXPECT_EQ(bitmap.GetWidth(), 0);
  EXPECT_TRUE(bitmap.Resize(40000, 30000));
  EXPECT_EQ(bitmap.GetBits(), nullptr);
  EXPECT_TRUE(bitmap.Resize(-5, 7));
  EXPECT_EQ(bitmap.GetHeight(), 0);
  EXPECT_TRUE(bitmap.Resize(16384, 1));
  EXPECT_NE(bitmap.GetBits(), nullptr);
}

}  // namespace
