#include <windows.h>

#include <algorithm>
#include <cstring>

#include "graphics/blend_rules.h"
#include "graphics/blit.h"
#include "graphics/blur.h"
#include "graphics/font_scratch.h"
#include "graphics/gdi_font.h"
#include "graphics/system_bitmap.h"
#include "graphics/utf8_text.h"

namespace {

constexpr uint32_t kAlignmentFlags = kTextCentre | kTextRight | kTextVCentre | kTextBottom;
constexpr uint8_t kFull = 255;
constexpr uint8_t kEffect = 128;

using GlyphPixelFunction = Pixel (*)(Pixel d, const SampleRgba& s, int32_t w);

template <class Rule>
Pixel ApplyRule(Pixel d, const SampleRgba& s, int32_t w) {
  return Rule::Apply(d, s, w);
}

GlyphPixelFunction RuleFor(BlendMode mode) {
  switch (mode & kBlendRuleMask) {
    case kBlendAdd: return ApplyRule<blend::Add>;
    case kBlendDodge: return ApplyRule<blend::Dodge>;
    case kBlendMultiply: return ApplyRule<blend::Multiply>;
    case kBlendOverlay: return ApplyRule<blend::Overlay>;
    case kBlendHsvAdjust: return ApplyRule<blend::HsvAdjust>;
    default: return ApplyRule<blend::Copy>;
  }
}

// Turns a width x height mask by 90 degrees: clockwise for text running
// down the page, the other way for text running up.
std::vector<uint8_t> TurnMask(const uint8_t* mask, int32_t width, int32_t height, bool upwards) {
  std::vector<uint8_t> turned(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      // Turned size is height x width.
      int32_t tx = upwards ? y : height - 1 - y;
      int32_t ty = upwards ? width - 1 - x : x;
      turned[static_cast<size_t>(ty) * static_cast<size_t>(height) + static_cast<size_t>(tx)] =
          mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
  }
  return turned;
}

// Monochrome masks: full above 130, else empty; then the shadow (down and
// right of full pixels) or the outline (beside full pixels) at 128.
void MakeMonochrome(uint8_t* mask, int32_t width, int32_t height, int32_t flags) {
  for (int32_t i = 0; i < width * height; ++i) mask[i] = mask[i] > 130 ? kFull : 0;
  bool shadow = (flags & kFontShadow) != 0;
  bool outline = !shadow && (flags & kFontOutline) != 0;
  if (!shadow && !outline) return;
  std::vector<uint8_t> solid(mask, mask + width * height);
  auto full = [&](int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           solid[static_cast<size_t>(y * width + x)] == kFull;
  };
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      if (full(x, y)) continue;
      bool marked = shadow ? (full(x - 1, y) || full(x - 1, y - 1) || full(x, y - 1))
                           : (full(x - 1, y) || full(x + 1, y) || full(x, y - 1) || full(x, y + 1));
      if (marked) mask[y * width + x] = kEffect;
    }
  }
}

}  // namespace

void GdiFont::ClearGlyphs() {
  std::memset(asciiGlyphs_, 0, sizeof asciiGlyphs_);
  for (uint32_t code = 0; code < 128; ++code) asciiGlyphs_[code].code = static_cast<uint16_t>(code);
  glyphPixels_.clear();
  otherGlyphs_.clear();
}

GdiFont::Glyph* GdiFont::FindGlyph(uint32_t code, bool mayAdd) {
  if (code > 0xFFFF) return nullptr;
  if (code < 128) return &asciiGlyphs_[code];
  auto byCode = [](const Glyph& glyph, uint32_t c) { return glyph.code < c; };
  auto at = std::lower_bound(otherGlyphs_.begin(), otherGlyphs_.end(), code, byCode);
  if (at != otherGlyphs_.end() && at->code == code) return &*at;
  if (!mayAdd) return nullptr;
  Glyph fresh = {};
  fresh.code = static_cast<uint16_t>(code);
  // Inserted in place, so the array stays sorted by code.
  return &*otherGlyphs_.insert(at, fresh);
}

GdiFont::Glyph* GdiFont::GlyphFor(uint32_t code) {
  Glyph* glyph = FindGlyph(code, (flags_ & kFontPrerenderAscii) == 0);
  if (glyph == nullptr) return nullptr;
  if (glyph->maskOffset == 0 && !RenderGlyph(*glyph)) return nullptr;
  return glyph;
}

bool GdiFont::RenderGlyph(Glyph& glyph) {
  if (font_ == nullptr || lineHeight_ > 1023) return false;
  int32_t cell = lineHeight_ > 1 ? lineHeight_ : 1;
  SystemBitmap* scratch = GlyphScratch(2 * cell + 8);
  if (scratch == nullptr) return false;
  int32_t margin = lineHeight_ < 16 ? 0 : lineHeight_ / 16;
  int32_t inset = margin + 2;
  HDC dc = scratch->GetDeviceContext();
  HGDIOBJ previous = SelectObject(dc, font_);
  wchar_t character = static_cast<wchar_t>(glyph.code);
  RECT measured = {0, 0, 0, 0};
  DrawTextW(dc, &character, 1, &measured, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
  int32_t advance = measured.right - measured.left;
  int32_t height = measured.bottom - measured.top;
  if (advance < 1 || height < 1) {
    SelectObject(dc, previous);
    glyph.maskOffset = -1;
    return true;
  }
  int32_t boxWidth = std::min(advance + 2 * margin + 4, scratch->GetWidth());
  height = std::min(height, scratch->GetHeight());
  FillRect(scratch, 0, 0, boxWidth, height, 0xFF000000u, 1.0f, kBlendCopy);
  RECT place = {inset, 0, inset + advance, height};
  DrawTextW(dc, &character, 1, &place, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  SelectObject(dc, previous);
  GdiFlush();
  if ((flags_ & kFontBlurred) != 0) Blur(scratch, scratch, 0, 0, 0, 0, boxWidth, height);

  Pixel* bits = scratch->GetBits();
  int32_t span = scratch->GetRowSpan();
  bool invert = (flags_ & kFontInverted) != 0;
  auto coverage = [&](int32_t x, int32_t y) {
    int32_t red = PixelRed(bits[static_cast<intptr_t>(y) * span + x]);
    return static_cast<uint8_t>(invert ? 255 - red : red);
  };
  int32_t firstInked = inset;
  int32_t lastInked = -1;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < boxWidth; ++x) {
      if (coverage(x, y) == 0) continue;
      firstInked = std::min(firstInked, x);
      lastInked = std::max(lastInked, x);
    }
  }
  int32_t end = std::min(std::max(inset + advance, lastInked + 1), boxWidth);
  int32_t width = end - firstInked;
  std::vector<uint8_t> mask(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) mask[static_cast<size_t>(y * width + x)] = coverage(firstInked + x, y);
  }
  if ((flags_ & kFontVertical) != 0) {
    mask = TurnMask(mask.data(), width, height, (flags_ & kFontVerticalUpwards) != 0);
    std::swap(width, height);
  }
  if ((flags_ & (kFontMonochrome | kFontShadow | kFontOutline)) != 0) {
    MakeMonochrome(mask.data(), width, height, flags_);
  }
  glyph.maskOffset = static_cast<int32_t>(glyphPixels_.size()) + 1;
  glyph.width = width;
  glyph.height = height;
  glyph.advance = advance;
  glyph.xOffset = inset - firstInked;
  glyphPixels_.insert(glyphPixels_.end(), mask.begin(), mask.end());
  return true;
}

int32_t GdiFont::DrawWithGlyphs(Bitmap* dest, const char* text, int32_t length, BitmapRect* rect,
                                uint32_t drawFlags) {
  bool measureOnly = (drawFlags & kTextMeasureOnly) != 0;
  // GDI may still hold drawing for a DIB destination; finish it before the
  // pixels are touched directly.
  if (!measureOnly && dest->GetDeviceContext() != nullptr) GdiFlush();
  float savedAlpha = alpha_;
  if ((drawFlags & kTextUseColourAlpha) != 0) {
    alpha_ *= static_cast<float>(PixelAlpha(textColour_)) / 255.0f;
  }
  if (alpha_ == 0.0f) {
    alpha_ = savedAlpha;
    return 0;
  }
  bool vertical = (flags_ & kFontVertical) != 0;
  bool upwards = vertical && (flags_ & kFontVerticalUpwards) != 0;
  int32_t penX = rect->left;
  int32_t penY = rect->top;
  int32_t textWidth = 0;
  int32_t textHeight = 0;
  if (!measureOnly && (drawFlags & kAlignmentFlags) != 0) {
    BitmapRect extent = *rect;
    DrawWithGlyphs(nullptr, text, length, &extent, (drawFlags & ~kAlignmentFlags) | kTextMeasureOnly);
    textWidth = extent.right - extent.left;
    textHeight = extent.bottom - extent.top;
    if ((drawFlags & kTextCentre) != 0) penX += (rect->right - rect->left - textWidth) / 2;
    if ((drawFlags & kTextRight) != 0) penX = rect->right - textWidth;
    if ((drawFlags & kTextVCentre) != 0) penY += (rect->bottom - rect->top - textHeight) / 2;
    if ((drawFlags & kTextBottom) != 0) penY = rect->bottom - textHeight;
  }
  if (upwards) penY += textHeight;

  BitmapRect clip{0, 0, 0, 0};
  if (!measureOnly) {
    clip = BitmapRect{0, 0, dest->GetWidth(), dest->GetHeight()};
    if ((drawFlags & kTextNoClip) == 0) {
      clip.left = std::max(clip.left, rect->left);
      clip.top = std::max(clip.top, rect->top);
      clip.right = std::min(clip.right, rect->right);
      clip.bottom = std::min(clip.bottom, rect->bottom);
    }
    if (clip.right <= clip.left || clip.bottom <= clip.top) {
      alpha_ = savedAlpha;
      return 0;
    }
  }

  bool singleLine = (drawFlags & kTextSingleLine) != 0;
  int32_t lineStep = lineHeight_ + lineSpacing_;
  int32_t startX = penX;
  int32_t startY = penY;
  int32_t lines = 1;
  int32_t longest = 0;  // along the line, in pixels
  int32_t run = 0;
  for (int32_t i = 0; i < length;) {
    uint32_t code = NextCode(text, length, &i);
    if (code == '\r') continue;
    if (code == '\n') {
      if (!singleLine) {
        longest = std::max(longest, run);
        run = 0;
        ++lines;
        if (vertical) {
          penX = startX + (upwards ? 1 : -1) * (lines - 1) * lineStep;
          penY = startY;
        } else {
          penX = startX;
          penY = startY + (lines - 1) * lineStep;
        }
        continue;
      }
      code = ' ';
    }
    Glyph* glyph = GlyphFor(code);
    if (glyph == nullptr) continue;
    int32_t advance = glyph->advance;
    if (!measureOnly) DrawGlyph(dest, code, penX, penY, clip);
    run += advance;
    if (!vertical) {
      penX += advance;
    } else if (upwards) {
      penY -= advance;
    } else {
      penY += advance;
    }
  }
  longest = std::max(longest, run);
  alpha_ = savedAlpha;
  int32_t across = lines * lineHeight_ + (lines - 1) * lineSpacing_;
  int32_t extentX = vertical ? across : longest;
  int32_t extentY = vertical ? longest : across;
  if (measureOnly) {
    rect->right = rect->left + extentX;
    rect->bottom = rect->top + extentY;
  }
  return vertical ? extentX : extentY;
}

bool GdiFont::DrawGlyph(Bitmap* dest, uint32_t code, int32_t x, int32_t y, const BitmapRect& clip) {
  Glyph* glyph = GlyphFor(code);
  if (glyph == nullptr || glyph->maskOffset <= 0 || dest == nullptr) return false;
  BitmapView view = ViewOf(dest);
  if (view.Empty()) return false;
  bool vertical = (flags_ & kFontVertical) != 0;
  if (!vertical) {
    x -= glyph->xOffset;
  } else if ((flags_ & kFontVerticalUpwards) != 0) {
    y += glyph->xOffset - glyph->height;  // the turned cell ends at the pen
  } else {
    y -= glyph->xOffset;
  }
  int64_t left = std::max<int64_t>({x, clip.left, 0});
  int64_t top = std::max<int64_t>({y, clip.top, 0});
  int64_t right = std::min<int64_t>({static_cast<int64_t>(x) + glyph->width, clip.right, view.width});
  int64_t bottom =
      std::min<int64_t>({static_cast<int64_t>(y) + glyph->height, clip.bottom, view.height});
  if (left >= right || top >= bottom) return false;

  if (backgroundMode_ == OPAQUE) {
    FillRect(dest, static_cast<int32_t>(left), static_cast<int32_t>(top),
             static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top),
             backgroundColour_, alpha_, combineMode_ & ~kBlendSourceAlpha);
  }
  int32_t w = blend::WeightFromAlpha(alpha_);
  bool monochrome = (flags_ & (kFontMonochrome | kFontShadow | kFontOutline)) != 0;
  bool plainCopy = (combineMode_ & kBlendRuleMask) == kBlendCopy;
  GlyphPixelFunction rule = RuleFor(combineMode_);
  SampleRgba text{PixelBlue(textColour_), PixelGreen(textColour_), PixelRed(textColour_), 255};
  SampleRgba effect{PixelBlue(effectColour_), PixelGreen(effectColour_), PixelRed(effectColour_), 255};
  const uint8_t* mask = glyphPixels_.data() + (glyph->maskOffset - 1);
  int32_t solidWeight = std::min(w, 256);
  bool storeWord = monochrome && plainCopy && alpha_ == 1.0f;
  if (w <= 0 && !storeWord) return false;

  for (int64_t py = top; py < bottom; ++py) {
    const uint8_t* maskRow = mask + (py - y) * glyph->width - x;
    Pixel* row = view.Row(static_cast<int32_t>(py));
    for (int64_t px = left; px < right; ++px) {
      int32_t k = maskRow[px];
      if (k == 0) continue;
      if (monochrome) {
        const SampleRgba& colour = k == kFull ? text : effect;
        if (storeWord) {
          row[px] = k == kFull ? textColour_ : effectColour_;
        } else {
          row[px] = rule(row[px], colour, solidWeight);
        }
      } else {
        int32_t weight = w == 256 ? k + 1 : std::min(w * k / 256, 256);
        row[px] = rule(row[px], text, weight);
      }
    }
  }
  return true;
}
