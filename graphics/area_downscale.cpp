#include "graphics/area_downscale.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "graphics/bitmap.h"

namespace {

// One source pixel's share of one destination pixel along an axis.
struct Tap {
  int32_t source;
  int64_t weight;
};

// The taps of every destination pixel of an axis, in destination order:
// destination pixel i uses taps[first[i] .. first[i + 1]).
struct AxisTaps {
  std::vector<Tap> taps;
  std::vector<int32_t> first;
  int32_t widest = 0;
};

bool Valid(const AreaMapping& m) { return m.unit > 0 && m.step > 0 && m.frames > 0; }

AxisTaps BuildTaps(const AreaMapping& m, int32_t sourceLength, int32_t destLength) {
  AxisTaps axis;
  const int32_t sourceFrame = sourceLength / m.frames;
  const int32_t destFrame = destLength / m.frames;
  const int64_t frameEnd = int64_t{sourceFrame} * m.unit;
  for (int32_t f = 0; f < m.frames; ++f) {
    for (int32_t i = 0; i < destFrame; ++i) {
      axis.first.push_back(static_cast<int32_t>(axis.taps.size()));
      // The area, limited to its frame.
      const int64_t begin = std::max<int64_t>(int64_t{i} * m.step + m.shift, 0);
      const int64_t end = std::min<int64_t>(int64_t{i + 1} * m.step + m.shift, frameEnd);
      if (begin >= end) continue;
      const size_t before = axis.taps.size();
      for (int64_t k = begin / m.unit; k * m.unit < end; ++k) {
        const int64_t overlap = std::min(end, (k + 1) * m.unit) - std::max(begin, k * m.unit);
        axis.taps.push_back(Tap{static_cast<int32_t>(f * sourceFrame + k), overlap});
      }
      axis.widest = std::max(axis.widest, static_cast<int32_t>(axis.taps.size() - before));
    }
  }
  axis.first.push_back(static_cast<int32_t>(axis.taps.size()));
  return axis;
}

// Weighted sums over an area: alpha-weighted colour, alpha, plain colour and
// the weight itself.
struct Sums {
  int64_t alphaColour[3] = {0, 0, 0};  // red, green, blue
  int64_t alpha = 0;
  int64_t colour[3] = {0, 0, 0};
  int64_t weight = 0;

  void Add(Pixel p, int64_t w) {
    const int64_t a = PixelAlpha(p);
    const int64_t c[3] = {PixelRed(p), PixelGreen(p), PixelBlue(p)};
    for (int i = 0; i < 3; ++i) {
      alphaColour[i] += w * a * c[i];
      colour[i] += w * c[i];
    }
    alpha += w * a;
    weight += w;
  }
  void AddScaled(const Sums& s, int64_t w) {
    for (int i = 0; i < 3; ++i) {
      alphaColour[i] += w * s.alphaColour[i];
      colour[i] += w * s.colour[i];
    }
    alpha += w * s.alpha;
    weight += w * s.weight;
  }
};

// c = Σw·a·c / Σw·a (Σw·c / Σw where the area is transparent); a = Σw·a / Σw,
// each rounded to nearest.
Pixel Average(const Sums& s) {
  if (s.weight == 0) return 0;
  int32_t c[3];
  for (int i = 0; i < 3; ++i) {
    c[i] = s.alpha > 0 ? static_cast<int32_t>((s.alphaColour[i] + s.alpha / 2) / s.alpha)
                       : static_cast<int32_t>((s.colour[i] + s.weight / 2) / s.weight);
  }
  const auto a = static_cast<int32_t>((s.alpha + s.weight / 2) / s.weight);
  return MakePixel(a, c[0], c[1], c[2]);
}

}  // namespace

AreaMapping FitMapping(int32_t sourceFrameLength, int32_t destFrameLength, int32_t frames) {
  const int32_t common = std::gcd(sourceFrameLength, destFrameLength);
  if (common == 0) return AreaMapping{1, 1, 0, frames};
  return AreaMapping{destFrameLength / common, sourceFrameLength / common, 0, frames};
}

AreaMapping AnchoredMapping(int32_t fromPercent, int32_t toPercent, int32_t origin,
                            int32_t frames) {
  if (fromPercent <= 0 || toPercent <= 0) return AreaMapping{0, 0, 0, frames};
  // Units of 1 / (100 * toPercent) source pixels: a destination pixel is
  // 100 * fromPercent of them. The destination grid starts at the editor's
  // pixel round(origin * to / 100), the source at origin * from / 100.
  const int64_t scaled = int64_t{origin} * toPercent + 50;
  const int64_t destOrigin = scaled / 100 - (scaled % 100 < 0 ? 1 : 0);  // halves upwards
  int64_t unit = int64_t{100} * toPercent;
  int64_t step = int64_t{100} * fromPercent;
  int64_t shift = destOrigin * step - int64_t{origin} * fromPercent * toPercent;
  const int64_t common = std::gcd(std::gcd(unit, step), shift);
  unit /= common;
  step /= common;
  shift /= common;
  return AreaMapping{static_cast<int32_t>(unit), static_cast<int32_t>(step),
                     static_cast<int32_t>(shift), frames};
}

bool AreaDownscale(Bitmap* dest, Bitmap* src, const AreaMapping& x, const AreaMapping& y) {
  if (dest == src || !Valid(x) || !Valid(y)) return false;
  const BitmapView to = ViewOf(dest);
  const BitmapView from = ViewOf(src);
  if (to.Empty() || from.Empty()) return false;
  if (from.width < x.frames || from.height < y.frames) return false;
  if (to.width < x.frames || to.height < y.frames) return false;

  const AxisTaps columns = BuildTaps(x, from.width, to.width);
  const AxisTaps rows = BuildTaps(y, from.height, to.height);
  const int32_t outWidth = static_cast<int32_t>(columns.first.size()) - 1;
  const int32_t outHeight = static_cast<int32_t>(rows.first.size()) - 1;

  // Separable: each source row is reduced along x once into a cached line of
  // sums, then lines are summed along y. A destination row shares at most one
  // source row with the next, so a ring one longer than the widest column of
  // taps never evicts a line still in use.
  const int32_t slots = rows.widest + 1;
  std::vector<Sums> lines(static_cast<size_t>(slots) * static_cast<size_t>(outWidth));
  std::vector<int32_t> lineRow(static_cast<size_t>(slots), -1);
  std::vector<Sums> out(static_cast<size_t>(outWidth));

  for (int32_t oy = 0; oy < outHeight; ++oy) {
    std::fill(out.begin(), out.end(), Sums{});
    for (int32_t t = rows.first[oy]; t < rows.first[oy + 1]; ++t) {
      const Tap& rowTap = rows.taps[static_cast<size_t>(t)];
      const int32_t slot = rowTap.source % slots;
      Sums* line = &lines[static_cast<size_t>(slot) * static_cast<size_t>(outWidth)];
      if (lineRow[static_cast<size_t>(slot)] != rowTap.source) {
        const Pixel* sourceRow = from.Row(rowTap.source);
        for (int32_t ox = 0; ox < outWidth; ++ox) {
          Sums s;
          for (int32_t c = columns.first[ox]; c < columns.first[ox + 1]; ++c) {
            const Tap& columnTap = columns.taps[static_cast<size_t>(c)];
            s.Add(sourceRow[columnTap.source], columnTap.weight);
          }
          line[ox] = s;
        }
        lineRow[static_cast<size_t>(slot)] = rowTap.source;
      }
      for (int32_t ox = 0; ox < outWidth; ++ox)
        out[static_cast<size_t>(ox)].AddScaled(line[ox], rowTap.weight);
    }
    Pixel* destRow = to.Row(oy);
    for (int32_t ox = 0; ox < outWidth; ++ox) destRow[ox] = Average(out[static_cast<size_t>(ox)]);
  }
  return true;
}
