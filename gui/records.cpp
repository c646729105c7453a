#include "gui/records.h"

#include <algorithm>
#include <cstring>

Rect UnionRect(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

Rect IntersectRect(const Rect& a, const Rect& b) {
  if (a.IsEmpty() || b.IsEmpty()) return Rect{};
  if (a.left >= b.right || b.left >= a.right || a.top >= b.bottom || b.top >= a.bottom) {
    return Rect{};
  }
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

TextStyle::TextStyle(const char* faceName, int32_t fontSize, Colour textColour, int32_t fontStyle,
                     int32_t align, int32_t orientationDegrees, int32_t fontQuality)
    : size(fontSize),
      colour(textColour),
      style(fontStyle),
      alignment(align),
      orientation(orientationDegrees),
      quality(fontQuality) {
  std::memset(face, 0, sizeof(face));
  if (faceName) std::strncpy(face, faceName, sizeof(face) - 1);
}
