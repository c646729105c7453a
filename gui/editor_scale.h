// EditorScale: the editor's five sizes and the arithmetic between the 100 %
// layout (the coordinates every control keeps) and the pixels of a window at
// another size. Every coordinate goes through one mapping, ScaleCoordinate,
// so the edges two rectangles share stay shared and a gap between them stays
// a gap at every size; points from the window map back to the layout pixel
// whose scaled area holds them, so a gesture does the same at every size.
// Pure arithmetic. [any thread]
#pragma once

#include <cstdint>

#include "gui/records.h"

// The sizes the editor offers, in percent of the 620 x 285 layout.
constexpr int32_t kEditorSizes[] = {100, 125, 150, 175, 200};
constexpr int32_t kEditorSizeCount = 5;
constexpr int32_t kSmallestEditorSize = 100;
constexpr int32_t kLargestEditorSize = 200;
// The size drawn natively by the artwork besides 100 %; the sizes between
// are scaled down from it.
constexpr int32_t kLargeArtworkSize = 200;
// Screen density at which the editor shows at 100 %.
constexpr int32_t kBaseDpi = 96;

// One of kEditorSizes, or kSmallestEditorSize for anything else.
int32_t ValidEditorSize(int32_t percent);

// A 100 % coordinate at `percent`: round(value * percent / 100), halves
// upwards (also for negative values, so the mapping is the same shift-free
// staircase everywhere). Lengths measured from 0 (font sizes, line widths,
// image sides) use it too.
int32_t ScaleCoordinate(int32_t value, int32_t percent);

// A rectangle at `percent`, each edge through ScaleCoordinate. The all-zero
// empty rectangle stays empty.
Rect ScaleRect(const Rect& rect, int32_t percent);

// The 100 % coordinate of a window pixel at `percent`: the x whose scaled
// pixels [ScaleCoordinate(x), ScaleCoordinate(x + 1)) hold it. Exact for
// negative values and beyond the window, as captured drags report them.
int32_t UnscaleCoordinate(int32_t value, int32_t percent);

// The editor's rectangle at `percent`: (0, 0, 620, 285) scaled, so
// 1240 x 570 at 200 %.
Rect EditorRectAt(int32_t percent);

// The size nearest a content-scale factor (1.0 is 100 %), ties towards the
// larger size, limited to 100-200 %; not-a-number and values not above 0
// give 100 %.
int32_t NearestEditorSize(double scaleFactor);

// The size nearest a screen density in dots per inch, 96 being 100 %.
int32_t EditorSizeForDpi(int32_t dpi);

// The size menu's entry for `percent`, "Size: 150 %", at most 31 characters.
struct SizeMenuText {
  char text[32];
};
SizeMenuText SizeMenuEntry(int32_t percent);
