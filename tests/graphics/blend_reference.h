// A slow reference of the blend rules written straight from their formulas,
// channel by channel, to check the library's row loops against.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/pixel.h"

namespace reference {

inline int Clamp(int v) { return std::min(255, std::max(0, v)); }
inline int Channel(Pixel p, int i) { return static_cast<int>((p >> (8 * i)) & 0xFF); }

// Channel i (0 blue .. 3 alpha) of rule r (1-4) with weight w.
inline int RuleChannel(int rule, int d, int s, int w) {
  switch (rule) {
    case 0: return s + (d - s) * (256 - w) / 256;
    case 1: return Clamp(d + s * w / 256);
    case 2: {
      int t = s * w / 256;
      return t > 254 ? Clamp(d * 256) : Clamp(d * 256 / (256 - t));
    }
    case 3: return (d * (s * w + (256 - w) * 256)) >> 16;
    default: {
      int t = (s - 128) * w;
      return Clamp((d * (t - t * d / 256 + 32768)) >> 15);
    }
  }
}

inline Pixel Compose(int c[4]) {
  Pixel out = 0;
  for (int i = 0; i < 4; ++i) out |= static_cast<Pixel>(c[i] & 0xFF) << (8 * i);
  return out;
}

// One blit pixel for rules 0-4, with or without the source-alpha flag.
inline Pixel BlitPixel(Pixel d, Pixel s, int rule, bool sourceAlpha, int w) {
  int sa = Channel(s, 3);
  int c[4];
  if (!sourceAlpha) {
    for (int i = 0; i < 4; ++i) c[i] = RuleChannel(rule, Channel(d, i), Channel(s, i), w);
    return Compose(c);
  }
  int k = w * (sa + 1) / 256;
  if (rule == 0) {
    if (sa == 0) return d;
    if (w == 256) {
      if (sa == 255) return (s & 0x00FFFFFFu) | 0xFF000000u;
      for (int i = 0; i < 3; ++i) c[i] = Channel(s, i) + (Channel(d, i) - Channel(s, i)) * (255 - sa) / 256;
      c[3] = std::min(Channel(d, 3) + sa, 255);
      return Compose(c);
    }
    for (int i = 0; i < 3; ++i) c[i] = Channel(s, i) + (Channel(d, i) - Channel(s, i)) * (256 - k) / 256;
    c[3] = std::min(Channel(d, 3) + k, 255);
    return Compose(c);
  }
  if ((rule == 1 || rule == 3) && sa == 0) return d;
  for (int i = 0; i < 4; ++i) c[i] = RuleChannel(rule, Channel(d, i), Channel(s, i), k);
  return Compose(c);
}

}  // namespace reference
