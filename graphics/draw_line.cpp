#include "graphics/draw_line.h"

#include <cstdlib>
#include <utility>

#include "graphics/blend_rules.h"
#include "graphics/rotated_blit.h"

namespace {

enum Outcode { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

int OutcodeOf(double x, double y, double maxX, double maxY) {
  int code = 0;
  if (x < 0) {
    code |= kLeft;
  } else if (x > maxX) {
    code |= kRight;
  }
  if (y < 0) {
    code |= kTop;
  } else if (y > maxY) {
    code |= kBottom;
  }
  return code;
}

// Cohen-Sutherland against 0..maxX, 0..maxY (inclusive); false when the
// segment lies wholly outside.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double maxX, double maxY) {
  int code1 = OutcodeOf(x1, y1, maxX, maxY);
  int code2 = OutcodeOf(x2, y2, maxX, maxY);
  for (int pass = 0; pass < 33; ++pass) {
    if ((code1 | code2) == 0) return true;
    if ((code1 & code2) != 0) return false;
    int outside = code1 != 0 ? code1 : code2;
    double x;
    double y;
    if (outside & kBottom) {
      x = x1 + (x2 - x1) * (maxY - y1) / (y2 - y1);
      y = maxY;
    } else if (outside & kTop) {
      x = x1 + (x2 - x1) * (0 - y1) / (y2 - y1);
      y = 0;
    } else if (outside & kRight) {
      y = y1 + (y2 - y1) * (maxX - x1) / (x2 - x1);
      x = maxX;
    } else {
      y = y1 + (y2 - y1) * (0 - x1) / (x2 - x1);
      x = 0;
    }
    x = static_cast<double>(static_cast<int64_t>(x));
    y = static_cast<double>(static_cast<int64_t>(y));
    if (outside == code1) {
      x1 = x, y1 = y;
      code1 = OutcodeOf(x1, y1, maxX, maxY);
    } else {
      x2 = x, y2 = y;
      code2 = OutcodeOf(x2, y2, maxX, maxY);
    }
  }
  return false;
}

// Mode 0 at the exact quarter alphas, on whole words.
// d = c
void StoreColour(Pixel* d, const SampleRgba& c, int32_t /*w*/) {
  *d = MakePixel(c.a, c.r, c.g, c.b);
}
// d = c/2 + d/2
void HalfWord(Pixel* d, const SampleRgba& c, int32_t /*w*/) {
  Pixel colour = MakePixel(c.a, c.r, c.g, c.b);
  *d = ((colour >> 1) & 0x7F7F7F7Fu) + ((*d >> 1) & 0x7F7F7F7Fu);
}
// d = d/2 + d/4 + c/4
void QuarterWord(Pixel* d, const SampleRgba& c, int32_t /*w*/) {
  Pixel colour = MakePixel(c.a, c.r, c.g, c.b);
  *d = ((*d >> 1) & 0x7F7F7F7Fu) + ((*d >> 2) & 0x3F3F3F3Fu) + ((colour >> 2) & 0x3F3F3F3Fu);
}
// d = c/2 + c/4 + d/4
void ThreeQuarterWord(Pixel* d, const SampleRgba& c, int32_t /*w*/) {
  Pixel colour = MakePixel(c.a, c.r, c.g, c.b);
  *d = ((colour >> 1) & 0x7F7F7F7Fu) + ((colour >> 2) & 0x3F3F3F3Fu) + ((*d >> 2) & 0x3F3F3F3Fu);
}
// d = (d + c) >> 1, each channel
void AverageChannels(Pixel* d, const SampleRgba& c, int32_t /*w*/) {
  *d = MakePixel((PixelAlpha(*d) + c.a) >> 1, (PixelRed(*d) + c.r) >> 1,
                 (PixelGreen(*d) + c.g) >> 1, (PixelBlue(*d) + c.b) >> 1);
}
template <class Rule>
void ApplyRule(Pixel* d, const SampleRgba& c, int32_t w) {
  *d = Rule::Apply(*d, c, w);
}

PixelFunction RuleFunction(uint32_t rule) {
  switch (rule) {
    case kBlendCopy: return ApplyRule<blend::Copy>;
    case kBlendAdd: return ApplyRule<blend::Add>;
    case kBlendDodge: return ApplyRule<blend::Dodge>;
    case kBlendMultiply: return ApplyRule<blend::Multiply>;
    case kBlendOverlay: return ApplyRule<blend::Overlay>;
    case kBlendHsvAdjust: return ApplyRule<blend::HsvAdjust>;
    default: return nullptr;
  }
}

// The plotter of a solid (not anti-aliased) pixel for mode and alpha.
PixelFunction SolidFunction(uint32_t rule, float alpha, int32_t w) {
  if (rule == kBlendCopy) {
    if (alpha == 1.0f) return StoreColour;
    if (alpha == 0.5f) return HalfWord;
    if (alpha == 0.25f) return QuarterWord;
    if (alpha == 0.75f) return ThreeQuarterWord;
    if (w <= 0) return nullptr;
    if (w == 256) return StoreColour;
    if (w == 128) return AverageChannels;
  }
  return RuleFunction(rule);
}

struct Plotter {
  BitmapView view;
  SampleRgba colour;
  Pixel* At(int32_t x, int32_t y) const { return view.Row(y) + x; }
  bool Inside(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < view.width && y < view.height;
  }
};

void DrawDiagonal(const Plotter& plot, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  uint32_t rule, float alpha, int32_t w, bool antiAlias) {
  int32_t stepX = x2 >= x1 ? 1 : -1;
  int32_t stepY = y2 >= y1 ? 1 : -1;
  int32_t count = std::abs(x2 - x1);
  if (!antiAlias) {
    PixelFunction solid = SolidFunction(rule, alpha, w);
    if (solid == nullptr) return;
    for (int32_t i = 0; i <= count; ++i) {
      solid(plot.At(x1 + i * stepX, y1 + i * stepY), plot.colour, w);
    }
    return;
  }
  // Three quarters on the line, a quarter on the two pixels beside each
  // step, so the staircase reads as a smooth edge.
  PixelFunction onLine;
  PixelFunction beside;
  int32_t lineWeight = w * 3 / 4;
  int32_t besideWeight = w / 4;
  if (rule == kBlendCopy && alpha == 1.0f) {
    onLine = ThreeQuarterWord;
    beside = QuarterWord;
  } else {
    onLine = beside = RuleFunction(rule);
    if (onLine == nullptr || (rule == kBlendCopy && w <= 0)) return;
  }
  for (int32_t i = 0; i <= count; ++i) {
    int32_t x = x1 + i * stepX;
    int32_t y = y1 + i * stepY;
    onLine(plot.At(x, y), plot.colour, lineWeight);
    if (i == count) break;
    if (plot.Inside(x + stepX, y)) beside(plot.At(x + stepX, y), plot.colour, besideWeight);
    if (plot.Inside(x, y + stepY)) beside(plot.At(x, y + stepY), plot.colour, besideWeight);
  }
}

// Any other slope: walk the major axis from both ends towards the middle so
// the line is the same drawn in either direction.
void DrawSlope(const Plotter& plot, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rule,
               float alpha, int32_t w, bool antiAlias) {
  int32_t dx = x2 - x1;
  int32_t dy = y2 - y1;
  bool xMajor = std::abs(dx) >= std::abs(dy);
  int32_t major = xMajor ? std::abs(dx) : std::abs(dy);
  int32_t minor = xMajor ? std::abs(dy) : std::abs(dx);
  int32_t majorStep = (xMajor ? dx : dy) >= 0 ? 1 : -1;
  int32_t minorStep = (xMajor ? dy : dx) >= 0 ? 1 : -1;
  uint32_t slope = static_cast<uint32_t>((static_cast<int64_t>(minor) << 16) / major);
  auto point = [&](bool fromStart, int32_t along, int32_t across) {
    int32_t sign = fromStart ? 1 : -1;
    int32_t a = (fromStart ? (xMajor ? x1 : y1) : (xMajor ? x2 : y2)) + sign * along * majorStep;
    int32_t b = (fromStart ? (xMajor ? y1 : x1) : (xMajor ? y2 : x2)) + sign * across * minorStep;
    return xMajor ? plot.At(a, b) : plot.At(b, a);
  };
  int32_t stepsFromEach = (major + 1) / 2;
  // With an even major length one pixel lies exactly halfway; it is placed
  // from absolute coordinates so that both directions choose the same one.
  bool middlePixel = major % 2 == 0;
  auto middle = [&](int32_t extra) {
    int32_t a = ((xMajor ? x1 : y1) + (xMajor ? x2 : y2)) / 2;
    int32_t b = ((xMajor ? y1 : x1) + (xMajor ? y2 : x2)) >> 1;
    b += extra;
    return xMajor ? plot.At(a, b) : plot.At(b, a);
  };

  if (!antiAlias) {
    PixelFunction solid = SolidFunction(rule, alpha, w);
    if (solid == nullptr) return;
    uint32_t accumulator = 0;
    for (int32_t i = 0; i < stepsFromEach; ++i, accumulator += slope) {
      int32_t across = static_cast<int32_t>((accumulator + 0x8000) >> 16);
      solid(point(true, i, across), plot.colour, w);
      solid(point(false, i, across), plot.colour, w);
    }
    if (middlePixel) solid(middle(0), plot.colour, w);
    return;
  }
  PixelFunction rulePixel = RuleFunction(rule);
  if (rulePixel == nullptr || (rule == kBlendCopy && w <= 0)) return;
  // Coverage 0-255 as a weight up to 256, scaled by the alpha's weight.
  auto weightOf = [w](int32_t coverage) { return w >= 256 ? coverage + 1 : (coverage + 1) * w / 256; };
  auto plotPair = [&](bool fromStart, int32_t i, uint32_t accumulator) {
    int32_t across = static_cast<int32_t>(accumulator >> 16);
    int32_t fraction = static_cast<int32_t>((accumulator >> 8) & 0xFF);
    rulePixel(point(fromStart, i, across), plot.colour, weightOf(255 - fraction));
    if (fraction != 0) rulePixel(point(fromStart, i, across + 1), plot.colour, weightOf(fraction));
  };
  uint32_t accumulator = 0;
  for (int32_t i = 0; i < stepsFromEach; ++i, accumulator += slope) {
    plotPair(true, i, accumulator);
    plotPair(false, i, accumulator);
  }
  if (middlePixel) {
    // Halfway across a pixel boundary: split evenly in either direction.
    bool split = minor % 2 != 0;
    rulePixel(middle(0), plot.colour, weightOf(split ? 127 : 255));
    if (split) rulePixel(middle(1), plot.colour, weightOf(127));
  }
}

}  // namespace

void DrawLine(Bitmap* dest, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Pixel color,
              float alpha, BlendMode mode, bool antiAlias) {
  if (dest == nullptr) return;
  Plotter plot{ViewOf(dest), UnpackPixel(color)};
  if (plot.view.Empty()) return;
  // One direction of every segment, so that clipping (which truncates its
  // intersections) gives the same pixels whichever end is given first.
  if (x2 < x1 || (x2 == x1 && y2 < y1)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  double ax = x1;
  double ay = y1;
  double bx = x2;
  double by = y2;
  if (!ClipSegment(ax, ay, bx, by, plot.view.width - 1, plot.view.height - 1)) return;
  x1 = static_cast<int32_t>(ax);
  y1 = static_cast<int32_t>(ay);
  x2 = static_cast<int32_t>(bx);
  y2 = static_cast<int32_t>(by);
  uint32_t rule = mode & kBlendRuleMask;
  int32_t w = blend::WeightFromAlpha(alpha);
  if (alpha == 0.0f || rule > kBlendHsvAdjust) return;

  if (y1 == y2 || x1 == x2) {
    PixelFunction solid = SolidFunction(rule, alpha, w);
    if (solid == nullptr) return;
    int32_t stepX = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
    int32_t stepY = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
    int32_t count = std::abs(x2 - x1) + std::abs(y2 - y1);
    for (int32_t i = 0; i <= count; ++i) solid(plot.At(x1 + i * stepX, y1 + i * stepY), plot.colour, w);
    return;
  }
  if (std::abs(x2 - x1) == std::abs(y2 - y1)) {
    DrawDiagonal(plot, x1, y1, x2, y2, rule, alpha, w, antiAlias);
    return;
  }
  DrawSlope(plot, x1, y1, x2, y2, rule, alpha, w, antiAlias);
}
