// Natively the fonts are FreeType faces matched by fontconfig. The font
// cache keeps them behind its GdiFont handle, which here only ever names a
// FreeTypeFont.
#include "graphics/freetype_font.h"
#include "gui/font_cache.h"

namespace {

FreeTypeFont* AsFreeType(GdiFont* font) { return reinterpret_cast<FreeTypeFont*>(font); }

}  // namespace

GdiFont* CreateFontForStyle(const TextStyle& style) {
  FreeTypeFont* font = FreeTypeFont::Create(
      style.face, style.size, (style.style & TextStyle::kBold) != 0,
      (style.style & TextStyle::kItalic) != 0, style.quality != TextStyle::kNonAntialiased);
  return reinterpret_cast<GdiFont*>(font);
}

void DeleteFont(GdiFont* font) { delete AsFreeType(font); }

void DrawWithFont(GdiFont* font, Bitmap* dest, const char* text, const Rect& rect, uint32_t colour,
                  uint32_t drawFlags) {
  AsFreeType(font)->DrawString(dest, text, BitmapRect{rect.left, rect.top, rect.right, rect.bottom},
                               colour, drawFlags);
}
