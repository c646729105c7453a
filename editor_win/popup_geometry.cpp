#include "editor_win/popup_geometry.h"

#include <algorithm>

namespace {

int CentreX(const Rect& r) { return static_cast<int>((r.left + r.right) * 0.5f); }
int CentreY(const Rect& r) { return static_cast<int>((r.top + r.bottom) * 0.5f); }

}  // namespace

PopupPlacement ParamEditBoxPlacement(const Rect& control, size_t topOfRangeTextLength,
                                     bool centred) {
  if (!centred) return {control.left, control.top, control.Width(), control.Height()};
  const int width = std::max(7 * static_cast<int>(topOfRangeTextLength) + 6, 32);
  return {CentreX(control) - width / 2, CentreY(control) - 8, width, 16};
}

PopupPlacement ComboBoxPlacement(const Rect& control, int count, size_t longestTextLength,
                                 bool centred) {
  const int height = 36 * count + 36;
  const int width = std::max(24, 8 * static_cast<int>(longestTextLength) + 24);
  if (!centred) return {control.left, CentreY(control), control.Width(), control.Height()};
  return {CentreX(control) - width / 2, CentreY(control), width, height};
}
