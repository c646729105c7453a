// FreeTypeFont: the native build's text, drawn with FreeType from a font file
// fontconfig picks, with the same draw flags as the Windows glyph path
// (alignment, text colour with its alpha under kTextUseColourAlpha, bold and
// italic by face, anti-aliased unless asked otherwise). The size is the GDI
// cell height (ascent plus descent), so a metric-compatible face lines up
// with the Windows text. Faces named for Windows fonts are matched to their
// metric-compatible Debian fonts. [editor thread]
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/bitmap_rect.h"

class FreeTypeFont {
 public:
  // Null when no font file matches or FreeType cannot read it.
  static FreeTypeFont* Create(const char* face, int32_t cellHeight, bool bold, bool italic,
                              bool antialiased);
  ~FreeTypeFont();
  FreeTypeFont(const FreeTypeFont&) = delete;
  FreeTypeFont& operator=(const FreeTypeFont&) = delete;

  // Draws text (UTF-8, lines split at '\n') in rect by the draw flags of
  // graphics/gdi_font.h in `colour`; returns the height drawn.
  int32_t DrawString(Bitmap* dest, const char* text, const BitmapRect& rect, uint32_t colour,
                     uint32_t drawFlags);
  // The width in pixels of one line of text.
  int32_t LineWidth(const char* text, int32_t length);
  int32_t LineHeight() const { return ascent_ + descent_; }
  // The file fontconfig matched.
  const std::string& File() const { return file_; }

 private:
  struct Glyph {
    uint32_t code;
    int32_t left;  // mask's left edge from the pen
    int32_t top;   // mask's top edge above the baseline
    int32_t width;
    int32_t height;
    int32_t advance;  // whole pixels
    std::vector<uint8_t> coverage;
  };

  FreeTypeFont() = default;
  const Glyph* GlyphFor(uint32_t code);
  void DrawGlyph(Bitmap* dest, const Glyph& glyph, int32_t penX, int32_t baseline, uint32_t colour,
                 int32_t alpha, const BitmapRect& clip);

  void* face_ = nullptr;  // FT_Face
  bool antialiased_ = true;
  int32_t ascent_ = 0;
  int32_t descent_ = 0;
  std::string file_;
  std::vector<Glyph> glyphs_;
};
