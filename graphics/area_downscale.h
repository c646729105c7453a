// Area downscaling: every destination pixel is the average of the source
// area it covers, each source pixel weighted by how much of it lies inside.
// The editor draws its in-between sizes (125, 150, 175 %) this way from the
// images drawn at 200 %.
//
// Alpha is straight, so colours are averaged weighted by their alpha: a
// transparent source pixel adds nothing to the colour of a partly covered
// edge, which therefore does not darken. A destination pixel whose whole area
// is transparent keeps the plain average colour (images give transparent
// pixels a body colour so that bilinear rotation leaves no fringe).
//
// All arithmetic is integer and exact; the result is rounded once per channel.
// [editor thread]
#pragma once

#include "graphics/bitmap.h"

// How destination pixels cover the source along one axis. In units where a
// source pixel is `unit` long and a destination pixel `step` long, pixel i of
// a destination frame covers [i * step + shift, (i + 1) * step + shift) of its
// source frame. The axis holds `frames` equal frames (a filmstrip), each
// scaled on its own: no destination pixel mixes two frames, and the part of
// an area outside its frame does not count.
struct AreaMapping {
  int32_t unit = 1;
  int32_t step = 1;
  int32_t shift = 0;
  int32_t frames = 1;
};

// Each destination frame exactly covers its source frame, so a frame's centre
// stays its centre and its borders stay its borders (knob, handle, lamps).
AreaMapping FitMapping(int32_t sourceFrameLength, int32_t destFrameLength, int32_t frames);

// Scaling from `fromPercent` to `toPercent` of an image that sits at `origin`
// in the 100 % layout (0 for the background): destination pixels follow the
// grid of the whole editor at the new size, whose pixel 0 is
// round(origin * toPercent / 100), so a cut-out control image lines up pixel
// for pixel with the background scaled the same way.
AreaMapping AnchoredMapping(int32_t fromPercent, int32_t toPercent, int32_t origin, int32_t frames);

// Fills all of dest from src. Frame lengths are the lengths divided by the
// frame count (pixels left over at the end of dest are not written). Answers
// false and writes nothing for null or empty bitmaps, src equal to dest, or a
// mapping with a non-positive unit, step or frame count.
bool AreaDownscale(Bitmap* dest, Bitmap* src, const AreaMapping& x, const AreaMapping& y);
