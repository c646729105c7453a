// ImageScaling: how one of the editor's images is drawn at a size other than
// 100 %. At 200 % the image drawn natively at that size is used as it is; at
// the sizes between, ScaleLargeImage area-averages it down. A cut-out of the
// background (rockers, padlock, radio group, the background itself) follows
// the editor's grid from its place in the layout, so it lines up with the
// background pixel for pixel; a free-moving image (knob, slider handle,
// lamps) is fitted whole into its scaled size, the knob to an even side so
// that its rotation centre stays a whole pixel. [editor thread]
#pragma once

#include <cstdint>

class Bitmap;

struct ImageScaling {
  enum Kind : int32_t { kFit = 0, kFitEven = 1, kAnchored = 2 };
  int32_t kind = kFit;
  // Where the image's first pixel sits in the 100 % layout (kAnchored).
  int32_t originX = 0;
  int32_t originY = 0;
  // Frames side by side, each scaled on its own (kAnchored and kFit).
  int32_t framesX = 1;
};

// The side of a fitted image of `length` 100 % pixels at `percent`.
int32_t ScaledImageLength(int32_t length, int32_t percent, bool even);

// A new bitmap holding `large` (the image at 200 %, `width` x `height` at
// 100 %) at `percent`; null when an image is missing or the size is not
// below 200 %. The caller owns it.
Bitmap* ScaleLargeImage(Bitmap* large, int32_t width, int32_t height, const ImageScaling& scaling,
                        int32_t percent);
