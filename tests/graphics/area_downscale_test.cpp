// The area downscale that draws the editor's in-between sizes from its 200 %
// images: exact agreement with the slow reference, straight alpha that does
// not darken edges, filmstrip frames that never mix, cut-outs that line up
// with the background, and centred images that stay centred.
#include "graphics/area_downscale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "graphics/area_downscale_reference.h"
#include "graphics/bitmap_test_util.h"

namespace {

constexpr int32_t kInBetweenSizes[] = {125, 150, 175};

// Mostly transparent, opaque or partly covered pixels, as control images have.
Pixel RandomPixel(uint32_t& seed) {
  const uint32_t r = NextRandom(seed);
  const uint32_t kind = NextRandom(seed) % 4;
  const uint32_t alpha = kind == 0 ? 0 : (kind == 1 ? 255 : r >> 24);
  return (alpha << 24) | (r & 0xFFFFFFu);
}

TEST(AreaDownscale, MatchesReferenceForRandomImagesAndMappings) {
  const uint32_t seed0 = 20261207;
  std::printf("AreaDownscale seed %u\n", seed0);
  uint32_t seed = seed0;
  for (int round = 0; round < 300; ++round) {
    const int32_t frames = 1 + static_cast<int32_t>(NextRandom(seed) % 4);
    const bool vertical = NextRandom(seed) % 2 == 0;
    const int32_t size = kInBetweenSizes[NextRandom(seed) % 3];
    const int32_t frameW = 2 + static_cast<int32_t>(NextRandom(seed) % 30);
    const int32_t frameH = 2 + static_cast<int32_t>(NextRandom(seed) % 30);
    const int32_t srcW = vertical ? frameW : frameW * frames;
    const int32_t srcH = vertical ? frameH * frames : frameH;
    const int32_t span = srcW + static_cast<int32_t>(NextRandom(seed) % 3);
    VectorBitmap src(srcW, srcH, 0, span, NextRandom(seed) % 2 == 0);
    for (Pixel& p : src.Storage()) p = RandomPixel(seed);

    AreaMapping mx, my;
    int32_t dstW, dstH;
    if (NextRandom(seed) % 2 == 0) {  // fitted frames of any size up to the source's
      const int32_t fitW = 1 + static_cast<int32_t>(NextRandom(seed) % frameW);
      const int32_t fitH = 1 + static_cast<int32_t>(NextRandom(seed) % frameH);
      mx = FitMapping(frameW, fitW, vertical ? 1 : frames);
      my = FitMapping(frameH, fitH, vertical ? frames : 1);
      dstW = vertical ? fitW : fitW * frames;
      dstH = vertical ? fitH * frames : fitH;
    } else {  // anchored at a random place, a destination a pixel too long or short
      const int32_t originX = static_cast<int32_t>(NextRandom(seed) % 50) - 5;
      const int32_t originY = static_cast<int32_t>(NextRandom(seed) % 50) - 5;
      mx = AnchoredMapping(200, size, originX, vertical ? 1 : frames);
      my = AnchoredMapping(200, size, originY, vertical ? frames : 1);
      dstW = std::max(mx.frames,
                      (srcW * size + 100) / 200 + static_cast<int32_t>(NextRandom(seed) % 3) - 1);
      dstH = std::max(my.frames,
                      (srcH * size + 100) / 200 + static_cast<int32_t>(NextRandom(seed) % 3) - 1);
    }
    const Pixel guard = 0xA5A5A5A5u;
    VectorBitmap dst(dstW, dstH, guard, dstW + 2);
    ASSERT_TRUE(AreaDownscale(&dst, &src, mx, my)) << "seed " << seed0 << " round " << round;
    auto at = [&src](int32_t x, int32_t y) { return src.At(x, y); };
    const int32_t usedW = dstW / mx.frames * mx.frames, usedH = dstH / my.frames * my.frames;
    for (int32_t y = 0; y < dstH; ++y) {
      for (int32_t x = 0; x < dstW + 2; ++x) {
        const Pixel want = x < usedW && y < usedH
                               ? reference::AreaPixel(at, srcW, srcH, dstW, dstH, mx, my, x, y)
                               : guard;
        ASSERT_EQ(dst.At(x, y), want)
            << "seed " << seed0 << " round " << round << " at " << x << "," << y;
      }
    }
  }
}

TEST(AreaDownscale, HandComputedPixels) {
  // Two by two into one: opaque pixels average, rounded to nearest.
  VectorBitmap src(2, 2);
  src.At(0, 0) = MakePixel(255, 10, 20, 30);
  src.At(1, 0) = MakePixel(255, 11, 20, 30);
  src.At(0, 1) = MakePixel(255, 10, 21, 30);
  src.At(1, 1) = MakePixel(255, 10, 20, 33);
  VectorBitmap one(1, 1);
  ASSERT_TRUE(AreaDownscale(&one, &src, FitMapping(2, 1, 1), FitMapping(2, 1, 1)));
  EXPECT_EQ(one.At(0, 0), MakePixel(255, 10, 20, 31));  // 10.25, 20.25, 30.75

  // An opaque red edge beside transparent black: half covered, still pure red.
  src.At(0, 0) = src.At(0, 1) = MakePixel(255, 255, 0, 0);
  src.At(1, 0) = src.At(1, 1) = MakePixel(0, 0, 0, 0);
  ASSERT_TRUE(AreaDownscale(&one, &src, FitMapping(2, 1, 1), FitMapping(2, 1, 1)));
  EXPECT_EQ(one.At(0, 0), MakePixel(128, 255, 0, 0));

  // All transparent: the plain average colour is kept for later filtering.
  for (int i = 0; i < 4; ++i) src.Storage()[static_cast<size_t>(i)] = MakePixel(0, 30, 33, 39);
  ASSERT_TRUE(AreaDownscale(&one, &src, FitMapping(2, 1, 1), FitMapping(2, 1, 1)));
  EXPECT_EQ(one.At(0, 0), MakePixel(0, 30, 33, 39));

  // 200 % to 125 %: a destination pixel is 1.6 source pixels. The second
  // covers source [1.6, 3.2): 0.4 of pixel 1, all of pixel 2, 0.2 of pixel 3;
  // the third [3.2, 4.8): 0.8 of pixels 3 and 4.
  VectorBitmap row(5, 1);
  const int values[5] = {0, 100, 200, 40, 0};
  for (int i = 0; i < 5; ++i) row.At(i, 0) = MakePixel(255, values[i], 0, 0);
  VectorBitmap out(3, 1);
  ASSERT_TRUE(
      AreaDownscale(&out, &row, AnchoredMapping(200, 125, 0, 1), AnchoredMapping(200, 125, 0, 1)));
  EXPECT_EQ(PixelRed(out.At(1, 0)), 155);  // (40 + 200 + 8) / 1.6
  EXPECT_EQ(PixelRed(out.At(2, 0)), 20);   // (32 + 0) / 1.6
}

TEST(AreaDownscale, FilmstripFramesNeverMix) {
  // Four stacked 30-pixel frames, each one solid colour, at every in-between
  // size: frames of 18.75, 22.5 and 26.25 pixels rounded to whole ones.
  const Pixel colours[4] = {0xFF0000FFu, 0xFF00FF00u, 0x80FF0000u, 0x00FFFFFFu};
  VectorBitmap strip(20, 4 * 30);
  for (int32_t y = 0; y < strip.GetHeight(); ++y) {
    for (int32_t x = 0; x < 20; ++x) strip.At(x, y) = colours[y / 30];
  }
  for (int32_t size : kInBetweenSizes) {
    const int32_t frame = (30 * size + 100) / 200;
    VectorBitmap out(13, 4 * frame);
    ASSERT_TRUE(AreaDownscale(&out, &strip, FitMapping(20, 13, 1), FitMapping(30, frame, 4)));
    for (int32_t y = 0; y < out.GetHeight(); ++y) {
      for (int32_t x = 0; x < 13; ++x) {
        ASSERT_EQ(out.At(x, y), colours[y / frame]) << size << "% at " << x << "," << y;
      }
    }
    // Scaled as one image on the editor's grid, the frame edges would blend.
    ASSERT_TRUE(
        AreaDownscale(&out, &strip, FitMapping(20, 13, 1), AnchoredMapping(200, size, 0, 1)));
    bool blended = false;
    for (int32_t y = 0; y < out.GetHeight(); ++y) blended |= out.At(0, y) != colours[y / frame];
    EXPECT_TRUE(blended) << size;
  }
}

TEST(AreaDownscale, AnchoredCutOutsLineUpWithTheBackground) {
  // A 200 % background of a 100 x 60 layout and a cut-out of it at an odd
  // place: scaled on their own, the cut-out's pixels equal the scaled
  // background's where the editor draws it (its outermost ring of pixels
  // excepted, whose areas reach beyond the cut-out).
  uint32_t seed = 99;
  VectorBitmap background(200, 120);
  for (Pixel& p : background.Storage()) p = RandomPixel(seed);
  const int32_t left = 37, top = 13, right = 81, bottom = 47;  // layout pixels
  VectorBitmap cutOut(2 * (right - left), 2 * (bottom - top));
  for (int32_t y = 0; y < cutOut.GetHeight(); ++y) {
    for (int32_t x = 0; x < cutOut.GetWidth(); ++x) {
      cutOut.At(x, y) = background.At(2 * left + x, 2 * top + y);
    }
  }
  for (int32_t size : kInBetweenSizes) {
    auto scale = [size](int32_t v) { return (v * size + 50) / 100; };
    VectorBitmap wide(scale(100), scale(60));
    ASSERT_TRUE(AreaDownscale(&wide, &background, AnchoredMapping(200, size, 0, 1),
                              AnchoredMapping(200, size, 0, 1)));
    VectorBitmap piece(scale(right) - scale(left), scale(bottom) - scale(top));
    ASSERT_TRUE(AreaDownscale(&piece, &cutOut, AnchoredMapping(200, size, left, 1),
                              AnchoredMapping(200, size, top, 1)));
    for (int32_t y = 1; y + 1 < piece.GetHeight(); ++y) {
      for (int32_t x = 1; x + 1 < piece.GetWidth(); ++x) {
        ASSERT_EQ(piece.At(x, y), wide.At(scale(left) + x, scale(top) + y))
            << size << "% at " << x << "," << y;
      }
    }
  }
}

TEST(AreaDownscale, FittedImagesStayCentred) {
  // A knob-like image symmetric about both centre lines stays symmetric at
  // every fitted size, odd or even, so it still turns about its centre.
  uint32_t seed = 5;
  VectorBitmap knob(100, 100);
  for (int32_t y = 0; y < 50; ++y) {
    for (int32_t x = 0; x < 50; ++x) {
      const Pixel p = RandomPixel(seed);
      knob.At(x, y) = knob.At(99 - x, y) = knob.At(x, 99 - y) = knob.At(99 - x, 99 - y) = p;
    }
  }
  for (int32_t side : {62, 63, 75, 76, 87, 88}) {
    VectorBitmap out(side, side);
    const AreaMapping fit = FitMapping(100, side, 1);
    ASSERT_TRUE(AreaDownscale(&out, &knob, fit, fit));
    for (int32_t y = 0; y < side; ++y) {
      for (int32_t x = 0; x < side; ++x) {
        ASSERT_EQ(out.At(x, y), out.At(side - 1 - x, y)) << side << " at " << x << "," << y;
        ASSERT_EQ(out.At(x, y), out.At(x, side - 1 - y)) << side << " at " << x << "," << y;
      }
    }
  }
}

TEST(AreaDownscale, RefusesWhatItCannotScale) {
  VectorBitmap src(8, 8, 0xFF112233u);
  VectorBitmap dst(4, 4, 0x12345678u);
  VectorBitmap empty(0, 0);
  const AreaMapping half = FitMapping(8, 4, 1);
  EXPECT_FALSE(AreaDownscale(nullptr, &src, half, half));
  EXPECT_FALSE(AreaDownscale(&dst, nullptr, half, half));
  EXPECT_FALSE(AreaDownscale(&dst, &empty, half, half));
  EXPECT_FALSE(AreaDownscale(&src, &src, half, half));
  EXPECT_FALSE(AreaDownscale(&dst, &src, AreaMapping{0, 1, 0, 1}, half));
  EXPECT_FALSE(AreaDownscale(&dst, &src, half, AreaMapping{1, 2, 0, 0}));
  EXPECT_FALSE(AreaDownscale(&dst, &src, FitMapping(1, 1, 9), half));  // more frames than pixels
  for (Pixel p : dst.Storage()) EXPECT_EQ(p, 0x12345678u);
  EXPECT_TRUE(AreaDownscale(&dst, &src, half, half));
  for (Pixel p : dst.Storage()) EXPECT_EQ(p, 0xFF112233u);
}

}  // namespace
