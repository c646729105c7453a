#include "gui/editor_scale.h"

#include <cmath>
#include <cstdio>

namespace {

// The layout the sizes scale; the effect's editor is this size at 100 %.
constexpr int32_t kLayoutWidth = 620;
constexpr int32_t kLayoutHeight = 285;

// Division rounding towards minus infinity, for a positive divisor.
int64_t FloorDivide(int64_t numerator, int64_t divisor) {
  const int64_t quotient = numerator / divisor;
  return (numerator % divisor != 0 && numerator < 0) ? quotient - 1 : quotient;
}

}  // namespace

int32_t ValidEditorSize(int32_t percent) {
  for (int32_t size : kEditorSizes) {
    if (size == percent) return size;
  }
  return kSmallestEditorSize;
}

int32_t ScaleCoordinate(int32_t value, int32_t percent) {
  return static_cast<int32_t>(FloorDivide(int64_t{value} * percent + 50, 100));
}

Rect ScaleRect(const Rect& rect, int32_t percent) {
  return Rect{ScaleCoordinate(rect.left, percent), ScaleCoordinate(rect.top, percent),
              ScaleCoordinate(rect.right, percent), ScaleCoordinate(rect.bottom, percent)};
}

int32_t UnscaleCoordinate(int32_t value, int32_t percent) {
  // The largest x with ScaleCoordinate(x) <= value, that is with
  // x * percent + 50 < 100 * (value + 1).
  return static_cast<int32_t>(FloorDivide(int64_t{value} * 100 + 49, percent));
}

Rect EditorRectAt(int32_t percent) {
  return ScaleRect(Rect{0, 0, kLayoutWidth, kLayoutHeight}, percent);
}

int32_t NearestEditorSize(double scaleFactor) {
  if (!(scaleFactor > 0.0)) return kSmallestEditorSize;
  const double percent = scaleFactor * 100.0;
  int32_t nearest = kSmallestEditorSize;
  for (int32_t size : kEditorSizes) {
    // Later (larger) sizes win ties.
    if (std::fabs(percent - size) <= std::fabs(percent - nearest)) nearest = size;
  }
  return nearest;
}

int32_t EditorSizeForDpi(int32_t dpi) {
  return NearestEditorSize(static_cast<double>(dpi) / kBaseDpi);
}

SizeMenuText SizeMenuEntry(int32_t percent) {
  SizeMenuText entry = {};
  std::snprintf(entry.text, sizeof(entry.text), "Size: %d %%", static_cast<int>(percent));
  return entry;
}
