#include "graphics/blend_rules.h"

namespace blend {

constexpr int32_t kHueSteps = 384;

Pixel HsvAdjust::Apply(Pixel d, const SampleRgba& s, int32_t w) {
  int32_t r = PixelRed(d);
  int32_t g = PixelGreen(d);
  int32_t b = PixelBlue(d);
  int32_t maximum = r > g ? (r > b ? r : b) : (g > b ? g : b);
  int32_t minimum = r < g ? (r < b ? r : b) : (g < b ? g : b);
  int32_t spread = maximum - minimum;

  // Hue base and numerator per sector; 64 hue steps per sector.
  int32_t base;
  int32_t numerator;
  if (r < g) {
    if (b < g) {
      base = 128;
      numerator = b - r;
    } else {
      base = 256;
      numerator = r - g;
    }
  } else if (b < r) {
    if (g < b) {
      base = 383;
      numerator = g - b;
    } else {
      base = 0;
      numerator = g - b;
    }
  } else {
    base = 256;
    numerator = r - g;
  }
  int32_t hue = base + numerator * (kReciprocalTable[static_cast<size_t>(spread)] + 1) / 1024;
  hue += w * (s.r + s.r / 2 - 192) / 256;
  if (hue < 0) {
    hue += kHueSteps;
  } else if (hue >= kHueSteps) {
    hue -= kHueSteps;
  }
  int32_t sat = Clamp255(spread * kReciprocalTable[static_cast<size_t>(maximum)] / 256 + w * (s.g - 128) / 128);
  int32_t val = Clamp255(maximum + w * (s.b - 128) / 128);

  int32_t low = val * (256 - sat) / 256;
  auto ramp = [val, sat](int32_t x) { return val * (16384 - sat * x) / 16384; };
  int32_t outR;
  int32_t outG;
  int32_t outB;
  if (hue < 64) {
    outR = val, outG = ramp(64 - hue), outB = low;
  } else if (hue < 128) {
    outR = ramp(hue - 64), outG = val, outB = low;
  } else if (hue < 192) {
    outR = low, outG = val, outB = ramp(192 - hue);
  } else if (hue < 256) {
    outR = low, outG = ramp(hue - 192), outB = val;
  } else if (hue < 320) {
    outR = ramp(320 - hue), outG = low, outB = val;
  } else {
    outR = val, outG = low, outB = ramp(hue - 320);
  }
  return Pack(s.a, outR, outG, outB);
}

int32_t WeightFromAlpha(float alpha) {
  if (!(alpha > -1.0f)) return alpha == alpha ? -256 : 0;
  if (alpha > 1.0f) return 256;
  return static_cast<int32_t>(alpha * 256.0f);
}

int32_t RoundedWeightFromAlpha(float alpha) {
  if (!(alpha > -1.0f)) return alpha == alpha ? -256 : 0;
  if (alpha > 1.0f) return 256;
  double scaled = static_cast<double>(alpha) * 256.0;
  return scaled >= 0 ? static_cast<int32_t>(scaled + 0.5) : static_cast<int32_t>(scaled - 0.5);
}

}  // namespace blend
