// The arithmetic between the 100 % layout and a window at any of the five
// sizes: edges scale alike so shared edges stay shared and gaps stay gaps,
// window points map back to the layout pixel they were drawn from, and the
// size chosen for a host's scale factor or a screen's density.
#include "gui/editor_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

TEST(EditorScale, WorkedCoordinatesAndEditorRects) {
  struct Case {
    int32_t percent, value, scaled;
  };
  const Case cases[] = {
      {100, 589, 589}, {125, 22, 28}, {125, 30, 38},   {125, 64, 80},    {125, 65, 81},
      {150, 285, 428}, {175, 22, 39}, {175, 285, 499}, {200, 620, 1240}, {125, -1, -1},
      {125, -2, -2},   {150, -1, -1}, {175, -2, -3},   {200, -7, -14},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleCoordinate(c.value, c.percent), c.scaled) << c.value << " at " << c.percent;
  }
  const int32_t widths[] = {620, 775, 930, 1085, 1240};
  const int32_t heights[] = {285, 356, 428, 499, 570};
  for (int i = 0; i < kEditorSizeCount; ++i) {
    EXPECT_EQ(EditorRectAt(kEditorSizes[i]), (Rect{0, 0, widths[i], heights[i]}));
  }
  EXPECT_TRUE(ScaleRect(Rect{}, 175).IsEmpty());
  EXPECT_EQ(ScaleRect(Rect{30, 230, 589, 243}, 200), (Rect{60, 460, 1178, 486}));
  EXPECT_EQ(ValidEditorSize(150), 150);
  EXPECT_EQ(ValidEditorSize(140), 100);
}

TEST(EditorScale, NeighbouringEdgesKeepTheirOrderAndWindowPointsMapBack) {
  // Every pair of layout coordinates keeps its order (ties included), so
  // rectangles that abut still abut and a one-pixel gap stays open; every
  // window pixel maps to the layout pixel whose scaled span holds it.
  for (int32_t percent : kEditorSizes) {
    for (int32_t v = -700; v <= 700; ++v) {
      const int32_t here = ScaleCoordinate(v, percent);
      const int32_t next = ScaleCoordinate(v + 1, percent);
      ASSERT_GE(next - here, 1) << v << " at " << percent;
      ASSERT_LE(next - here, 2) << v << " at " << percent;
      for (int32_t pixel = here; pixel < next; ++pixel) {
        ASSERT_EQ(UnscaleCoordinate(pixel, percent), v) << pixel << " at " << percent;
      }
    }
  }
  // Far out, as captured drags report: random values, printed seed.
  uint32_t state = 424242;
  std::printf("EditorScale seed %u\n", state);
  for (int i = 0; i < 20000; ++i) {
    state = state * 1664525u + 1013904223u;
    const int32_t percent = kEditorSizes[state % kEditorSizeCount];
    const int32_t pixel = static_cast<int32_t>(state >> 8) - (1 << 23);
    const int32_t v = UnscaleCoordinate(pixel, percent);
    ASSERT_LE(ScaleCoordinate(v, percent), pixel) << pixel << " at " << percent;
    ASSERT_GT(ScaleCoordinate(v + 1, percent), pixel) << pixel << " at " << percent;
  }
}

TEST(EditorScale, SizeForScaleFactorAndDpi) {
  struct Case {
    double factor;
    int32_t size;
  };
  const Case factors[] = {
      {1.0, 100},
      {1.1, 100},
      {1.125, 125},
      {1.24, 125},
      {1.5, 150},
      {1.62, 150},
      {1.63, 175},
      {1.8, 175},
      {1.875, 200},
      {2.0, 200},
      {3.0, 200},
      {0.5, 100},
      {0.0, 100},
      {-2.0, 100},
      {std::numeric_limits<double>::quiet_NaN(), 100},
      {std::numeric_limits<double>::infinity(), 200},
  };
  for (const Case& c : factors) EXPECT_EQ(NearestEditorSize(c.factor), c.size) << c.factor;
  struct Dpi {
    int32_t dpi, size;
  };
  const Dpi dpis[] = {{96, 100},  {120, 125}, {144, 150}, {168, 175}, {192, 200},
                      {288, 200}, {72, 100},  {0, 100},   {-96, 100}, {108, 125}};
  for (const Dpi& d : dpis) EXPECT_EQ(EditorSizeForDpi(d.dpi), d.size) << d.dpi;
}

}  // namespace
