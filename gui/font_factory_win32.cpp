#include <windows.h>

#include "graphics/gdi_font.h"
#include "gui/font_cache.h"

namespace {

DWORD FontQuality(int32_t quality) {
  switch (quality) {
    case TextStyle::kDefault:
      return DEFAULT_QUALITY;
    case TextStyle::kAntialiased:
      return ANTIALIASED_QUALITY;
    case TextStyle::kClearType:
      return CLEARTYPE_QUALITY;
    default:
      return NONANTIALIASED_QUALITY;
  }
}

}  // namespace

GdiFont* CreateFontForStyle(const TextStyle& style) {
  const int escapement = style.orientation * 10;
  HFONT handle = CreateFontA(style.size, 0, escapement, escapement,
                             (style.style & TextStyle::kBold) ? FW_BOLD : FW_NORMAL,
                             (style.style & TextStyle::kItalic) ? TRUE : FALSE, FALSE, FALSE, 0, 0,
                             0, FontQuality(style.quality), 0, style.face);
  if (!handle) return nullptr;
  auto* font = new GdiFont();
  font->SetFromHFont(reinterpret_cast<NativeFont>(handle), kFontOwnsHandle | kFontPrefersGdi);
  return font;
}

void DeleteFont(GdiFont* font) { delete font; }

void DrawWithFont(GdiFont* font, Bitmap* dest, const char* text, const Rect& rect, uint32_t colour,
                  uint32_t drawFlags) {
  font->SetTextColour(colour);
  BitmapRect box{rect.left, rect.top, rect.right, rect.bottom};
  font->DrawString(dest, text, -1, &box, drawFlags);
}
