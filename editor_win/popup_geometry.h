// Where the text-entry popups go: plain arithmetic on the control's
// rectangle, kept apart from the windows so it can be checked directly.
#pragma once

#include <cstddef>

#include "gui/records.h"

struct PopupPlacement {
  int x;
  int y;
  int width;
  int height;
};

// An edit box for a parameter: centred on the control and wide enough for the
// text at the top of the range (7 pixels a character, at least 32), or over
// the whole control when not centred.
PopupPlacement ParamEditBoxPlacement(const Rect& control, size_t topOfRangeTextLength,
                                     bool centred);

// A drop-down list of `count` texts, the longest `longestTextLength`
// characters: below the control's centre when centred, over the control
// otherwise.
PopupPlacement ComboBoxPlacement(const Rect& control, int count, size_t longestTextLength,
                                 bool centred);
