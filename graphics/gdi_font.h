// GdiFont: draws UTF-8 text into a Bitmap with a Windows GDI font, either
// through GDI's own DrawText (destinations with a device context) or by
// rendering each glyph once into a coverage mask and compositing the masks
// with the blend rules. Windows build only; the GDI handles are opaque here.
// Fonts and the two process-wide scratch bitmaps are used from the editor's
// window thread only. [editor thread]
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/bitmap_rect.h"
#include "graphics/blend_mode.h"

struct HFONT__;
using NativeFont = HFONT__*;

// Font flags.
constexpr int32_t kFontVertical = 0x1;
constexpr int32_t kFontVerticalUpwards = 0x2;
constexpr int32_t kFontPrerenderAscii = 0x4;
constexpr int32_t kFontBlurred = 0x10;
constexpr int32_t kFontInverted = 0x20;
constexpr int32_t kFontMonochrome = 0x40;
constexpr int32_t kFontShadow = 0x80;
constexpr int32_t kFontOutline = 0x100;
constexpr int32_t kFontOwnsHandle = 0x200;
constexpr int32_t kFontPrefersGdi = 0x400;

// Draw flags (the values of GDI's DT_ flags, plus two of our own).
constexpr uint32_t kTextCentre = 0x1;
constexpr uint32_t kTextRight = 0x2;
constexpr uint32_t kTextVCentre = 0x4;
constexpr uint32_t kTextBottom = 0x8;
constexpr uint32_t kTextSingleLine = 0x20;
constexpr uint32_t kTextNoClip = 0x100;
constexpr uint32_t kTextMeasureOnly = 0x400;
constexpr uint32_t kTextUseColourAlpha = 0x40000000;
constexpr uint32_t kTextForceGlyphs = 0x80000000;

class GdiFont {
 public:
  GdiFont();
  virtual ~GdiFont();
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  // Takes the font (owned with kFontOwnsHandle) and forgets all glyphs.
  virtual void SetFromHFont(NativeFont font, int32_t flags);
  // Each setter returns the previous value.
  virtual Pixel SetTextColour(Pixel colour);
  virtual Pixel SetBackgroundColour(Pixel colour);
  virtual Pixel SetEffectColour(Pixel colour);
  // 1 transparent, 2 opaque (GDI's SetBkMode values).
  virtual int32_t SetBackgroundMode(int32_t mode);
  virtual void SetCombine(BlendMode mode, float alpha);
  // Draws text (length -1: up to the NUL) in rect by the draw flags and
  // returns the height of the drawn text (width for vertical fonts). With
  // kTextMeasureOnly nothing is drawn and rect's right and bottom are set to
  // the text's extent; dest may then be null.
  virtual int32_t DrawString(Bitmap* dest, const char* text, int32_t length, BitmapRect* rect,
                             uint32_t drawFlags);
  virtual Pixel GetTextColour() const { return textColour_; }
  virtual NativeFont GetFont() const { return font_; }
  virtual int32_t GetLineHeight() const { return lineHeight_; }
  // Draws one glyph with its pen position at (x, y), limited to clip.
  virtual bool DrawGlyph(Bitmap* dest, uint32_t code, int32_t x, int32_t y,
                         const BitmapRect& clip);

  void SetLineSpacing(int32_t spacing) { lineSpacing_ = spacing; }

 private:
  struct Glyph {
    int32_t maskOffset;  // offset in glyphPixels_ plus 1; 0 not rendered, -1 renders nothing
    int32_t width;
    int32_t height;
    int32_t advance;
    uint16_t code;
    int32_t xOffset;  // mask left edge relative to the pen
  };

  bool UsesGdiPath(const char* text, int32_t length, uint32_t drawFlags) const;
  int32_t DrawWithGdi(Bitmap* dest, const char* text, int32_t length, BitmapRect* rect,
                      uint32_t drawFlags);
  int32_t DrawWithGlyphs(Bitmap* dest, const char* text, int32_t length, BitmapRect* rect,
                         uint32_t drawFlags);
  Glyph* FindGlyph(uint32_t code, bool mayAdd);
  Glyph* GlyphFor(uint32_t code);
  bool RenderGlyph(Glyph& glyph);
  void ClearGlyphs();

  Pixel textColour_ = 0;
  Pixel backgroundColour_ = 0xFFFFFFFF;
  Pixel effectColour_ = 0xFFFFFFFF;
  int32_t backgroundMode_ = 1;
  BlendMode combineMode_ = 0;
  float alpha_ = 1.0f;
  int32_t flags_ = 0;
  int32_t lineHeight_ = 0;
  int32_t lineSpacing_ = 0;
  Glyph asciiGlyphs_[128] = {};
  std::vector<uint8_t> glyphPixels_;
  std::vector<Glyph> otherGlyphs_;
  NativeFont font_ = nullptr;
};
