#include "gui/image_scaling.h"

#include "graphics/area_downscale.h"
#include "graphics/memory_bitmap.h"
#include "gui/editor_scale.h"

int32_t ScaledImageLength(int32_t length, int32_t percent, bool even) {
  return even ? 2 * ScaleCoordinate(length / 2, percent) : ScaleCoordinate(length, percent);
}

Bitmap* ScaleLargeImage(Bitmap* large, int32_t width, int32_t height, const ImageScaling& scaling,
                        int32_t percent) {
  if (!large || width <= 0 || height <= 0 || percent >= kLargeArtworkSize) return nullptr;
  const int32_t frames = scaling.framesX > 0 ? scaling.framesX : 1;
  const int32_t frameWidth = width / frames;
  AreaMapping x;
  AreaMapping y;
  int32_t destFrameWidth;
  int32_t destHeight;
  if (scaling.kind == ImageScaling::kAnchored) {
    destFrameWidth = ScaleCoordinate(scaling.originX + frameWidth, percent) -
                     ScaleCoordinate(scaling.originX, percent);
    destHeight = ScaleCoordinate(scaling.originY + height, percent) -
                 ScaleCoordinate(scaling.originY, percent);
    x = AnchoredMapping(kLargeArtworkSize, percent, scaling.originX, frames);
    y = AnchoredMapping(kLargeArtworkSize, percent, scaling.originY, 1);
  } else {
    const bool even = scaling.kind == ImageScaling::kFitEven;
    destFrameWidth = ScaledImageLength(frameWidth, percent, even);
    destHeight = ScaledImageLength(height, percent, even);
    x = FitMapping(large->GetWidth() / frames, destFrameWidth, frames);
    y = FitMapping(large->GetHeight(), destHeight, 1);
  }
  auto* scaled = new MemoryBitmap(destFrameWidth * frames, destHeight, 4);
  if (!AreaDownscale(scaled, large, x, y)) {
    delete scaled;
    return nullptr;
  }
  return scaled;
}
